#include "app/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QStandardPaths>

QString InstanceLockPath(const QString& programFile) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        folder = QDir::tempPath();
    }
    const QByteArray key =
        QCryptographicHash::hash(programFile.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return folder + QStringLiteral("/tembrel-") + QString::fromLatin1(key) +
           QStringLiteral(".lock");
}

SingleInstance::SingleInstance(const QString& programFile) : lock_(InstanceLockPath(programFile)) {}

bool SingleInstance::Acquire() {
    return lock_.tryLock(0);
}
