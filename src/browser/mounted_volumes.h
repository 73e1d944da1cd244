#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QObject;

// One line of the kernel's mount table.
struct MountEntry {
    QString device;
    QString mountPoint;
    QString fsType;
};

// Parses the text of /proc/self/mounts. Octal escapes ("\040" for a blank) are
// decoded; lines with fewer than three fields are skipped.
QList<MountEntry> ParseMounts(const QByteArray& procMounts);

// The volumes a user keeps files on: "/" first, then the mount points of
// block devices (not loop devices) and network shares, sorted, each once.
// Pseudo and container file systems and system places (/proc, /sys, /dev,
// /run except /run/media, /snap, /boot, /etc) are left out.
QStringList UserVolumes(const QList<MountEntry>& mounts);

// UserVolumes of this machine's mount table; {"/"} when it cannot be read.
QStringList MountedVolumes();

// Calls `changed` on the owner's thread each time a volume is mounted or
// unmounted, for as long as the owner lives. Nothing happens where the
// mount table cannot be watched.
void WatchMounts(QObject* owner, std::function<void()> changed);

// The longest volume that is the path itself or one of its folders, compared
// on "/" boundaries ("/media/usb" does not hold "/media/usb2"). Empty when no
// volume holds the path (a relative path).
QString VolumeOf(const QString& path, const QStringList& volumes);
