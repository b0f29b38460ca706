#include "ui/elided_label.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QToolTip>

namespace ui {

void TElidedLabel::SetLine(const QString& line, const QString& longForm) {
    line_ = line;
    longForm_ = longForm;
    setTextFormat(Qt::PlainText);
    setAccessibleName(line);
    Elide();
}

void TElidedLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    Elide();
}

void TElidedLabel::Elide() {
    // Laying out the whole of a long line (every missing file of a page of
    // thousands) costs more than the rest of a finish; no more than a
    // character per pixel of the width can show.
    const int width = contentsRect().width();
    const QString visible = line_.size() > width ? line_.left(width) + QStringLiteral("…") : line_;
    const QString shown = fontMetrics().elidedText(visible, Qt::ElideRight, width);
    setText(shown);
    elided_ = shown != line_;
}

bool TElidedLabel::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QLabel::event(event);
    // Made only when asked for: the long form of thousands of names is
    // not escaped at every finish. File names may hold "<" or "&"; the
    // tooltip shows them as they are, one line each as the long form has
    // them.
    if (elided_) {
        QToolTip::showText(
            static_cast<QHelpEvent*>(event)->globalPos(),
            QStringLiteral("<p style=\"white-space:pre\">") + longForm_.toHtmlEscaped() + QStringLiteral("</p>"), this);
    } else {
        QToolTip::hideText();
        event->ignore();
    }
    return true;
}

}  // namespace ui
