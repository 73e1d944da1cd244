#include "app/show_message.h"

#include <QMessageBox>

void ShowMessage(const QString& message, int kind, QString& title) {
    if (title.isEmpty()) {
        title = QString::fromUtf8(kAppTitle);
    }
    QMessageBox::Icon icon;
    switch (kind) {
        case kInformation:
            icon = QMessageBox::Information;
            break;
        case kExclamation:
            icon = QMessageBox::Warning;
            break;
        case kCritical:
            icon = QMessageBox::Critical;
            break;
        case kQuestion:
            icon = QMessageBox::Question;
            break;
        default:
            return;
    }
    QMessageBox box(icon, title, message, QMessageBox::Ok);
    box.exec();
}

void ShowFileError(const QString& message) {
    QString title;
    ShowMessage(message, kExclamation, title);
}
