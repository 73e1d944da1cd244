#pragma once

#include <QListWidget>

#include <utility>

#include <span>

// A list box with the semantics the handlers rely on: a 32-bit number kept
// beside each line (ItemData), the index of the line added last (NewIndex),
// the selected line (ListIndex, -1 for none) and its text (empty for none).
// The list never sorts and allows one selection, which only a click or the
// keys move (Ctrl never clears it). Very long lines are shown shortened but
// kept whole.
class ListBox : public QListWidget {
    Q_OBJECT
public:
    explicit ListBox(QWidget* parent = nullptr);

    // Text of the selected line; empty when none is selected.
    QString Text() const;
    // Index of the selected line, -1 when none is selected.
    int ListIndex() const;
    // Selects a line; -1 or an index outside the list clears the selection.
    void SetListIndex(int index);
    int ListCount() const { return count(); }
    // Text of line i; empty outside the list.
    QString List(int index) const;
    // Number kept beside line i; 0 outside the list.
    qint32 ItemData(int index) const;
    void SetItemData(int index, qint32 value);
    // The numbers of all lines, in list order.
    std::span<const qint32> AllItemData() const {
        return {itemData_.constData(), std::size_t(itemData_.size())};
    }
    bool Selected(int index) const;
    void SetSelected(int index, bool selected);
    // Index of the line added last; -1 before any.
    int NewIndex() const { return newIndex_; }
    // Adds a line at the end, or before line `index` when it lies in the list.
    void AddItem(const QString& text, int index = -1);
    // Appends lines with their values at once (a single insertion for the
    // view, much faster for hundreds of lines).
    void AddItems(const QList<std::pair<QString, qint32>>& lines);
    void RemoveItem(int index);
    void Clear();

signals:
    // The user double-clicked a line with the left button.
    void DblClick();
    // A mouse button went down over the list, with the position in pixels.
    void MouseDown(Qt::MouseButton button, QPoint position);

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QList<qint32> itemData_;  // beside each line, in list order
    int newIndex_ = -1;
};

// A line as a list or text box shows it: whole up to a length that lays out
// at once, else its start followed by "…".
QString ShortenedLine(const QString& line);
