#pragma once

#include <QProcess>
#include <QString>

// A session bus of the test's own (dbus-daemon), ended with the object.
// Address() is empty when no bus could be started.
class PrivateBus {
public:
    PrivateBus() {
        daemon_.start(QStringLiteral("dbus-daemon"),
                      {QStringLiteral("--session"), QStringLiteral("--nofork"),
                       QStringLiteral("--print-address")});
        if (daemon_.waitForStarted(5000)) {
            while (!daemon_.canReadLine() && daemon_.waitForReadyRead(5000)) {
            }
            address_ = QString::fromUtf8(daemon_.readLine().trimmed());
        }
    }
    ~PrivateBus() {
        daemon_.kill();
        daemon_.waitForFinished();
    }

    QString Address() const { return address_; }

private:
    QProcess daemon_;
    QString address_;
};
