// The fixed layout of the main window: every control with its place, size,
// caption, tooltip, font, colours, start values and focus order.
#include "browser/folder_listing.h"
#include "ui/drive_list.h"
#include "ui/folder_list.h"
#include "ui/frm_tembrel.h"
#include "ui/layout_helpers.h"
#include "ui/list_box.h"
#include "ui/picture_box.h"
#include "ui/pictures.h"
#include "ui/scroll_bar.h"
#include "ui/title_box.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

namespace {

const QColor kBlack = ColourFromBgr(0x00000000);
const QColor kLightGrey = ColourFromBgr(0x00E0E0E0);
const QColor kGreen = ColourFromBgr(0x0000FF00);
const QColor kDarkRed = ColourFromBgr(0x000000C0);

// A time display: locked, flat, on the button colour, never taking the focus.
// A label rather than an edit box, so that a face wider than the original
// clips the text's end instead of scrolling it out of view.
QLabel* MakeTimeDisplay(QWidget* parent, const char* name, QRect geometry) {
    QLabel* box = MakeLabel(parent, name, geometry, QStringLiteral("00:00:00"), false);
    box->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    SetColours(box, box->palette().color(QPalette::Button), kBlack);
    return box;
}

QPushButton* MakePictureButton(QWidget* parent, const char* name, QRect geometry,
                               const QPixmap& picture, const QString& toolTip = QString()) {
    QPushButton* button = MakeButton(parent, name, geometry, QString(), toolTip);
    button->setIcon(QIcon(picture));
    button->setIconSize(picture.size());
    return button;
}

ScrollBar* MakeScrollBar(QWidget* parent, const char* name, Qt::Orientation orientation,
                         QRect geometry) {
    auto* bar = new ScrollBar(orientation, parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setGeometry(geometry);
    return bar;
}

}  // namespace

void frmTembrel::BuildBrowserArea() {
    const QFont bold = SansFont(8.25, true);
    drvDrives = new DriveList(MountedVolumes(), this);
    drvDrives->setObjectName(QStringLiteral("drvDrives"));
    drvDrives->setGeometry(TwipsRect(120, 120, 3015, 315));
    drvDrives->setFont(bold);
    SetColours(drvDrives, kBlack, kLightGrey);
    tabOrder_.emplace_back(3, drvDrives);

    cmdRoot = MakeButton(this, "cmdRoot", TwipsRect(3240, 120, 255, 285), QStringLiteral("\\"),
                         QStringLiteral("Ins Wurzelverzeichnis wechseln"));
    cmdRoot->setFont(bold);
    tabOrder_.emplace_back(1, cmdRoot);
    cmdBack = MakeButton(this, "cmdBack", TwipsRect(3540, 120, 255, 285), QStringLiteral(".."),
                         QStringLiteral("eine Verzeichnisebene höher"));
    cmdBack->setFont(bold);
    tabOrder_.emplace_back(0, cmdBack);

    lstPath = new ListBox(this);
    lstPath->setObjectName(QStringLiteral("lstPath"));
    lstPath->setGeometry(TwipsRect(120, 480, 3675, 5715));
    lstPath->setFont(bold);
    SetColours(lstPath, kBlack, kLightGrey);
    tabOrder_.emplace_back(2, lstPath);

    frmPaths = MakeFrame(this, "frmPaths", TwipsRect(21480, 120, 3615, 1575),
                         QStringLiteral("FileHandling"));
    // The folder and file lists serve only as enumerators and are never shown.
    frmPaths->setVisible(false);
    dirDirs = new FolderList(frmPaths);
    dirDirs->setObjectName(QStringLiteral("dirDirs"));
    dirDirs->setGeometry(TwipsRect(120, 240, 1635, 1215));
    filFiles = new FileList(frmPaths);
    filFiles->setObjectName(QStringLiteral("filFiles"));
    filFiles->setGeometry(TwipsRect(1800, 240, 1695, 1260));
    filFiles->SetPattern(QStringLiteral("*.mp3;*.wav;*.flac;*.ogg;*.oga;*.opus;*.m4a;*.mp4;*.aac"));

    dummy = MakeButton(this, "dummy", TwipsRect(-4500, 7080, 195, 195), QString());
    tabOrder_.emplace_back(4, dummy);
}

void frmTembrel::BuildCueArea() {
    Frame5 = MakeFrame(this, "Frame5", TwipsRect(3960, 120, 975, 3435), QStringLiteral("Volume"));
    V1 = MakeScrollBar(Frame5, "V1", Qt::Vertical, TwipsRect(120, 240, 255, 3015));
    V1->SetRange(0, -5000, 100, 600);
    tabOrder_.emplace_back(26, V1);
    Label5 = MakeLabel(Frame5, "Label5", TwipsRect(480, 240, 390, 195), QStringLiteral("100%"));
    Label6 = MakeLabel(Frame5, "Label6", TwipsRect(480, 1620, 300, 195), QStringLiteral("50%"));
    Label7 = MakeLabel(Frame5, "Label7", TwipsRect(540, 3060, 210, 195), QStringLiteral("0%"));

    Frame1 = MakeFrame(this, "Frame1", TwipsRect(5040, 120, 3855, 3435),
                       QStringLiteral("Cue Point List"));
    lstCue = new ListBox(Frame1);
    lstCue->setObjectName(QStringLiteral("lstCue"));
    lstCue->setGeometry(TwipsRect(180, 240, 3495, 3090));
    lstCue->setFont(SansFont(8.25, true));
    SetColours(lstCue, kBlack, kLightGrey);
    tabOrder_.emplace_back(40, lstCue);

    Label3 = MakeLabel(this, "Label3", TwipsRect(3810, 3720, 1395, 255),
                       QStringLiteral("Cue Point Title:"), false);
    Label3->setAlignment(Qt::AlignRight | Qt::AlignTop);
    Label3->setFont(SansFont(8.25, true));
    ShrinkToFit(Label3, Label3->width());

    txtCueTitle = new TitleBox(this);
    txtCueTitle->setObjectName(QStringLiteral("txtCueTitle"));
    txtCueTitle->setGeometry(TwipsRect(5220, 3660, 2835, 315));
    txtCueTitle->setToolTip(
        QStringLiteral("after editing hit RETURN to replace Title in the List"));
    txtCueTitle->setFont(SansFont(9.75, true));
    SetColours(txtCueTitle, kBlack, kGreen);
    tabOrder_.emplace_back(41, txtCueTitle);

    Command4 =
        MakeButton(this, "Command4", TwipsRect(8100, 3660, 795, 315), QStringLiteral("Lyrics..."));
    tabOrder_.emplace_back(49, Command4);
}

void frmTembrel::BuildProgressArea() {
    Frame4 =
        MakeFrame(this, "Frame4", TwipsRect(3960, 4020, 4935, 1395), QStringLiteral("Progress"));
    Command9 = MakeButton(Frame4, "Command9", TwipsRect(645, 150, 495, 315), QStringLiteral("<<<"),
                          QStringLiteral("jump back 20 sec"));
    tabOrder_.emplace_back(54, Command9);
    Command5 = MakeButton(Frame4, "Command5", TwipsRect(1170, 150, 495, 315), QStringLiteral("<<"),
                          QStringLiteral("jump back 10 sec"));
    tabOrder_.emplace_back(50, Command5);
    Command1 = MakeButton(Frame4, "Command1", TwipsRect(1695, 150, 495, 315), QStringLiteral("<"),
                          QStringLiteral("jump back 2 sec"));
    tabOrder_.emplace_back(43, Command1);

    picRepeat = new PictureBox(Frame4);
    picRepeat->setObjectName(QStringLiteral("picRepeat"));
    picRepeat->setGeometry(TwipsRect(2280, 150, 300, 300));
    picRepeat->SetPicture(RepeatStill());
    picRepeat->setFocusPolicy(Qt::TabFocus);
    picRepeat->setVisible(false);
    tabOrder_.emplace_back(46, picRepeat);

    Command7 = MakeButton(Frame4, "Command7", TwipsRect(2685, 150, 495, 315), QStringLiteral(">"));
    tabOrder_.emplace_back(52, Command7);
    Command6 = MakeButton(Frame4, "Command6", TwipsRect(3210, 150, 495, 315), QStringLiteral(">>"),
                          QStringLiteral("jump forward 10 sec"));
    tabOrder_.emplace_back(51, Command6);
    Command8 = MakeButton(Frame4, "Command8", TwipsRect(3735, 150, 495, 315), QStringLiteral(">>>"),
                          QStringLiteral("jump forward 20 sec"));
    tabOrder_.emplace_back(53, Command8);

    Label10 = MakeLabel(Frame4, "Label10", TwipsRect(240, 240, 210, 195), QStringLiteral("0%"));
    Label8 = MakeLabel(Frame4, "Label8", TwipsRect(4320, 240, 390, 195), QStringLiteral("100%"));
    H1 = MakeScrollBar(Frame4, "H1", Qt::Horizontal, TwipsRect(240, 480, 4335, 255));
    H1->SetRange(0, 100, 2, 10);
    H1->setEnabled(false);
    tabOrder_.emplace_back(12, H1);

    Label11 =
        MakeLabel(Frame4, "Label11", TwipsRect(240, 840, 825, 195), QStringLiteral("Time Left :"));
    txtTLeft1 = MakeTimeDisplay(Frame4, "txtTLeft1", TwipsRect(1200, 840, 735, 165));
    Label12 =
        MakeLabel(Frame4, "Label12", TwipsRect(2940, 840, 900, 195), QStringLiteral("Time Used :"));
    txtTUsed1 = MakeTimeDisplay(Frame4, "txtTUsed1", TwipsRect(3900, 840, 735, 165));
    Label13 =
        MakeLabel(Frame4, "Label13", TwipsRect(240, 1080, 705, 195), QStringLiteral("Length :"));
    txtLength1 = MakeTimeDisplay(Frame4, "txtLength1", TwipsRect(1200, 1080, 735, 165));
    // Each caption stays clear of the time it names.
    for (auto [caption, value] : {std::pair{Label11, txtTLeft1}, std::pair{Label12, txtTUsed1},
                                  std::pair{Label13, txtLength1}}) {
        ShrinkToFit(caption, value->x() - caption->x() - 3);
    }
}

void frmTembrel::BuildTransportArea() {
    cmdPlay1 = MakePictureButton(this, "cmdPlay1", TwipsRect(3960, 5580, 735, 615), PlayPicture());
    tabOrder_.emplace_back(33, cmdPlay1);
    cmdPause1 =
        MakePictureButton(this, "cmdPause1", TwipsRect(4800, 5580, 735, 615), PausePicture());
    tabOrder_.emplace_back(34, cmdPause1);
    cmdPrev1 = MakePictureButton(this, "cmdPrev1", TwipsRect(5640, 5580, 735, 615), PrevPicture());
    tabOrder_.emplace_back(38, cmdPrev1);
    cmdCue1 = MakePictureButton(this, "cmdCue1", TwipsRect(6480, 5580, 735, 615), CuePicture(),
                                QStringLiteral("Set Cue Point"));
    tabOrder_.emplace_back(36, cmdCue1);
    cmdNext1 = MakePictureButton(this, "cmdNext1", TwipsRect(7320, 5580, 735, 615), NextPicture());
    tabOrder_.emplace_back(37, cmdNext1);
    cmdStop1 = MakePictureButton(this, "cmdStop1", TwipsRect(8160, 5580, 735, 615), StopPicture());
    tabOrder_.emplace_back(32, cmdStop1);

    Command2 = MakeButton(this, "Command2", TwipsRect(5925, 5235, 300, 285), QStringLiteral("<"),
                          QStringLiteral("Adjust Cue Time down"));
    tabOrder_.emplace_back(47, Command2);
    txtCue = new QLineEdit(QStringLiteral("00:00:00"), this);
    txtCue->setObjectName(QStringLiteral("txtCue"));
    txtCue->setGeometry(TwipsRect(6210, 5220, 1260, 330));
    txtCue->setAlignment(Qt::AlignCenter);
    txtCue->setFont(FixedFont(9));
    SetColours(txtCue, kBlack, kGreen);
    tabOrder_.emplace_back(35, txtCue);
    Command3 = MakeButton(this, "Command3", TwipsRect(7455, 5250, 300, 285), QStringLiteral(">"),
                          QStringLiteral("Adjust Cue Time up"));
    tabOrder_.emplace_back(48, Command3);
}

void frmTembrel::BuildHiddenArea() {
    Frame2 = MakeFrame(this, "Frame2", TwipsRect(12780, 120, 975, 1935), QStringLiteral("Speed"));
    S1 = MakeScrollBar(Frame2, "S1", Qt::Vertical, TwipsRect(120, 240, 255, 1575));
    S1->SetRange(200, 10, 3, 60);
    S1->SetValue(100);
    tabOrder_.emplace_back(22, S1);
    Label2 = MakeLabel(Frame2, "Label2", TwipsRect(480, 240, 165, 300), QStringLiteral("+"));
    Label2->setFont(SansFont(12, true));
    Label2->adjustSize();
    Label4 = MakeLabel(Frame2, "Label4", TwipsRect(540, 1560, 105, 300), QStringLiteral("-"));
    Label4->setFont(SansFont(12, true));
    Label4->adjustSize();
    cmdReset1 = MakeButton(Frame2, "cmdReset1", TwipsRect(480, 915, 255, 255), QStringLiteral("<"));
    tabOrder_.emplace_back(30, cmdReset1);

    Frame3 =
        MakeFrame(this, "Frame3", TwipsRect(11700, 2160, 2055, 795), QStringLiteral("Balance"));
    B1 = MakeScrollBar(Frame3, "B1", Qt::Horizontal, TwipsRect(120, 240, 1815, 255));
    B1->SetRange(-5000, 5000, 10, 100);
    B1->SetValue(0);
    tabOrder_.emplace_back(19, B1);
    Label1 = MakeLabel(Frame3, "Label1", TwipsRect(120, 540, 1785, 195),
                       QStringLiteral("L") + QString(35, QLatin1Char(' ')) + QStringLiteral("R"));
    cmdBReset1 =
        MakeButton(Frame3, "cmdBReset1", TwipsRect(840, 540, 375, 195), QStringLiteral("/\\"));
    tabOrder_.emplace_back(31, cmdBReset1);

    picAni = new PictureBox(this);
    picAni->setObjectName(QStringLiteral("picAni"));
    picAni->setGeometry(TwipsRect(12180, 3795, 1200, 300));
    picAni->SetPicture(RepeatStrip());
    picAni->setFocusPolicy(Qt::TabFocus);
    tabOrder_.emplace_back(44, picAni);

    lblRepeat = MakeLabel(this, "lblRepeat", TwipsRect(12555, 3255, 375, 360),
                          QString(QChar(0x21BB)), false);
    QFont symbol = SansFont(18, true);
    lblRepeat->setFont(symbol);
    lblRepeat->setPalette([&] {
        QPalette palette = lblRepeat->palette();
        palette.setColor(QPalette::WindowText, kDarkRed);
        return palette;
    }());
    lblRepeat->setVisible(false);
}

void frmTembrel::BuildMenuAndTimers() {
    mnuPop = new QMenu(QStringLiteral("PopUp"), this);
    mnuPop->setObjectName(QStringLiteral("mnuPop"));
    mnuRemCue = mnuPop->addAction(QStringLiteral("Remove Cue Point"));
    mnuRemCue->setObjectName(QStringLiteral("mnuRemCue"));
    mnuEdit = mnuPop->addAction(QStringLiteral("Edit Title"));
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    mnuNix = mnuPop->addSeparator();
    mnuNix->setObjectName(QStringLiteral("mnuNix"));
    mnuRepeat = mnuPop->addAction(QStringLiteral("Repeat"));
    mnuRepeat->setObjectName(QStringLiteral("mnuRepeat"));
    mnuRepeat->setCheckable(true);
    mnuRepeat->setChecked(false);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(10);
    Timer1->setTimerType(Qt::PreciseTimer);
    tmrRepeat = new QTimer(this);
    tmrRepeat->setObjectName(QStringLiteral("tmrRepeat"));
    tmrRepeat->setInterval(200);
}

void frmTembrel::ApplyTabOrder() {
    std::sort(tabOrder_.begin(), tabOrder_.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 1; i < tabOrder_.size(); ++i) {
        QWidget::setTabOrder(tabOrder_[i - 1].second, tabOrder_[i].second);
    }
}
