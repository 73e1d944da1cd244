// Prints how long ListFolder takes for a folder of 10,000 audio files and 500
// subfolders, and how long the main window takes to rebuild its file list for
// that folder: median and worst of 10 runs each.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "browser/folder_listing.h"
#include "ui/folder_list.h"
#include "ui/frm_tembrel.h"
#include "ui/list_box.h"

namespace {

void PrintFigures(const char* what, std::vector<double> runs) {
    std::sort(runs.begin(), runs.end());
    std::printf("%s: median %.2f ms, worst %.2f ms (%zu runs)\n", what,
                (runs[runs.size() / 2 - 1] + runs[runs.size() / 2]) / 2, runs.back(), runs.size());
}

// Times entering the folder in the main window, from an empty folder each time.
std::vector<double> TimeRebuilds(const QString& folder, const QString& emptyFolder) {
    frmTembrel window(ProgramValues{}, [] { return std::unique_ptr<MediaEngine>(); });
    std::vector<double> runs;
    for (int run = 0; run < 10; ++run) {
        window.dirDirs->SetPath(emptyFolder);
        QElapsedTimer timer;
        timer.start();
        window.dirDirs->SetPath(folder);
        runs.push_back(timer.nsecsElapsed() / 1e6);
        if (window.lstPath->ListCount() != 10501) {
            std::fprintf(stderr, "the list holds %d entries\n", window.lstPath->ListCount());
            return {};
        }
    }
    return runs;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QTemporaryDir emptyDir;
    if (!dir.isValid() || !emptyDir.isValid()) {
        std::fprintf(stderr, "cannot create a temporary folder\n");
        return 1;
    }
    const char* extensions[] = {"mp3", "MP3", "wav", "Wav"};
    for (int i = 0; i < 10000; ++i) {
        QFile file(dir.filePath(QStringLiteral("Probe %1 take.%2")
                                    .arg(9999 - i, 5, 10, QLatin1Char('0'))
                                    .arg(QLatin1String(extensions[i % 4]))));
        if (!file.open(QIODevice::WriteOnly)) {
            std::fprintf(stderr, "cannot create %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }
    for (int i = 0; i < 500; ++i) {
        QDir(dir.path()).mkdir(QStringLiteral("Folder %1").arg(499 - i));
    }
    // Files the patterns leave out still cost a directory entry each.
    for (int i = 0; i < 500; ++i) {
        QFile(dir.filePath(QStringLiteral("notes %1.txt").arg(i))).open(QIODevice::WriteOnly);
    }

    const QStringList patterns = {QStringLiteral("*.mp3"), QStringLiteral("*.wav")};
    std::vector<double> runs;
    qsizetype entries = 0;
    for (int run = 0; run < 10; ++run) {
        QElapsedTimer timer;
        timer.start();
        const std::optional<FolderListing> listing = ListFolder(dir.path(), patterns);
        runs.push_back(timer.nsecsElapsed() / 1e6);
        entries = listing ? listing->files.size() + listing->subfolders.size() : -1;
    }
    std::printf("10,000 audio files + 500 folders (+500 other files), %lld listed\n",
                static_cast<long long>(entries));
    PrintFigures("ListFolder", runs);
    const std::vector<double> rebuilds = TimeRebuilds(dir.path(), emptyDir.path());
    if (rebuilds.empty()) {
        return 1;
    }
    PrintFigures("lstPath rebuild (folder list, file list and list box)", rebuilds);
    return entries == 10500 ? 0 : 1;
}
