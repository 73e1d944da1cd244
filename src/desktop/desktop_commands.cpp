#include "desktop/desktop_commands.h"

#include "app/path_helpers.h"
#include "ui/folder_list.h"
#include "ui/frm_tembrel.h"
#include "ui/scroll_bar.h"

#include <QAction>
#include <QApplication>
#include <QTimer>

#include <algorithm>
#include <cmath>

bool WindowBusy() {
    return QApplication::activeModalWidget() != nullptr ||
           QApplication::activePopupWidget() != nullptr;
}

void RaiseWindow(QWidget* window) {
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

void OpenFromDesktop(frmTembrel& window, const QString& workingFolder, const QString& path) {
    if (path.isEmpty()) {
        return;
    }
    // A file handed over while a message box waits opens once it is answered.
    if (WindowBusy()) {
        QTimer::singleShot(100, &window, [&window, workingFolder, path] {
            OpenFromDesktop(window, workingFolder, path);
        });
        return;
    }
    if (!workingFolder.isEmpty()) {
        window.dirDirs->SetPath(workingFolder);
    }
    window.ShowFolderAndOpen(FolderPartOf(path), LastPartOf(path));
}

void PlayOrResume(frmTembrel& window) {
    if (window.State() == frmTembrel::PlayState::kPaused) {
        window.cmdPause1_Click();
    } else if (window.State() == frmTembrel::PlayState::kStopped) {
        window.cmdPlay1_Click();
    }
}

void PauseIfPlaying(frmTembrel& window) {
    // After Pause and then Play, the Pause button's first press resumes and
    // only its second pauses.
    for (int press = 0; press < 2 && window.State() == frmTembrel::PlayState::kPlaying; ++press) {
        window.cmdPause1_Click();
    }
}

void TogglePlayPause(frmTembrel& window) {
    if (window.State() == frmTembrel::PlayState::kPlaying) {
        PauseIfPlaying(window);
    } else {
        PlayOrResume(window);
    }
}

void SetSpeed(frmTembrel& window, int percent) {
    const ScrollBar* speed = window.S1;
    window.S1->SetValue(std::clamp(percent, std::min(speed->Min(), speed->Max()),
                                   std::max(speed->Min(), speed->Max())));
}

void SetRepeat(frmTembrel& window, bool on) {
    if (window.mnuRepeat->isChecked() != on) {
        window.mnuRepeat->trigger();
    }
}

void MoveTo(frmTembrel& window, double seconds) {
    if (!window.media || std::isnan(seconds)) {
        return;
    }
    const double second = std::clamp(std::round(seconds), 0.0, double(window.H1->Max()));
    window.H1->SetValue(static_cast<int>(second));
    window.H1_Scroll();
}
