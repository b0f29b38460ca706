#include "ui/list_box.h"

#include <gtest/gtest.h>

#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <memory>

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
    // Drops the entry of one row where the user lets go of it: what a drag
    // from the list carries, entering and dropped at that point.
    void Drop(int row, QPoint at) {
        ClickRow(row);
        const std::unique_ptr<QMimeData> dragged(list.model()->mimeData({list.model()->index(row, 0)}));
        QDragEnterEvent enter(at, Qt::MoveAction, dragged.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list.viewport(), &enter);
        QDropEvent drop(at, Qt::MoveAction, dragged.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list.viewport(), &drop);
    }
    QRect RowRect(int row) const { return list.visualRect(list.model()->index(row, 0)); }
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

TEST_F(Lists, ADroppedEntryGoesAboveTheEntryOnItsUpperHalfAndBelowOnItsLowerHalf) {
    enum TWhere { kUpper, kLower, kBelowAll };
    const struct {
        const char* name;
        int from;
        int onto;
        TWhere where;
        QStringList entries;
    } rows[] = {
        {"down, upper half", 0, 2, kUpper, {"b", "a", "c"}},
        {"down, lower half", 0, 2, kLower, {"b", "c", "a"}},
        {"down onto the next, upper half", 0, 1, kUpper, {"a", "b", "c"}},
        {"up, upper half", 2, 0, kUpper, {"c", "a", "b"}},
        {"up, lower half", 2, 0, kLower, {"a", "c", "b"}},
        {"onto itself", 1, 1, kLower, {"a", "b", "c"}},
        {"below the entries", 0, 2, kBelowAll, {"b", "c", "a"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        list.clear();
        for (const char* entry : {"a", "b", "c"}) ui::ListAppend(&list, QString::fromLatin1(entry));
        const QRect onto = RowRect(row.onto);
        const QPoint at = row.where == kUpper   ? QPoint(onto.center().x(), onto.top() + 2)
                          : row.where == kLower ? QPoint(onto.center().x(), onto.bottom() - 2)
                                                : QPoint(onto.center().x(), onto.bottom() + 30);
        Drop(row.from, at);
        EXPECT_EQ(Entries(), row.entries);
        const QString dragged = QStringList({"a", "b", "c"}).at(row.from);
        EXPECT_EQ(ui::ListSelectedIndex(&list), row.entries.indexOf(dragged)) << "the dropped entry stays selected";
    }
}

}  // namespace
