#include "ui/list_box.h"

#include <QMouseEvent>

namespace {
// The whole text of a line shown shortened.
constexpr int kWholeTextRole = Qt::UserRole + 1;
// Longer lines would take seconds to lay out; no list is that wide.
constexpr qsizetype kShownLength = 1000;
}  // namespace

QString ShortenedLine(const QString& line) {
    return line.size() <= kShownLength ? line : line.left(kShownLength) + QChar(0x2026);
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
    if (!line) {
        return QString();
    }
    const QVariant whole = line->data(kWholeTextRole);
    return whole.isValid() ? whole.toString() : line->text();
}

qint32 ListBox::ItemData(int index) const {
    return index >= 0 && index < itemData_.size() ? itemData_[index] : 0;
}

void ListBox::SetItemData(int index, qint32 value) {
    if (index >= 0 && index < itemData_.size()) {
        itemData_[index] = value;
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
    auto* line = new QListWidgetItem(ShortenedLine(text));
    if (line->text().size() != text.size()) {
        line->setData(kWholeTextRole, text);
    }
    if (index >= 0 && index < count()) {
        insertItem(index, line);
        itemData_.insert(index, 0);
        newIndex_ = index;
    } else {
        addItem(line);
        itemData_.append(0);
        newIndex_ = count() - 1;
    }
}

void ListBox::AddItems(const QList<std::pair<QString, qint32>>& lines) {
    if (lines.isEmpty()) {
        return;
    }
    QStringList shown;
    for (const auto& [text, value] : lines) {
        shown.append(ShortenedLine(text));
        itemData_.append(value);
    }
    const int first = count();
    insertItems(first, shown);
    for (int i = 0; i < lines.size(); ++i) {
        if (shown[i].size() != lines[i].first.size()) {
            item(first + i)->setData(kWholeTextRole, lines[i].first);
        }
    }
    newIndex_ = count() - 1;
}

void ListBox::RemoveItem(int index) {
    // Removing the selected line leaves no selection (the view would move it
    // to a neighbour by itself).
    if (index < 0 || index >= count()) {
        return;
    }
    const bool wasSelected = Selected(index);
    delete takeItem(index);
    itemData_.remove(index);
    if (wasSelected) {
        clearSelection();
    }
}

void ListBox::Clear() {
    clear();
    itemData_.clear();
    newIndex_ = -1;
}

QItemSelectionModel::SelectionFlags ListBox::selectionCommand(const QModelIndex& index,
                                                              const QEvent* event) const {
    // Ctrl+click or Ctrl+Space would toggle the selected line off; a click
    // on a line always selects it.
    QItemSelectionModel::SelectionFlags flags = QListWidget::selectionCommand(index, event);
    if (index.isValid() &&
        (flags & (QItemSelectionModel::Toggle | QItemSelectionModel::Deselect))) {
        return QItemSelectionModel::ClearAndSelect;
    }
    return flags;
}

void ListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    // Only the left button acts; the others neither select nor open.
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
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
