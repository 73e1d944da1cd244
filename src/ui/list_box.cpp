#include "ui/list_box.h"

#include <QMouseEvent>

namespace {
constexpr int kItemDataRole = Qt::UserRole;
}

ListBox::ListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false);
    setUniformItemSizes(true);
}

QString ListBox::Text() const {
    return List(ListIndex());
}

int ListBox::ListIndex() const {
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : row(selected.first());
}

void ListBox::SetListIndex(int index) {
    if (index < 0 || index >= count()) {
        clearSelection();
        return;
    }
    setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
}

QString ListBox::List(int index) const {
    const QListWidgetItem* line = item(index);
    return line ? line->text() : QString();
}

qint32 ListBox::ItemData(int index) const {
    const QListWidgetItem* line = item(index);
    return line ? line->data(kItemDataRole).toInt() : 0;
}

void ListBox::SetItemData(int index, qint32 value) {
    if (QListWidgetItem* line = item(index)) {
        line->setData(kItemDataRole, value);
    }
}

bool ListBox::Selected(int index) const {
    const QListWidgetItem* line = item(index);
    return line && line->isSelected();
}

void ListBox::SetSelected(int index, bool selected) {
    if (selected) {
        SetListIndex(index);
    } else if (QListWidgetItem* line = item(index)) {
        line->setSelected(false);
    }
}

void ListBox::AddItem(const QString& text, int index) {
    auto* line = new QListWidgetItem(text);
    line->setData(kItemDataRole, 0);
    if (index >= 0 && index < count()) {
        insertItem(index, line);
        newIndex_ = index;
    } else {
        addItem(line);
        newIndex_ = count() - 1;
    }
}

void ListBox::RemoveItem(int index) {
    // Removing the selected line leaves no selection (the view would move it
    // to a neighbour by itself).
    const bool wasSelected = Selected(index);
    delete takeItem(index);
    if (wasSelected) {
        clearSelection();
    }
}

void ListBox::Clear() {
    clear();
    newIndex_ = -1;
}

void ListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    QListWidget::mouseDoubleClickEvent(event);
    emit DblClick();
}

void ListBox::mousePressEvent(QMouseEvent* event) {
    // Only the left button moves the selection; a right click leaves it for
    // the popup menu to act on.
    if (event->button() == Qt::LeftButton) {
        QListWidget::mousePressEvent(event);
    } else {
        event->accept();
    }
    emit MouseDown(event->button(), event->position().toPoint());
}
