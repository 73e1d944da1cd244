#include "app/single_instance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDebug>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

namespace {

// A start names one path; anything longer is not from a start of ours.
constexpr qsizetype kLongestMessage = 64 * 1024;

// The user's runtime folder path of this program file's lock and socket,
// without the extension.
QString InstancePathBase(const QString& programFile) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        folder = QDir::tempPath();
    }
    const QByteArray key =
        QCryptographicHash::hash(programFile.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return folder + QStringLiteral("/tembrel-") + QString::fromLatin1(key);
}

}  // namespace

QString InstanceLockPath(const QString& programFile) {
    return InstancePathBase(programFile) + QStringLiteral(".lock");
}

QString InstanceSocketPath(const QString& programFile) {
    return InstancePathBase(programFile) + QStringLiteral(".socket");
}

SingleInstance::SingleInstance(const QString& programFile, QObject* parent)
    : QObject(parent), programFile_(programFile), lock_(InstanceLockPath(programFile)) {}

bool SingleInstance::Acquire() {
    if (!lock_.tryLock(0)) {
        return false;
    }
    // Holding the lock, this instance owns the socket's name: one left by a
    // killed instance goes.
    const QString path = InstanceSocketPath(programFile_);
    QLocalServer::removeServer(path);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_.listen(path)) {
        // The player runs all the same; later starts only end.
        qWarning().noquote() << "no socket for later starts:" << server_.errorString();
    }
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            Receive(socket);
        }
    });
    return true;
}

void SingleInstance::Receive(QLocalSocket* socket) {
    // A start sends its working folder and its path, each ended by a zero
    // byte, and waits for the answer "ok" before it ends. Anything longer, or
    // a connection that stays silent, is not from a start and goes unheard.
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    QTimer::singleShot(10000, socket, &QLocalSocket::abort);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
        const QByteArray bytes = socket->peek(kLongestMessage + 1);
        const qsizetype end = bytes.indexOf('\0', bytes.indexOf('\0') + 1);
        if (end < 0) {
            if (bytes.size() > kLongestMessage) {
                socket->abort();
            }
            return;
        }
        socket->read(end + 1);
        socket->write("ok");
        socket->flush();
        const QList<QByteArray> parts = bytes.left(end).split('\0');
        emit StartForwarded(QString::fromUtf8(parts[0]), QString::fromUtf8(parts[1]));
    });
}

bool ForwardStart(const QString& programFile, const QString& workingFolder,
                  const QString& commandPath) {
    // The running instance takes its lock a moment before it listens.
    QLocalSocket socket;
    const QDeadlineTimer deadline(3000);
    for (;;) {
        socket.connectToServer(InstanceSocketPath(programFile));
        if (socket.waitForConnected(500) || deadline.hasExpired()) {
            break;
        }
        QThread::msleep(50);
    }
    if (socket.state() != QLocalSocket::ConnectedState) {
        return false;
    }
    socket.write(workingFolder.toUtf8() + '\0' + commandPath.toUtf8() + '\0');
    // The answer comes once the running instance has taken the start; it
    // opens the file right after.
    QByteArray answer;
    while (answer.size() < 2 && socket.waitForReadyRead(int(deadline.remainingTime()) + 1000)) {
        answer += socket.readAll();
    }
    return answer == "ok";
}
