#pragma once

#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>

// Closes every message box the program shows while the watcher lives, and
// remembers what they said, so tests neither hang on a modal box nor miss one.
class MessageWatcher : public QObject {
public:
    MessageWatcher();

    // Texts of the boxes shown so far, oldest first.
    const QStringList& texts() const { return texts_; }
    const QStringList& titles() const { return titles_; }
    QMessageBox::Icon lastIcon() const { return lastIcon_; }
    // Asked each time before the watcher closes an open box; while it
    // returns true the box stays open a little longer.
    std::function<bool()> keepOpen;

private:
    void CloseOpenBox();

    QTimer timer_;
    QStringList texts_;
    QStringList titles_;
    QMessageBox::Icon lastIcon_ = QMessageBox::NoIcon;
};
