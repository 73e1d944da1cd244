#include "app/safe_save.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QSaveFile>
#endif

namespace {

// Gives the reason to the caller; false, for the caller to return.
bool Fail(QString* error, const QString& reason) {
    if (error != nullptr) {
        *error = reason;
    }
    return false;
}

}  // namespace

#ifdef Q_OS_UNIX
namespace {

constexpr QLatin1StringView kTemporarySuffix(".tembrel-save");
constexpr int kRandomLength = 6;
constexpr time_t kStaleSeconds = 60;

// "<reason> while <step> <path>", the reason in English whatever the locale.
bool FailWith(QString* error, int number, const char* step, const QString& path) {
#ifdef __GLIBC__
    const char* text = ::strerrordesc_np(number);
#else
    const char* text = std::strerror(number);
#endif
    QString reason =
        text != nullptr ? QString::fromLatin1(text) : QStringLiteral("error %1").arg(number);
    if (!reason.isEmpty()) {
        reason[0] = reason[0].toLower();
    }
    return Fail(error, QStringLiteral("%1 while %2 %3").arg(reason, QLatin1String(step), path));
}

// True for the name of a temporary that a save of the file `name` creates.
bool IsTemporaryOf(const QString& entry, const QString& name) {
    const QString head = u'.' + name + u'.';
    if (entry.size() != head.size() + kRandomLength + kTemporarySuffix.size() ||
        !entry.startsWith(head) || !entry.endsWith(kTemporarySuffix)) {
        return false;
    }
    for (qsizetype i = head.size(); i < head.size() + kRandomLength; ++i) {
        const char16_t c = entry[i].unicode();
        if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'))) {
            return false;
        }
    }
    return true;
}

// Removes the temporaries of this file that earlier saves left when they were
// killed: regular files of exactly that name pattern, older than a minute (a
// younger one may belong to a save still under way).
void RemoveStaleTemporaries(const QFileInfo& file) {
    const QDir folder(file.absolutePath());
    const time_t now = std::time(nullptr);
    for (const QString& entry :
         folder.entryList({u'*' + kTemporarySuffix}, QDir::Files | QDir::Hidden, QDir::NoSort)) {
        const QByteArray path = QFile::encodeName(folder.filePath(entry));
        struct stat status {};
        if (IsTemporaryOf(entry, file.fileName()) && ::lstat(path.constData(), &status) == 0 &&
            S_ISREG(status.st_mode) && now - status.st_mtime > kStaleSeconds) {
            ::unlink(path.constData());
        }
    }
}

// Writes all bytes from the start of the file; 0 or the error number.
int WriteAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::pwrite(fd, bytes.constData() + done, bytes.size() - done, done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return written < 0 ? errno : EIO;
        }
        done += written;
    }
    return 0;
}

// Syncs a file or folder; 0 or the error number. A file system that cannot
// sync counts as synced.
int Sync(int fd) {
    return ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
}

// Writes the file's own blocks: space first, then the bytes, then the length.
bool WriteInPlace(const QByteArray& native, const QString& path, const QByteArray& bytes,
                  QString* error) {
    const int fd = ::open(native.constData(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return FailWith(error, errno, "opening", path);
    }
    struct stat status {};
    int number = ::fstat(fd, &status) != 0 ? errno : S_ISREG(status.st_mode) ? 0 : EINVAL;
    if (number == 0 && bytes.size() > status.st_size) {
        number = ::posix_fallocate(fd, 0, bytes.size());
    }
    if (number == 0) {
        number = WriteAll(fd, bytes);
    }
    if (number == 0 && ::ftruncate(fd, bytes.size()) != 0) {
        number = errno;
    }
    if (number == 0) {
        number = Sync(fd);
    }
    if (::close(fd) != 0 && number == 0) {
        number = errno;
    }
    return number == 0 || FailWith(error, number, "writing", path);
}

enum class Replaced { Yes, Failed, NotHere };

// Writes a new hidden temporary beside the file and renames it over the file.
// NotHere when the folder takes no new file or the old group cannot be kept,
// while the old file itself may still be written in place.
Replaced ReplaceFile(const QFileInfo& file, const struct stat* old, const QByteArray& bytes,
                     const QString& path, QString* error) {
    static constexpr char kLetters[] =
        "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        QString name = u'.' + file.fileName() + u'.';
        for (int i = 0; i < kRandomLength; ++i) {
            name += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(62)]);
        }
        temporary = QFile::encodeName(file.absolutePath() + u'/' + name + kTemporarySuffix);
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                    old != nullptr ? old->st_mode & 0777 : 0666);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        if (old != nullptr && (errno == EACCES || errno == EPERM)) {
            return Replaced::NotHere;
        }
        FailWith(error, errno, "creating a temporary file beside", path);
        return Replaced::Failed;
    }
    struct stat made {};
    int number = ::fstat(fd, &made) != 0 ? errno : 0;
    if (number == 0 && old != nullptr && made.st_gid != old->st_gid &&
        ::fchown(fd, static_cast<uid_t>(-1), old->st_gid) != 0) {
        ::close(fd);
        ::unlink(temporary.constData());
        return Replaced::NotHere;
    }
    // The mode given to open() lost the bits the umask takes away.
    if (number == 0 && old != nullptr && ::fchmod(fd, old->st_mode & 07777) != 0) {
        number = errno;
    }
    if (number == 0) {
        number = WriteAll(fd, bytes);
    }
    if (number == 0) {
        number = Sync(fd);
    }
    if (::close(fd) != 0 && number == 0) {
        number = errno;
    }
    const QByteArray target = QFile::encodeName(file.absoluteFilePath());
    if (number == 0 && ::rename(temporary.constData(), target.constData()) != 0) {
        number = errno;
    }
    if (number != 0) {
        ::unlink(temporary.constData());
        FailWith(error, number, "writing", path);
        return Replaced::Failed;
    }
    // The rename reaches the disk with the folder.
    const int folder = ::open(QFile::encodeName(file.absolutePath()).constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    number = folder < 0 ? 0 : Sync(folder);
    if (folder >= 0) {
        ::close(folder);
    }
    if (number != 0) {
        FailWith(error, number, "syncing the folder of", path);
        return Replaced::Failed;
    }
    return Replaced::Yes;
}

}  // namespace

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error) {
    if (path.isEmpty() || path.endsWith(u'/')) {
        return Fail(error, QStringLiteral("\"%1\" names no file").arg(path));
    }
    QByteArray native = QFile::encodeName(path);
    struct stat status {};
    bool exists = ::lstat(native.constData(), &status) == 0;
    if (!exists && errno != ENOENT) {
        return FailWith(error, errno, "looking at", path);
    }
    if (exists && S_ISLNK(status.st_mode)) {
        // Written through to the file the link names; never created through it.
        char* resolved = ::realpath(native.constData(), nullptr);
        if (resolved == nullptr) {
            return errno == ENOENT
                       ? Fail(error, path + QStringLiteral(" is a dangling symbolic link"))
                       : FailWith(error, errno, "following", path);
        }
        native = resolved;
        std::free(resolved);
        if (::stat(native.constData(), &status) != 0) {
            return FailWith(error, errno, "looking at", path);
        }
    }
    if (exists && !S_ISREG(status.st_mode)) {
        return Fail(error, path + QStringLiteral(" is not a regular file"));
    }
    // A file the user made read-only stays as it is.
    if (exists && ::faccessat(AT_FDCWD, native.constData(), W_OK, AT_EACCESS) != 0) {
        return FailWith(error, errno, "opening", path);
    }
    const QFileInfo file(QFile::decodeName(native));
    RemoveStaleTemporaries(file);
    if (exists && (status.st_nlink > 1 || status.st_uid != ::geteuid())) {
        return WriteInPlace(native, path, bytes, error);
    }
    const Replaced replaced = ReplaceFile(file, exists ? &status : nullptr, bytes, path, error);
    return replaced == Replaced::NotHere ? WriteInPlace(native, path, bytes, error)
                                         : replaced == Replaced::Yes;
}

#else

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile out(path);
    if (out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() && out.commit()) {
        return true;
    }
    out.cancelWriting();
    return Fail(error, out.errorString() + QStringLiteral(" while writing ") + path);
}

#endif
