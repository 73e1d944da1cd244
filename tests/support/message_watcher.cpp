#include "support/message_watcher.h"

#include <QApplication>

MessageWatcher::MessageWatcher() {
    connect(&timer_, &QTimer::timeout, this, &MessageWatcher::CloseOpenBox);
    timer_.start(5);
}

void MessageWatcher::CloseOpenBox() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) {
        return;
    }
    if (keepOpen && keepOpen()) {
        return;
    }
    texts_ << box->text();
    titles_ << box->windowTitle();
    lastIcon_ = box->icon();
    box->done(QMessageBox::Ok);
}
