#pragma once

#include <QRect>
#include <QSize>

class QTabWidget;
class QWidget;

namespace ui {

// A tab control with tabs on top whose pages have exactly pageSize, under
// whichever style: the pages sit centred with equal margins at the sides and
// the bottom, and the tabs take what is left above them.
QTabWidget* CreateTabControl(QWidget* parent, const QRect& geometry, const QSize& pageSize);

}  // namespace ui
