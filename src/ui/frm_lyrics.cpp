#include "ui/frm_lyrics.h"

#include "ui/frm_tembrel.h"
#include "ui/layout_helpers.h"
#include "ui/pictures.h"

#include <QMenuBar>
#include <QPlainTextEdit>

frmLyrics::frmLyrics(frmTembrel* mainWindow) : QMainWindow(nullptr), main_(mainWindow) {
    setObjectName(QStringLiteral("frmLyrics"));
    setWindowTitle(QStringLiteral("Lyrics and Chords"));
    setWindowIcon(LyricsWindowIcon());
    setFont(SansFont(8.25, false));

    mnuClose = menuBar()->addAction(QStringLiteral("schließen"));
    mnuClose->setObjectName(QStringLiteral("mnuClose"));
    mnuSave = menuBar()->addAction(QStringLiteral("speichern"));
    mnuSave->setObjectName(QStringLiteral("mnuSave"));

    // The text box fills the client area below the menu bar at every size.
    txtLyrics = new QPlainTextEdit(this);
    txtLyrics->setObjectName(QStringLiteral("txtLyrics"));
    txtLyrics->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtLyrics->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtLyrics->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtLyrics->setFont(FixedFont(9));
    SetColours(txtLyrics, ColourFromBgr(0x00FFFFFF), ColourFromBgr(0x00000000));
    setCentralWidget(txtLyrics);

    const QRect client = TwipsRect(9735, 2385, 5880, 7245);
    resize(client.width(), client.height() + menuBar()->sizeHint().height());
    move(client.topLeft());

    connect(mnuClose, &QAction::triggered, this, &frmLyrics::mnuClose_Click);
    Form_Load();
}
