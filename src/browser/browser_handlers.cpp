// The file browser: the drive list, the up and root buttons and the combined
// list of folders and audio files.
#include "app/path_helpers.h"
#include "ui/drive_list.h"
#include "ui/folder_list.h"
#include "ui/frm_tembrel.h"
#include "ui/list_box.h"

#include <QFileInfo>
#include <QPushButton>

namespace {

const QString kParentEntry = QStringLiteral("[..]");

// Selects the entry naming the file: an exact match first, else the last
// entry equal to it with letter case ignored; false when there is none.
bool SelectFileEntry(ListBox* list, const QString& fileName) {
    int found = -1;
    for (int i = 0; i < list->ListCount(); ++i) {
        if (list->List(i) == fileName) {
            found = i;
            break;
        }
        if (list->List(i).compare(fileName, Qt::CaseInsensitive) == 0) {
            found = i;
        }
    }
    if (found >= 0) {
        list->SetListIndex(found);
    }
    return found >= 0;
}

}  // namespace

void frmTembrel::dirDirs_Change() {
    const QString folder = dirDirs->Path();
    filFiles->SetPath(folder);
    currentFolder = folder;
    AddBackslash(currentFolder);
    drvDrives->FollowFolder(folder);

    lstPath->setUpdatesEnabled(false);
    lstPath->Clear();
    if (folder != QLatin1String("/")) {
        lstPath->AddItem(kParentEntry);
    }
    for (int i = 0; i < dirDirs->ListCount(); ++i) {
        lstPath->AddItem(QLatin1Char('[') + LastPartOf(dirDirs->List(i)) + QLatin1Char(']'));
    }
    for (int j = 0; j < filFiles->ListCount(); ++j) {
        lstPath->AddItem(filFiles->List(j));
    }
    lstPath->setUpdatesEnabled(true);
}

void frmTembrel::drvDrives_Change() {
    // A volume leads to the folder last shown on it; when that is gone, to
    // its mount point; when neither can be entered, the list goes back to
    // the volume of the folder still shown.
    const QString drive = drvDrives->Drive();
    if (!dirDirs->SetPath(drvDrives->CurrentFolderOf(drive)) && !dirDirs->SetPath(drive)) {
        drvDrives->FollowFolder(dirDirs->Path());
    }
}

void frmTembrel::cmdBack_Click() {
    dirDirs->SetPath(ParentFolderOf(dirDirs->Path()));
    dummy->setFocus();
}

void frmTembrel::cmdRoot_Click() {
    dirDirs->SetPath(drvDrives->DriveOf(dirDirs->Path()));
    dummy->setFocus();
}

void frmTembrel::lstPath_DblClick() {
    const QString entry = lstPath->Text();
    if (entry == kParentEntry) {
        dirDirs->SetPath(ParentFolderOf(dirDirs->Path()));
    } else if (entry.startsWith(QLatin1Char('['))) {
        QString folder = dirDirs->Path();
        dirDirs->SetPath(AddBackslash(folder) + entry.mid(1, entry.size() - 2) + QLatin1Char('/'));
    } else {
        OpenSelectedFile();
    }
}

void frmTembrel::ShowFolderAndOpen(const QString& folder, const QString& fileName) {
    // A folder that cannot be entered leaves the browser where it is.
    drvDrives->SetDrive(drvDrives->DriveOf(folder));
    dirDirs->SetPath(folder);
    dirDirs_Change();
    // A name the browser does not list opens nothing.
    if (!fileName.isEmpty() && SelectFileEntry(lstPath, fileName)) {
        lstPath_DblClick();
    }
}

void frmTembrel::VolumesChanged(const QStringList& volumes) {
    drvDrives->SetVolumes(volumes);
    QString folder = dirDirs->Path();
    while (!QFileInfo(folder).isDir() && folder != QLatin1String("/")) {
        folder = ParentFolderOf(folder);
    }
    if (folder != dirDirs->Path()) {
        dirDirs->SetPath(folder);
    }
}

void frmTembrel::Form_DropFile(const QString& path) {
    const QFileInfo file(path);
    if (file.isFile()) {
        ShowFolderAndOpen(file.absolutePath(), file.fileName());
    }
}
