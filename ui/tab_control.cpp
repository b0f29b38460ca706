#include "ui/tab_control.h"

#include <QApplication>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTabWidget>

namespace ui {
namespace {

// Styles differ in tab height and frame width, and a page is whatever the
// style leaves; the layout's positions are made for one page size.
class TFixedPageStyle : public QProxyStyle {
public:
    TFixedPageStyle(QStyle* base, const QSize& pageSize) : QProxyStyle(base), pageSize_(pageSize) {}

    QRect subElementRect(SubElement element, const QStyleOption* option, const QWidget* widget) const override {
        if (element != SE_TabWidgetTabContents || option == nullptr)
            return QProxyStyle::subElementRect(element, option, widget);
        const QRect whole = option->rect;
        const int margin = (whole.width() - pageSize_.width()) / 2;
        return {whole.left() + margin, whole.bottom() + 1 - margin - pageSize_.height(), pageSize_.width(),
                pageSize_.height()};
    }

private:
    QSize pageSize_;
};

}  // namespace

QTabWidget* CreateTabControl(QWidget* parent, const QRect& geometry, const QSize& pageSize) {
    auto* tabs = new QTabWidget(parent);
    // The style passes on to neither the tab bar nor the pages.
    auto* style = new TFixedPageStyle(QStyleFactory::create(QApplication::style()->name()), pageSize);
    style->setParent(tabs);
    tabs->setStyle(style);
    tabs->setGeometry(geometry);
    return tabs;
}

}  // namespace ui
