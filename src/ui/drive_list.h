#pragma once

#include <QComboBox>
#include <QHash>

// The drive list of the file browser: the mounted volumes a user keeps files
// on, "/" first. Each volume remembers the folder last shown on it, which is
// where choosing the volume leads (the working folder for its own volume).
class DriveList : public QComboBox {
    Q_OBJECT
public:
    // Lists the given volumes; the one holding the working folder is selected.
    explicit DriveList(const QStringList& volumes, QWidget* parent = nullptr);

    // Mount point of the selected volume.
    QString Drive() const { return currentText(); }
    // Selects a volume; reports Change when the selection changed. False for
    // a volume that is not listed.
    bool SetDrive(const QString& volume);
    // The listed volume that holds a path; empty when none does.
    QString DriveOf(const QString& path) const;
    // The folder last shown on a volume (its mount point when none).
    QString CurrentFolderOf(const QString& volume) const;
    // Lists other volumes (mounted or unmounted since); the selection stays
    // with the shown folder's volume, or "/" when that volume went away.
    // Never reports Change.
    void SetVolumes(const QStringList& volumes);
    // Records the folder shown and selects the volume that holds it, without
    // reporting Change.
    void FollowFolder(const QString& folder);

signals:
    void Change();

private:
    QStringList volumes_;
    QHash<QString, QString> currentFolders_;
    bool settingDrive_ = false;
};
