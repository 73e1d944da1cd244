#include "browser/mounted_volumes.h"

#include <QFile>
#include <QSet>
#include <QSocketNotifier>

#include <algorithm>

#include "app/path_helpers.h"

namespace {

// Decodes the kernel's "\ooo" escapes; anything else is kept as it is.
QString Unescape(const QByteArray& field) {
    QByteArray bytes;
    bytes.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const auto isOctal = [&](qsizetype at) {
            return at < field.size() && field[at] >= '0' && field[at] <= '7';
        };
        if (field[i] == '\\' && isOctal(i + 1) && isOctal(i + 2) && isOctal(i + 3)) {
            const int value =
                (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
            if (value <= 0xff) {
                bytes.append(char(value));
                i += 3;
                continue;
            }
        }
        bytes.append(field[i]);
    }
    return QFile::decodeName(bytes);
}

bool IsPseudoFileSystem(const QString& type) {
    static const QSet<QString> kPseudo = {
        QStringLiteral("proc"),         QStringLiteral("sysfs"),
        QStringLiteral("tmpfs"),        QStringLiteral("devtmpfs"),
        QStringLiteral("cgroup"),       QStringLiteral("cgroup2"),
        QStringLiteral("overlay"),      QStringLiteral("squashfs"),
        QStringLiteral("autofs"),       QStringLiteral("debugfs"),
        QStringLiteral("securityfs"),   QStringLiteral("mqueue"),
        QStringLiteral("pstore"),       QStringLiteral("bpf"),
        QStringLiteral("tracefs"),      QStringLiteral("fusectl"),
        QStringLiteral("configfs"),     QStringLiteral("binfmt_misc"),
        QStringLiteral("hugetlbfs"),    QStringLiteral("devpts"),
        QStringLiteral("ramfs"),        QStringLiteral("rpc_pipefs"),
        QStringLiteral("nsfs"),         QStringLiteral("efivarfs"),
        QStringLiteral("selinuxfs"),    QStringLiteral("shm"),
        QStringLiteral("none"),         QStringLiteral("fuse.lxcfs"),
        QStringLiteral("fuse.portal"),  QStringLiteral("fuse.gvfsd-fuse"),
        QStringLiteral("nfsd"),         QStringLiteral("aufs"),
        QStringLiteral("iso9660_loop"),
    };
    return kPseudo.contains(type);
}

bool IsNetworkFileSystem(const QString& type) {
    static const QSet<QString> kNetwork = {
        QStringLiteral("nfs"),
        QStringLiteral("nfs4"),
        QStringLiteral("cifs"),
        QStringLiteral("smb3"),
        QStringLiteral("smbfs"),
        QStringLiteral("fuse.sshfs"),
        QStringLiteral("sshfs"),
        QStringLiteral("9p"),
        QStringLiteral("ceph"),
        QStringLiteral("glusterfs"),
        QStringLiteral("fuse.glusterfs"),
        QStringLiteral("davfs"),
        QStringLiteral("fuse.rclone"),
        QStringLiteral("afs"),
    };
    return kNetwork.contains(type);
}

// Whether path is folder or lies inside it.
bool IsWithin(const QString& path, const QString& folder) {
    if (folder == QStringLiteral("/")) {
        return path.startsWith(u'/');
    }
    return path == folder || (path.startsWith(folder) && path[folder.size()] == u'/');
}

bool IsSystemPlace(const QString& mountPoint) {
    static const QStringList kSystem = {
        QStringLiteral("/proc"), QStringLiteral("/sys"),  QStringLiteral("/dev"),
        QStringLiteral("/snap"), QStringLiteral("/boot"), QStringLiteral("/etc"),
    };
    for (const QString& place : kSystem) {
        if (IsWithin(mountPoint, place)) {
            return true;
        }
    }
    return IsWithin(mountPoint, QStringLiteral("/run")) &&
           !IsWithin(mountPoint, QStringLiteral("/run/media"));
}

bool IsUserVolume(const MountEntry& entry) {
    if (!entry.mountPoint.startsWith(u'/') || IsPseudoFileSystem(entry.fsType) ||
        IsSystemPlace(entry.mountPoint)) {
        return false;
    }
    const bool disk = entry.device.startsWith(QStringLiteral("/dev/")) &&
                      !entry.device.startsWith(QStringLiteral("/dev/loop"));
    return disk || IsNetworkFileSystem(entry.fsType);
}

// The path without trailing "/" ("/" itself stays).
QString WithoutTrailingSlashes(QString path) {
    while (path.size() > 1 && path.endsWith(u'/')) {
        path.chop(1);
    }
    return path;
}

}  // namespace

QList<MountEntry> ParseMounts(const QByteArray& procMounts) {
    QList<MountEntry> entries;
    for (const QByteArray& line : procMounts.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 3 || fields[0].isEmpty()) {
            continue;
        }
        entries.append({Unescape(fields[0]), Unescape(fields[1]), Unescape(fields[2])});
    }
    return entries;
}

QStringList UserVolumes(const QList<MountEntry>& mounts) {
    QStringList others;
    for (const MountEntry& entry : mounts) {
        if (!IsUserVolume(entry)) {
            continue;
        }
        const QString mountPoint = WithoutTrailingSlashes(entry.mountPoint);
        if (mountPoint != QStringLiteral("/")) {
            others.append(mountPoint);
        }
    }
    others.sort();
    others.removeDuplicates();
    others.prepend(QStringLiteral("/"));
    return others;
}

QStringList MountedVolumes() {
    const std::optional<QByteArray> table = ReadFileBytes(QStringLiteral("/proc/self/mounts"));
    if (!table) {
        return {QStringLiteral("/")};
    }
    return UserVolumes(ParseMounts(*table));
}

QString VolumeOf(const QString& path, const QStringList& volumes) {
    QString best;
    for (const QString& volume : volumes) {
        const QString folder = WithoutTrailingSlashes(volume);
        if (!folder.isEmpty() && IsWithin(path, folder) && folder.size() > best.size()) {
            best = folder;
        }
    }
    return best;
}

void WatchMounts(QObject* owner, std::function<void()> changed) {
    // The kernel marks its mount table as exceptional after each change.
    auto* table = new QFile(QStringLiteral("/proc/self/mounts"), owner);
    if (!table->open(QIODevice::ReadOnly)) {
        delete table;
        return;
    }
    auto* notifier = new QSocketNotifier(table->handle(), QSocketNotifier::Exception, table);
    QObject::connect(notifier, &QSocketNotifier::activated, owner,
                     [changed = std::move(changed)] { changed(); });
}
