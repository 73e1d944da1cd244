#include "ui/drive_list.h"

#include "browser/folder_listing.h"

#include <QDir>

DriveList::DriveList(const QStringList& volumes, QWidget* parent) : QComboBox(parent) {
    SetVolumes(volumes);
    FollowFolder(QDir::currentPath());
    connect(this, &QComboBox::currentIndexChanged, this, [this] {
        if (!settingDrive_) {
            emit Change();
        }
    });
}

void DriveList::SetVolumes(const QStringList& volumes) {
    QStringList listed = volumes;
    if (!listed.contains(QStringLiteral("/"))) {
        listed.prepend(QStringLiteral("/"));
    }
    if (listed == volumes_) {
        return;
    }
    const QString shown = CurrentFolderOf(Drive());
    volumes_ = listed;
    settingDrive_ = true;
    clear();
    addItems(volumes_);
    settingDrive_ = false;
    if (!shown.isEmpty()) {
        FollowFolder(shown);
    }
}

bool DriveList::SetDrive(const QString& volume) {
    const int index = volumes_.indexOf(volume);
    if (index < 0) {
        return false;
    }
    if (index != currentIndex()) {
        settingDrive_ = true;
        setCurrentIndex(index);
        settingDrive_ = false;
        emit Change();
    }
    return true;
}

QString DriveList::DriveOf(const QString& path) const {
    return VolumeOf(path, volumes_);
}

QString DriveList::CurrentFolderOf(const QString& volume) const {
    return currentFolders_.value(volume, volume);
}

void DriveList::FollowFolder(const QString& folder) {
    const QString volume = DriveOf(folder);
    if (volume.isEmpty()) {
        return;
    }
    currentFolders_.insert(volume, folder);
    settingDrive_ = true;
    setCurrentIndex(volumes_.indexOf(volume));
    settingDrive_ = false;
}
