#pragma once

#include <QAbstractSpinBox>
#include <QString>
#include <cstdint>

namespace ui {

// An edit with arrows whose text may hold anything; its value is read the
// way the page reads numbers.
class TSpinEdit : public QAbstractSpinBox {
    Q_OBJECT
public:
    explicit TSpinEdit(QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    // ReadSpinValue of the text.
    std::int32_t value() const;

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;

signals:
    // A key the field refuses made the machine beep.
    void beeped();

protected:
    StepEnabled stepEnabled() const override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void Beep();
};

}  // namespace ui
