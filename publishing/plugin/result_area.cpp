#include "publishing/plugin/result_area.h"

#include <QMimeData>
#include <QTextDocumentFragment>

TResultArea::TResultArea(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setWordWrapMode(QTextOption::WordWrap);
    // It reads as the window's text, not as a field to type in.
    setFrameShape(QFrame::NoFrame);
    QPalette look = palette();
    look.setColor(QPalette::Base, look.color(QPalette::Window));
    setPalette(look);
    document()->setDocumentMargin(0);
}

QMimeData* TResultArea::createMimeDataFromSelection() const {
    auto* data = new QMimeData;
    data->setText(textCursor().selection().toPlainText().remove(QChar(0x2060)));
    return data;
}
