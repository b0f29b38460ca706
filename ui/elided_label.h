#pragma once

#include <QLabel>
#include <QString>

namespace ui {

// A one-line label that shortens its text with "…" to fit its width; the
// whole text, in the longer form given, is then its tooltip. Screen
// readers get the whole line.
class TElidedLabel : public QLabel {
public:
    using QLabel::QLabel;

    // An empty line clears the label.
    void SetLine(const QString& line, const QString& longForm);
    QString Line() const { return line_; }

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Elide();

    QString line_;
    QString longForm_;
    bool elided_ = false;
};

}  // namespace ui
