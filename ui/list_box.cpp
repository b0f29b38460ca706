#include "ui/list_box.h"

#include <QDataStream>
#include <QDropEvent>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMap>
#include <QMimeData>
#include <QStringListModel>
#include <QToolTip>
#include <QVariant>
#include <utility>

#include "ui/text_boundary.h"

namespace ui {
namespace {

// Qt keeps a current row apart from the selection and moves it to a
// neighbour after a removal; "none" must clear both.
void SelectNone(TListBox* list) {
    list->selectionModel()->clearSelection();
    list->selectionModel()->clearCurrentIndex();
}

bool IsRow(const TListBox* list, int index) {
    return index >= 0 && index < list->count();
}

// Entries are what the user typed, markup included; a tooltip must show
// them as they are, not render them.
QString PlainToolTip(const QString& text) {
    return QStringLiteral("<p style='white-space:pre'>") + text.toHtmlEscaped() + QStringLiteral("</p>");
}

}  // namespace

TListBox::TListBox(QWidget* parent) : QListView(parent), rows_(new QStringListModel(this)) {
    setModel(rows_);
    // Editing in place opens only on the window's request (ListEditInPlace).
    setEditTriggers(NoEditTriggers);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(InternalMove);
    setDefaultDropAction(Qt::MoveAction);
    // The first click of a double-click has selected the entry already.
    connect(this, &QAbstractItemView::doubleClicked, this, &TListBox::EditRequested);
}

int TListBox::count() const {
    return rows_->rowCount();
}

QStringList TListBox::texts() const {
    return rows_->stringList();
}

void TListBox::clear() {
    rows_->setStringList({});
}

bool TListBox::IsEditing() const {
    return state() == EditingState;
}

void TListBox::EndEditing() {
    if (!IsEditing()) return;
    QWidget* editor = indexWidget(currentIndex());
    if (editor == nullptr) return;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void TListBox::SetToolTips(std::function<QString(int row)> toolTip) {
    toolTip_ = std::move(toolTip);
}

void TListBox::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int selected = ListSelectedIndex(this);
    if (IsEditing()) {
        // Keys the in-place editor passed on change nothing under it.
        QListView::keyPressEvent(event);
        return;
    }
    if (modifiers == Qt::NoModifier && event->key() == Qt::Key_F2) {
        emit EditRequested();
    } else if (modifiers == Qt::NoModifier && event->key() == Qt::Key_Delete) {
        emit DeleteRequested();
    } else if (modifiers == Qt::AltModifier && event->key() == Qt::Key_Up) {
        if (selected > 0) ListMove(this, selected, selected - 1);
    } else if (modifiers == Qt::AltModifier && event->key() == Qt::Key_Down) {
        if (selected >= 0) ListMove(this, selected, selected + 1);
    } else {
        QListView::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TListBox::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    // Tab ends editing and goes on to the next control, instead of opening
    // the neighbouring entry's editor.
    const bool onward = hint == QAbstractItemDelegate::EditNextItem;
    const bool back = hint == QAbstractItemDelegate::EditPreviousItem;
    QListView::closeEditor(editor, onward || back ? QAbstractItemDelegate::NoHint : hint);
    if (onward || back) focusNextPrevChild(onward);
}

bool TListBox::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip || !toolTip_) return QListView::viewportEvent(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex entry = indexAt(help->pos());
    if (entry.isValid())
        QToolTip::showText(help->globalPos(), PlainToolTip(toolTip_(entry.row())), viewport(), visualRect(entry));
    else
        QToolTip::hideText();
    return true;
}

void TListBox::dragEnterEvent(QDragEnterEvent* event) {
    QListView::dragEnterEvent(event);
    if (!IsOwnEntry(event)) {
        event->ignore();
        return;
    }
    event->accept();
    setState(DraggingState);
}

void TListBox::dragMoveEvent(QDragMoveEvent* event) {
    QListView::dragMoveEvent(event);  // the drop indicator and scrolling
    if (IsOwnEntry(event))
        event->accept();
    else
        event->ignore();
}

void TListBox::dropEvent(QDropEvent* event) {
    // The entry goes above the one it is dropped on when dropped on its
    // upper half, below it on the lower half, and last when dropped below
    // the entries.
    if (!IsOwnEntry(event)) {
        event->ignore();
        return;
    }
    const int from = DraggedRow(event->mimeData());
    const QPoint at = event->position().toPoint();
    const QModelIndex over = indexAt(at);
    const int before = !over.isValid() ? count() : at.y() < visualRect(over).center().y() ? over.row() : over.row() + 1;
    const int to = before > from ? before - 1 : before;
    ListMove(this, from, to);
    ListSelect(this, to);  // also where it stays in its place
    // Not a move for the drag: the entry is where it belongs already, and a
    // move would make Qt remove the dragged row.
    event->setDropAction(Qt::CopyAction);
    event->accept();
    stopAutoScroll();
    setState(NoState);
    viewport()->update();
}

bool TListBox::IsOwnEntry(const QDropEvent* event) const {
    // Only the list's own entries are dropped here, never those of another
    // control. The drag names its row in the model's data, as Qt's own drops
    // read it; a drag from another program has no source, and its data
    // names no entry of ours.
    return (event->source() == nullptr || event->source() == this) && DraggedRow(event->mimeData()) >= 0;
}

int TListBox::DraggedRow(const QMimeData* data) const {
    const QStringList formats = rows_->mimeTypes();
    if (data == nullptr || formats.isEmpty() || !data->hasFormat(formats.front())) return -1;
    QByteArray encoded = data->data(formats.front());
    QDataStream stream(&encoded, QIODevice::ReadOnly);
    int row = -1;
    int column = -1;
    QMap<int, QVariant> roles;
    stream >> row >> column >> roles;
    // One entry at a time; its text tells it from another list's row.
    if (stream.status() != QDataStream::Ok || !stream.atEnd() || !IsRow(this, row) ||
        roles.value(Qt::DisplayRole) != rows_->index(row).data(Qt::DisplayRole))
        return -1;
    return row;
}

int ListSelectedIndex(const TListBox* list) {
    const QModelIndex current = list->selectionModel()->currentIndex();
    if (current.isValid() && list->selectionModel()->isSelected(current)) return current.row();
    return -1;
}

void ListAppend(TListBox* list, const QString& entry) {
    const int row = list->count();
    list->rows_->insertRows(row, 1);
    list->rows_->setData(list->rows_->index(row), entry);
}

void ListDeleteAt(TListBox* list, int index) {
    if (!IsRow(list, index)) return;
    list->rows_->removeRows(index, 1);
    SelectNone(list);
}

void ListSetEntry(TListBox* list, int index, const QString& entry) {
    if (!IsRow(list, index)) return;
    list->rows_->setData(list->rows_->index(index), entry);
}

void ListMove(TListBox* list, int from, int to) {
    if (!IsRow(list, from) || !IsRow(list, to) || from == to) return;
    // Qt counts the destination before the move: below the entry, one more.
    list->rows_->moveRows(QModelIndex(), from, 1, QModelIndex(), to > from ? to + 1 : to);
    ListSelect(list, to);
    list->scrollTo(list->model()->index(to, 0));
}

void ListEditInPlace(TListBox* list, int index) {
    if (!IsRow(list, index)) return;
    const QModelIndex entry = list->model()->index(index, 0);
    list->scrollTo(entry);
    list->edit(entry);
}

void ListSelect(TListBox* list, int index) {
    if (!IsRow(list, index)) {
        SelectNone(list);
        return;
    }
    list->selectionModel()->setCurrentIndex(list->model()->index(index, 0), QItemSelectionModel::ClearAndSelect);
}

std::vector<std::string> ListAnsiTexts(const TListBox* list) {
    const QStringList texts = list->texts();
    std::vector<std::string> result;
    result.reserve(static_cast<std::size_t>(texts.size()));
    for (const QString& text : texts) result.push_back(ToAnsi(text));
    return result;
}

}  // namespace ui
