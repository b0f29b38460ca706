#include "ui/list_box.h"

#include <gtest/gtest.h>

#include <QTest>

namespace {

class Lists : public ::testing::Test {
protected:
    Lists() {
        list.resize(120, 200);
        for (const char* entry : {"a", "b", "c"}) ui::ListAppend(&list, QString::fromLatin1(entry));
        list.show();
        list.setFocus();
    }
    void ClickRow(int row) {
        const QRect rowRect = list.visualRect(list.model()->index(row, 0));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, rowRect.center());
    }
    // What the view shows, read through its model as a screen reader would.
    QStringList Entries() const {
        QStringList entries;
        for (int row = 0; row < list.model()->rowCount(); ++row)
            entries << list.model()->index(row, 0).data().toString();
        return entries;
    }
    int SelectedRows() const { return static_cast<int>(list.selectionModel()->selectedRows().size()); }
    ui::TListBox list;
};

TEST_F(Lists, NothingIsSelectedUntilTheUserPicksAnEntry) {
    EXPECT_EQ(ui::ListSelectedIndex(&list), -1);
    ClickRow(2);
    EXPECT_EQ(ui::ListSelectedIndex(&list), 2);
}

TEST_F(Lists, AppendingKeepsTheSelection) {
    ClickRow(1);
    ui::ListAppend(&list, QStringLiteral("d"));
    EXPECT_EQ(ui::ListSelectedIndex(&list), 1);
    EXPECT_EQ(Entries(), QStringList({"a", "b", "c", "d"}));
}

TEST_F(Lists, DeletingLeavesNoneSelected) {
    for (int row : {0, 1, 2}) {
        SCOPED_TRACE(row);
        list.clear();
        for (const char* entry : {"a", "b", "c"}) ui::ListAppend(&list, QString::fromLatin1(entry));
        ClickRow(row);
        ui::ListDeleteAt(&list, ui::ListSelectedIndex(&list));
        EXPECT_EQ(list.count(), 2);
        EXPECT_EQ(ui::ListSelectedIndex(&list), -1);
        EXPECT_EQ(SelectedRows(), 0);
        // Moving on with the keyboard starts from no entry, not the neighbour.
        EXPECT_FALSE(list.currentIndex().isValid());
    }
}

TEST_F(Lists, DeletingAtNoPositionDoesNothing) {
    ClickRow(1);
    for (int index : {-1, 3, 99}) {
        ui::ListDeleteAt(&list, index);
        EXPECT_EQ(Entries(), QStringList({"a", "b", "c"}));
        EXPECT_EQ(ui::ListSelectedIndex(&list), 1);
    }
}

TEST_F(Lists, SelectingInCodeMovesOrClearsTheSelection) {
    const struct {
        int index;
        int selected;
    } cases[] = {{2, 2}, {0, 0}, {-1, -1}, {1, 1}, {3, -1}};
    for (const auto& [index, selected] : cases) {
        ui::ListSelect(&list, index);
        EXPECT_EQ(ui::ListSelectedIndex(&list), selected) << index;
        EXPECT_EQ(SelectedRows(), selected < 0 ? 0 : 1);
    }
}

}  // namespace
