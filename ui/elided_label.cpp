#include "ui/elided_label.h"

#include <QFontMetrics>

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
    const QString shown = fontMetrics().elidedText(line_, Qt::ElideRight, contentsRect().width());
    setText(shown);
    // File names may hold "<" or "&"; the tooltip shows them as they are,
    // one line each as the long form has them.
    setToolTip(shown == line_ ? QString()
                              : QStringLiteral("<p style=\"white-space:pre\">") + longForm_.toHtmlEscaped() +
                                    QStringLiteral("</p>"));
}

}  // namespace ui
