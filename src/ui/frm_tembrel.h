#pragma once

#include "app/program_values.h"
#include "cues/own_cues.h"
#include "engine/media_engine.h"

#include <QPointer>

#include <QWidget>
#include "ui/frm_lyrics.h"

#include <array>
#include <future>
#include <memory>
#include <optional>

class DriveList;
class FileList;
class FolderList;
class ListBox;
class PictureBox;
class ScrollBar;
class TitleBox;
struct CueSheet;
class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTimer;

// The main window: a fixed-size panel holding the file browser, the cue list,
// the transport and the sound controls. It owns the media engine and the
// values the handlers share. The handlers are defined in the folder of the
// subsystem they belong to; this declaration is their table of contents.
class frmTembrel : public QWidget {
    Q_OBJECT
public:
    frmTembrel(ProgramValues program, MediaEngineFactory engineFactory, QWidget* parent = nullptr);
    ~frmTembrel() override;

    // What the transport last did: playing (also past the end, which keeps
    // the engine running), paused by the Pause button, or stopped. Stopped
    // whenever no recording is open.
    enum class PlayState { kStopped, kPlaying, kPaused };
    PlayState State() const { return playState_; }

    const ProgramValues& Program() const { return program_; }
    // The lyrics window, created (hidden, docked to this window) when missing.
    frmLyrics* Lyrics();
    // The lyrics window if it exists.
    frmLyrics* ExistingLyrics() const { return lyricsWindow_; }
    // The lyrics window is going away; the next use creates a new one.
    void ForgetLyrics() { lyricsWindow_.clear(); }

    // Area A: file browser.
    DriveList* drvDrives;
    QPushButton* cmdRoot;
    QPushButton* cmdBack;
    ListBox* lstPath;
    QGroupBox* frmPaths;
    FolderList* dirDirs;
    FileList* filFiles;
    QPushButton* dummy;
    // Area B: volume and cue points.
    QGroupBox* Frame5;
    ScrollBar* V1;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
    QGroupBox* Frame1;
    ListBox* lstCue;
    QLabel* Label3;
    TitleBox* txtCueTitle;
    QPushButton* Command4;
    // Area C: progress.
    QGroupBox* Frame4;
    QPushButton* Command9;
    QPushButton* Command5;
    QPushButton* Command1;
    PictureBox* picRepeat;
    QPushButton* Command7;
    QPushButton* Command6;
    QPushButton* Command8;
    QLabel* Label10;
    QLabel* Label8;
    ScrollBar* H1;
    QLabel* Label11;
    QLabel* txtTLeft1;
    QLabel* Label12;
    QLabel* txtTUsed1;
    QLabel* Label13;
    QLabel* txtLength1;
    // Area D: transport and cue time.
    QPushButton* cmdPlay1;
    QPushButton* cmdPause1;
    QPushButton* cmdPrev1;
    QPushButton* cmdCue1;
    QPushButton* cmdNext1;
    QPushButton* cmdStop1;
    QPushButton* Command2;
    QLineEdit* txtCue;
    QPushButton* Command3;
    // Area E: outside the visible client area.
    QGroupBox* Frame2;
    ScrollBar* S1;
    QLabel* Label2;
    QLabel* Label4;
    QPushButton* cmdReset1;
    QGroupBox* Frame3;
    ScrollBar* B1;
    QLabel* Label1;
    QPushButton* cmdBReset1;
    PictureBox* picAni;
    QLabel* lblRepeat;
    // Timers and the popup menu.
    QTimer* Timer1;
    QTimer* tmrRepeat;
    QMenu* mnuPop;
    QAction* mnuRemCue;
    QAction* mnuEdit;
    QAction* mnuNix;
    QAction* mnuRepeat;

    // Values shared by the handlers.
    QString currentFolder;               // folder shown by the browser, ending in "/"
    QString currentFile;                 // audio file of the latest open
    QString cueFile;                     // cue file belonging to currentFile
    std::unique_ptr<MediaEngine> media;  // engine of the open file; none when closed
    // True while lstCue holds what the cue file of currentFile held (plus the
    // edits since): only then may the cue file be rewritten from the list.
    bool cueListLoaded = false;
    bool isPaused = false;
    int currentCue = 0;
    int cueAdvanced = 0;
    QString positionText;
    int repeatFrame = 0;
    // Lyrics shown in the lyrics window: their title and file (empty when the
    // title cannot name a file), whether the text changed since the button or
    // a cue choice loaded it, and whether it holds typing not yet saved.
    QString lyricsTitle;
    QString lyricsFile;
    bool lyricsChanged = false;
    bool lyricsUnsaved = false;

    // File browser (browser/).
    void dirDirs_Change();
    void drvDrives_Change();
    void cmdBack_Click();
    void cmdRoot_Click();
    void lstPath_DblClick();
    // Shows a folder and opens the entry named fileName (none when empty)
    // by the double-click action, as start-up does for the command line.
    void ShowFolderAndOpen(const QString& folder, const QString& fileName);
    // The mounted volumes changed: the drive list follows, and a shown
    // folder that went with its volume gives way to the nearest one left.
    void VolumesChanged(const QStringList& volumes);
    // A file dropped on the window: an audio file the browser lists opens as
    // a double-click on its entry would open it.
    void Form_DropFile(const QString& path);

    // Playback (playback/).
    void OpenSelectedFile();
    void CleanUp();
    void cmdPlay1_Click();
    // Play from the start; false when an engine call failed.
    bool Play();
    void cmdPause1_Click();
    void cmdStop1_Click();
    void V1_Change();
    void B1_Change();
    void S1_Change();
    void cmdBReset1_Click();
    void cmdReset1_Click();
    void Timer1_Timer();
    void H1_Scroll();
    void Command1_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    void Command8_Click();
    void Command9_Click();

    // Cue list and cue file (cues/).
    // Fills the empty cue list from the cue file (or the start point when
    // there is none); false with the reason when the file cannot be read.
    // Without cue file, only the start point is listed; `ownCues` gets the
    // whole list with the recording's own marks, read on a worker meanwhile,
    // for AddOwnCues.
    bool LoadCueFile(QString* error, std::shared_future<QList<CueRecord>>* ownCues);
    void AddOwnCues(const std::shared_future<QList<CueRecord>>& ownCues);
    // Reads the cue list of the selected file entry ahead of its open.
    void ReadCuesAhead();
    void SaveCueFile();
    void cmdCue1_Click();
    void Command2_Click();
    void Command3_Click();
    void lstCue_MouseDown(Qt::MouseButton button, QPoint position);
    void mnuRemCue_Click();
    void mnuEdit_Click();
    // Enter in the title box: the selected cue point takes the box's text as title.
    void txtCueTitle_KeyPress();
    void lstCue_DblClick();
    void cmdNext1_Click();
    void cmdPrev1_Click();
    // Selects a cue line and shows its title in the title box.
    void SelectCue(int index);
    // A label file dropped on the cue list: its labels are set as cue points,
    // as the cue button would set them, and the cue file is written once.
    void lstCue_DropFile(const QString& path);

    // Lyrics (lyrics/).
    void Command4_Click();
    QString LyricsTitleFor();
    // Shows the lyrics of a title (or, unless openEmpty, hides the window when
    // it has none). False when typed text that could not be saved stays.
    bool LoadLyrics(const QString& title, bool openEmpty);
    // "speichern": writes the window's text to lyricsFile; tells the user and
    // returns false when it cannot.
    bool SaveLyrics();
    // Saves typing not yet saved before it is replaced; false when the save
    // failed and the text stays in the window.
    bool SavePendingLyrics();
    // Hides the lyrics window and empties its text; false when typed text
    // that could not be saved stays.
    bool HideLyrics();
    // Puts text into the lyrics window as the program, not the user.
    void ShowLyricsText(const QString& text);
    void txtLyrics_Change();
    // "schließen": hides the window, then saves the text when it changed.
    void CloseLyrics();
    // The lyrics window's close box: true when the window may go.
    bool LyricsCloseBox();

    // Repeat (repeat/).
    void mnuRepeat_Click();
    void RepeatTick();
    // Gives the engine the section to loop in repeat mode (none outside it
    // and in the last section) when that changed.
    void UpdateLoop();

    // Exit sequence (app/): releases the engine and writes the settings.
    void Form_Unload();
    // What the end of the desktop session must not lose: typed lyrics and
    // the settings. Playback goes on.
    void SaveForSessionEnd();

signals:
    // The transport started, paused or stopped playback.
    void PlayStateChanged();
    // The playing position was moved (a seek, not playback going on).
    void PositionMoved();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void SetPlayState(PlayState state);
    // The engine of the open file, or one whose every call fails.
    MediaEngine& Media();
    // Moves the playing position; the next tick takes it as a seek, not as
    // playback going on.
    bool Seek(double seconds);
    // Start and hold playback (Stop when `stop`); the play state the desktop
    // sees and the tick's timer follow, even when the engine refuses.
    bool RunMedia();
    bool HoldMedia(bool stop);
    // Makes the tick run again. It runs every 10 ms while a recording plays
    // and stops by itself when nothing can change; whatever changes the
    // position, the playing state or the cue list wakes it for at least one
    // more tick.
    void WakeTick();
    // Sets the position slider's range and the length display.
    void ShowLength(double length);
    // The shared jump procedure: moves the position by whole seconds.
    void Jump(int seconds);
    // Loads the lyrics of a title the tick followed into, or hides them.
    void FollowLyrics(const QString& title);
    // Moves the selected cue point by one second (-1 or 1).
    void NudgeCue(int step);
    // Puts a new text at line i, keeping the line's place and seconds, selected.
    void ReplaceCueLine(int index, const QString& text, qint32 seconds);
    // Appends a cue line with its seconds.
    void AddCueLine(const QString& text, qint32 seconds);
    void AddCueLines(const QList<CueRecord>& cues);

    void BuildBrowserArea();
    void BuildCueArea();
    void BuildProgressArea();
    void BuildTransportArea();
    void BuildHiddenArea();
    void BuildMenuAndTimers();
    void ApplyTabOrder();
    void ConnectHandlers();

    // The seven settings as the exit writes them, and their write.
    QList<QPair<QString, QString>> StoredSettings();
    void WriteStoredSettings();

    ProgramValues program_;
    MediaEngineFactory engineFactory_;
    bool unloaded_ = false;
    PlayState playState_ = PlayState::kStopped;
    QPointer<frmLyrics> lyricsWindow_;
    bool inTick_ = false;
    bool running_ = false;                           // the engine was last told to run
    double shownLength_ = 0;                         // the length the slider and the display show
    std::array<double, 2> shownSeconds_ = {-1, -1};  // used and left, as shown
    // The position the last tick saw; none after a seek.
    std::optional<double> lastTick_;
    // The section the engine loops (whole seconds), none when it loops none.
    std::optional<std::pair<int, int>> engineLoop_;
    // The CUE sheet the cue file holds, when it holds one: edits are written
    // back into it.
    std::shared_ptr<CueSheet> cueSheet_;
    OwnCues ownCues_;
    // The cue file holds a sheet the list cannot stand for (one for several
    // files, or one that cannot be read): it is never written.
    bool cueFileKept_ = false;
    bool settingLyrics_ = false;
    // The file bytes the lyrics text stands for while nobody typed in it (as
    // read, or as last saved, without the final line break).
    std::optional<QByteArray> lyricsBytes_;
    // A save of the typed text failed and the user was told.
    bool lyricsWarned_ = false;
    // Focus order of the window's controls: (tab index, control).
    std::vector<std::pair<int, QWidget*>> tabOrder_;
};
