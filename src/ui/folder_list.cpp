#include "ui/folder_list.h"

#include "browser/folder_listing.h"

#include <QDir>

QString CleanFolderPath(const QString& path) {
    return QDir::cleanPath(QDir::current().absoluteFilePath(path));
}

FolderList::FolderList(QWidget* parent) : QFrame(parent), path_(QDir::currentPath()) {}

bool FolderList::SetPath(const QString& path) {
    if (path.isEmpty()) {
        return false;
    }
    const QString folder = CleanFolderPath(path);
    if (folder == path_) {
        return true;
    }
    std::optional<FolderListing> listing = ListFolder(folder, {});
    if (!listing) {
        return false;
    }
    path_ = folder;
    subfolders_ = std::move(listing->subfolders);
    listed_ = true;
    emit Change();
    return true;
}

void FolderList::EnsureListed() const {
    if (listed_) {
        return;
    }
    if (std::optional<FolderListing> listing = ListFolder(path_, {})) {
        subfolders_ = std::move(listing->subfolders);
    }
    listed_ = true;
}

int FolderList::ListCount() const {
    EnsureListed();
    return static_cast<int>(subfolders_.size());
}

QString FolderList::List(int index) const {
    EnsureListed();
    if (index < 0 || index >= subfolders_.size()) {
        return QString();
    }
    return path_ == QLatin1String("/") ? path_ + subfolders_[index]
                                       : path_ + QLatin1Char('/') + subfolders_[index];
}

FileList::FileList(QWidget* parent) : QFrame(parent), path_(QDir::currentPath()) {}

bool FileList::SetPath(const QString& path) {
    if (path.isEmpty()) {
        return false;
    }
    // A folder that cannot be read lists no files rather than the old ones.
    path_ = CleanFolderPath(path);
    std::optional<FolderListing> listing =
        ListFolder(path_, pattern_.split(QLatin1Char(';'), Qt::SkipEmptyParts));
    files_ = listing ? std::move(listing->files) : QStringList();
    return listing.has_value();
}

void FileList::SetPattern(const QString& pattern) {
    pattern_ = pattern;
}
