#pragma once

#include <QPlainTextEdit>

// A message of the window shown whole, however long: wrapped between words,
// scrolled when it needs more room than there is, selectable to be copied.
// A line that must not be broken (a fingerprint) stays whole and scrolls
// sideways.
class TResultArea : public QPlainTextEdit {
public:
    explicit TResultArea(QWidget* parent);

    QString text() const { return toPlainText(); }
    void setText(const QString& text) { setPlainText(text); }

protected:
    // Copied without the word joiners that hold a fingerprint on one line.
    QMimeData* createMimeDataFromSelection() const override;
};
