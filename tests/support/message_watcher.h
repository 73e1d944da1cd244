#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

#include <functional>

// Closes every message box the program shows while the watcher lives, and
// remembers what they said, so tests neither hang on a modal box nor miss one.
class MessageWatcher {
public:
    MessageWatcher() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box != nullptr && !(keepOpen && keepOpen())) {
                texts_ << box->text();
                box->done(QMessageBox::Ok);
            }
        });
        timer_.start(5);
    }

    // Texts of the boxes shown so far, oldest first.
    const QStringList& texts() const { return texts_; }
    // Asked each time before an open box is closed; while it returns true
    // the box stays open a little longer.
    std::function<bool()> keepOpen;

private:
    QTimer timer_;
    QStringList texts_;
};
