#include "ui/toggle_group.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QToolButton>

namespace {

TEST(ToggleGroup, AtMostOneButtonDownAndAllUpAllowed) {
    QWidget window;
    QToolButton l(&window), m(&window), r(&window);
    ui::TToggleGroup group(&window);
    for (QToolButton* button : {&l, &m, &r}) group.addButton(button);
    window.show();

    const struct {
        QToolButton* pressed;
        QAbstractButton* down;
    } presses[] = {
        {&l, &l}, {&r, &r}, {&r, nullptr}, {&m, &m}, {&l, &l}, {&l, nullptr},
    };
    for (const auto& [pressed, down] : presses) {
        QTest::mouseClick(pressed, Qt::LeftButton);
        EXPECT_EQ(group.downButton(), down);
        const int downCount = l.isChecked() + m.isChecked() + r.isChecked();
        EXPECT_EQ(downCount, down == nullptr ? 0 : 1);
    }
    r.setChecked(true);
    m.setChecked(true);
    EXPECT_EQ(group.downButton(), &m);
    EXPECT_FALSE(r.isChecked());
}

}  // namespace
