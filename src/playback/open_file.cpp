// Opening a recording: its cue points, a new engine, the position slider and
// the length, then playback from the start. Any failure abandons the open
// silently and leaves no engine and an empty cue list.
#include "app/path_helpers.h"
#include "cues/cue_line.h"
#include "engine/no_engine.h"
#include "playback/time_text.h"
#include "ui/folder_list.h"
#include "ui/frm_tembrel.h"
#include "ui/list_box.h"
#include "ui/scroll_bar.h"

#include <QDebug>
#include <QLabel>
#include <QLineEdit>
#include "ui/title_box.h"

#include <algorithm>
#include <limits>

MediaEngine& frmTembrel::Media() {
    static NoEngine none;
    return media ? *media : none;
}

void frmTembrel::CleanUp() {
    // Destroying the engine ends its playback; no stop is sent first.
    media.reset();
    engineLoop_.reset();
    lstCue->Clear();
    SetPlayState(PlayState::kStopped);
}

void frmTembrel::ShowLength(double length) {
    // The slider holds any length; a page step is a tenth of it, at least 1.
    H1->SetMax(static_cast<int>(
        std::clamp<long long>(RoundToEven(length), 0, std::numeric_limits<int>::max())));
    H1->SetLargeChange(std::max(1, H1->Max() / 10));
    txtLength1->setText(TimeText(length));
    shownLength_ = length;
}

void frmTembrel::OpenSelectedFile() {
    const QString entry = lstPath->Text();
    cueListLoaded = false;
    if (entry.isEmpty()) {
        CleanUp();
        return;
    }
    QString folder = dirDirs->Path();
    currentFile = AddBackslash(folder) + entry;
    cueFile = WithoutExtension(currentFile) + QStringLiteral(".cue");
    CleanUp();

    // A failed open is silent for the user; its reason goes to the log.
    const auto fail = [this](const QString& reason) {
        qWarning().noquote() << "cannot open" << currentFile << "-" << reason;
        CleanUp();
    };
    QString reason;
    std::shared_future<QList<CueRecord>> ownCues;
    if (!LoadCueFile(&reason, &ownCues)) {
        return fail(reason);
    }
    media = engineFactory_ ? engineFactory_() : nullptr;
    if (!media || !media->RenderFile(currentFile)) {
        return fail(media ? media->ErrorText() : QStringLiteral("no media engine"));
    }
    AddOwnCues(ownCues);
    H1->setEnabled(true);
    const std::optional<double> length = media->Duration();
    if (!length) {
        return fail(media->ErrorText());
    }
    const long long max = RoundToEven(*length);
    if (max < 0 || max > std::numeric_limits<int>::max()) {
        return fail(QStringLiteral("a length of %1 s").arg(*length));
    }
    ShowLength(*length);
    if (!media->SetVolume(V1->Value())) {
        return fail(media->ErrorText());
    }
    txtCueTitle->SetTitle(QString::fromLatin1(kStartPointTitle));
    cueListLoaded = true;
    if (!Play()) {
        cueListLoaded = false;
        return fail(media ? media->ErrorText() : QString());
    }
}
