#include "app/path_helpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr QChar kSeparator = u'/';

// The path without one trailing separator; "/" itself stays "/".
QString WithoutTrailingSeparator(const QString& path) {
    if (path.size() > 1 && path.endsWith(kSeparator)) {
        return path.chopped(1);
    }
    return path;
}

// Opens a regular file for reading. Anything else (folder, FIFO, device) is
// refused; on POSIX the open itself cannot block, and the type is checked on
// the opened descriptor so a file swapped meanwhile is refused too.
bool OpenRegularFile(const QString& path, QFile& file) {
    if (path.isEmpty()) {
        return false;
    }
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return false;
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
#else
    if (!QFileInfo(path).isFile()) {
        return false;
    }
    file.setFileName(path);
    return file.open(QIODevice::ReadOnly);
#endif
}

}  // namespace

QString AddBackslash(QString& path) {
    if (!path.endsWith(kSeparator)) {
        path.append(kSeparator);
    }
    return path;
}

QString LastPartOf(const QString& path) {
    QString text = path;
    if (text.endsWith(kSeparator)) {
        text.chop(1);
    }
    const qsizetype slash = text.lastIndexOf(kSeparator);
    return slash < 0 ? text : text.mid(slash + 1);
}

QString WithoutExtension(const QString& path) {
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot > path.lastIndexOf(kSeparator) ? path.left(dot) : path;
}

QString FolderPartOf(const QString& path) {
    const QString text = WithoutTrailingSeparator(path);
    const qsizetype slash = text.lastIndexOf(kSeparator);
    if (slash < 0) {
        return text;
    }
    // A file directly in the root lies in "/", not in the relative "".
    return slash == 0 ? QString(kSeparator) : text.left(slash);
}

QString ParentFolderOf(const QString& path) {
    const QString text = WithoutTrailingSeparator(path);
    const qsizetype slash = text.lastIndexOf(kSeparator);
    return slash < 0 ? text : text.left(slash + 1);
}

QString LongPathOf(const QString& path) {
    if (path.isEmpty()) {
        return path;
    }
    const QFileInfo info(path);
    if (!info.exists()) {
        return path;
    }
    return QDir::cleanPath(info.absoluteFilePath());
}

QString StripQuotes(QString& text) {
    text.remove(u'"');
    return text;
}

bool FileExists(const QString& path) {
    QFile file;
    return OpenRegularFile(path, file);
}

std::optional<QByteArray> ReadFileBytes(const QString& path) {
    QFile file;
    if (!OpenRegularFile(path, file)) {
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return std::nullopt;
    }
    return bytes;
}
