#include "ui/frm_lyrics.h"

#include "ui/layout_helpers.h"
#include "ui/pictures.h"

#include <QMenuBar>
#include <QPlainTextEdit>

frmLyrics::frmLyrics(QWidget* dockTo) : QMainWindow(nullptr), dockTo_(dockTo) {
    setObjectName(QStringLiteral("frmLyrics"));
    setWindowTitle(QStringLiteral("Lyrics and Chords"));
    setWindowIcon(LyricsWindowIcon());
    setFont(SansFont(8.25, false));

    mnuClose = menuBar()->addAction(QStringLiteral("schließen"));
    mnuClose->setObjectName(QStringLiteral("mnuClose"));
    mnuSave = menuBar()->addAction(QStringLiteral("speichern"));
    mnuSave->setObjectName(QStringLiteral("mnuSave"));

    auto* client = new QWidget(this);
    setCentralWidget(client);
    txtLyrics = new QPlainTextEdit(client);
    txtLyrics->setObjectName(QStringLiteral("txtLyrics"));
    txtLyrics->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtLyrics->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtLyrics->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtLyrics->setFont(FixedFont(9));
    txtLyrics->setTabChangesFocus(false);
    SetColours(txtLyrics, ColourFromBgr(0x00FFFFFF), ColourFromBgr(0x00000000));

    const QRect design = TwipsRect(9735, 2385, 5880, 7245);
    resize(design.width(), design.height() + menuBar()->sizeHint().height());
    move(design.topLeft());

    connect(mnuClose, &QAction::triggered, this, &frmLyrics::CloseClicked);
    connect(mnuSave, &QAction::triggered, this, &frmLyrics::SaveClicked);
    Form_Load();
}

void frmLyrics::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}
