#include "ui/frm_tembrel.h"

#include "app/path_helpers.h"
#include "browser/folder_listing.h"
#include "browser/mounted_volumes.h"

#include "ui/drive_list.h"
#include "ui/folder_list.h"
#include "ui/frm_lyrics.h"
#include "ui/layout_helpers.h"
#include "ui/list_box.h"
#include "ui/pictures.h"
#include "ui/scroll_bar.h"
#include "ui/title_box.h"

#include <QAction>
#include <QCloseEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

frmTembrel::frmTembrel(ProgramValues program, MediaEngineFactory engineFactory, QWidget* parent)
    : QWidget(parent), program_(std::move(program)), engineFactory_(std::move(engineFactory)) {
    setObjectName(QStringLiteral("frmTembrel"));
    setWindowTitle(QStringLiteral("Vorlane Tembrel"));
    setWindowIcon(MainWindowIcon());
    setFont(SansFont(8.25, false));
    // A fixed panel: the controls beyond its right edge are never seen.
    setFixedSize(TwipsRect(0, 0, 8985, 6285).size());
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);

    BuildBrowserArea();
    BuildCueArea();
    BuildProgressArea();
    BuildTransportArea();
    BuildHiddenArea();
    BuildMenuAndTimers();
    ApplyTabOrder();
    ConnectHandlers();
    setAcceptDrops(true);
    Timer1->start();
}

void frmTembrel::SetPlayState(PlayState state) {
    // Without a recording nothing plays, whatever the buttons did.
    if (!media) {
        state = PlayState::kStopped;
    }
    if (state != playState_) {
        playState_ = state;
        emit PlayStateChanged();
    }
}

frmTembrel::~frmTembrel() {
    delete lyricsWindow_.data();
}

frmLyrics* frmTembrel::Lyrics() {
    if (!lyricsWindow_) {
        lyricsWindow_ = new frmLyrics(this);
        connect(lyricsWindow_, &frmLyrics::CloseClicked, this, &frmTembrel::CloseLyrics);
        connect(lyricsWindow_, &frmLyrics::SaveClicked, this, &frmTembrel::SaveLyrics);
        connect(lyricsWindow_, &frmLyrics::CloseBoxClicked, this, [this](QCloseEvent* event) {
            if (!LyricsCloseBox()) {
                event->ignore();
            }
        });
        connect(lyricsWindow_->txtLyrics, &QPlainTextEdit::textChanged, this,
                &frmTembrel::txtLyrics_Change);
    }
    return lyricsWindow_;
}

void frmTembrel::ConnectHandlers() {
    connect(drvDrives, &DriveList::Change, this, &frmTembrel::drvDrives_Change);
    connect(dirDirs, &FolderList::Change, this, &frmTembrel::dirDirs_Change);
    connect(cmdBack, &QPushButton::clicked, this, &frmTembrel::cmdBack_Click);
    connect(cmdRoot, &QPushButton::clicked, this, &frmTembrel::cmdRoot_Click);
    connect(lstPath, &ListBox::DblClick, this, &frmTembrel::lstPath_DblClick);
    connect(lstPath, &QListWidget::currentRowChanged, this, &frmTembrel::ReadCuesAhead);
    WatchMounts(this, [this] { VolumesChanged(MountedVolumes()); });
    connect(cmdPlay1, &QPushButton::clicked, this, &frmTembrel::cmdPlay1_Click);
    connect(cmdPause1, &QPushButton::clicked, this, &frmTembrel::cmdPause1_Click);
    connect(cmdStop1, &QPushButton::clicked, this, &frmTembrel::cmdStop1_Click);
    // Each value of a drag acts at once, as a settled change does.
    for (auto [bar, handler] :
         {std::pair{V1, &frmTembrel::V1_Change}, std::pair{B1, &frmTembrel::B1_Change},
          std::pair{S1, &frmTembrel::S1_Change}}) {
        connect(bar, &ScrollBar::Change, this, handler);
        connect(bar, &ScrollBar::Scroll, this, handler);
    }
    connect(cmdBReset1, &QPushButton::clicked, this, &frmTembrel::cmdBReset1_Click);
    connect(cmdReset1, &QPushButton::clicked, this, &frmTembrel::cmdReset1_Click);
    connect(H1, &ScrollBar::Scroll, this, &frmTembrel::H1_Scroll);
    connect(Command1, &QPushButton::clicked, this, &frmTembrel::Command1_Click);
    connect(Command5, &QPushButton::clicked, this, &frmTembrel::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &frmTembrel::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &frmTembrel::Command7_Click);
    connect(Command8, &QPushButton::clicked, this, &frmTembrel::Command8_Click);
    connect(Command9, &QPushButton::clicked, this, &frmTembrel::Command9_Click);
    connect(cmdCue1, &QPushButton::clicked, this, &frmTembrel::cmdCue1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmTembrel::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmTembrel::Command3_Click);
    connect(lstCue, &ListBox::MouseDown, this, &frmTembrel::lstCue_MouseDown);
    connect(mnuRemCue, &QAction::triggered, this, &frmTembrel::mnuRemCue_Click);
    connect(mnuEdit, &QAction::triggered, this, &frmTembrel::mnuEdit_Click);
    connect(txtCueTitle, &QLineEdit::returnPressed, this, &frmTembrel::txtCueTitle_KeyPress);
    connect(lstCue, &ListBox::DblClick, this, &frmTembrel::lstCue_DblClick);
    connect(cmdNext1, &QPushButton::clicked, this, &frmTembrel::cmdNext1_Click);
    connect(cmdPrev1, &QPushButton::clicked, this, &frmTembrel::cmdPrev1_Click);
    connect(Command4, &QPushButton::clicked, this, &frmTembrel::Command4_Click);
    connect(mnuRepeat, &QAction::triggered, this, &frmTembrel::mnuRepeat_Click);
    connect(tmrRepeat, &QTimer::timeout, this, &frmTembrel::RepeatTick);
    connect(Timer1, &QTimer::timeout, this, &frmTembrel::Timer1_Timer);
    // A cue added or removed, or repeat mode, may change what the next tick
    // does (a nudge seeks, which wakes it anyway).
    connect(lstCue->model(), &QAbstractItemModel::rowsInserted, this, &frmTembrel::WakeTick);
    connect(lstCue->model(), &QAbstractItemModel::rowsRemoved, this, &frmTembrel::WakeTick);
    connect(mnuRepeat, &QAction::triggered, this, &frmTembrel::WakeTick);
}

void frmTembrel::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void frmTembrel::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile()) {
        event->acceptProposedAction();
    }
}

void frmTembrel::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile()) {
        return;
    }
    event->acceptProposedAction();
    // On the cue list, a file that is no recording is a label file.
    const QString path = urls.first().toLocalFile();
    const QPoint at = lstCue->mapFrom(this, event->position().toPoint());
    if (lstCue->rect().contains(at) && !MatchesPattern(LastPartOf(path), {filFiles->Pattern()})) {
        lstCue_DropFile(path);
    } else {
        Form_DropFile(path);
    }
}
