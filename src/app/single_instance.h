#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

// The lock that lets one instance of a program file run per user, and the
// local socket beside it through which later starts hand their file to the
// running instance. A lock or socket left behind by a killed instance is
// taken over.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& programFile, QObject* parent = nullptr);
    // True when no other instance holds the lock; this one holds it from now
    // on and listens for later starts.
    bool Acquire();

signals:
    // A later start asked for the window; commandPath is the file it names
    // (absolute; empty when none), workingFolder the folder it started in.
    void StartForwarded(const QString& workingFolder, const QString& commandPath);

private:
    void Receive(class QLocalSocket* socket);

    QString programFile_;
    QLockFile lock_;
    QLocalServer server_;
};

// Path of the lock file for a program file, in the user's runtime folder.
QString InstanceLockPath(const QString& programFile);
// Path of the socket of the running instance, beside its lock.
QString InstanceSocketPath(const QString& programFile);

// Hands a start to the running instance: its working folder and the file it
// names (empty for none). True once the instance has taken it; false when
// none answers within a few seconds.
bool ForwardStart(const QString& programFile, const QString& workingFolder,
                  const QString& commandPath);
