#include "support/player_fixture.h"
#include "ui/frm_tembrel.h"
#include "ui/list_box.h"
#include "ui/title_box.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QPushButton>
#include <QTest>

#include <QDir>
#include <QFile>

namespace {

using CueSaving = PlayerTest;

const QString kWriteError = QStringLiteral("Fehler beim Schreiben der Cue-Datei. ");

QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

}  // namespace

TEST_F(CueSaving, WritesTheListExactly) {
    AddRecording(QStringLiteral("a.mp3"), 600);
    Open(QStringLiteral("a.mp3"));
    window_->lstCue->AddItem(QStringLiteral("00:01:01 - Grüße"));
    window_->lstCue->SetItemData(window_->lstCue->NewIndex(), 61);
    window_->SaveCueFile();
    EXPECT_EQ(Bytes(PathOf(QStringLiteral("a.cue"))),
              QByteArray("[0]00:00:00 - Start Point\r\n[61]00:01:01 - Gr\xfc\xdf\x65\r\n\r\n"));

    window_->lstCue->AddItem(QStringLiteral("00:02:00 - Припев"));
    window_->lstCue->SetItemData(window_->lstCue->NewIndex(), 120);
    window_->SaveCueFile();
    EXPECT_EQ(Bytes(PathOf(QStringLiteral("a.cue"))),
              QStringLiteral("[0]00:00:00 - Start Point\r\n[61]00:01:01 - Grüße\r\n"
                             "[120]00:02:00 - Припев\r\n\r\n")
                  .toUtf8());
    EXPECT_TRUE(messages_.texts().isEmpty());

    // Reading it back gives the same list.
    Open(QStringLiteral("a.mp3"));
    EXPECT_EQ(Cues().size(), 3);
    EXPECT_EQ(Cues().at(2), std::make_pair(120, QStringLiteral("00:02:00 - Припев")));
}

TEST_F(CueSaving, NothingIsWrittenBeforeAnOpenOrAfterAFailedOne) {
    window_->SaveCueFile();
    EXPECT_EQ(messages_.texts(), QStringList{kWriteError});

    const QByteArray damaged =
        "[0]00:00:00 - Start Point\r\n[]00:00:10 - x\r\n[20]00:00:20 - y\r\n";
    AddRecording(QStringLiteral("a.mp3"), 600, &damaged);
    Open(QStringLiteral("a.mp3"));
    window_->lstCue->AddItem(QStringLiteral("00:00:30 - neu"));
    window_->SaveCueFile();
    EXPECT_EQ(messages_.texts(), QStringList({kWriteError, kWriteError}));
    EXPECT_EQ(Bytes(PathOf(QStringLiteral("a.cue"))), damaged);
}

TEST_F(CueSaving, AFailedWriteReportsAndLeavesNoFile) {
    AddRecording(QStringLiteral("a.mp3"), 600);
    Open(QStringLiteral("a.mp3"));
    ASSERT_TRUE(QDir(music_.path()).removeRecursively());
    window_->SaveCueFile();
    EXPECT_EQ(messages_.texts(), QStringList{kWriteError});
    EXPECT_FALSE(QFile::exists(PathOf(QStringLiteral("a.cue"))));
    EXPECT_EQ(Cues().size(), 1);  // the list keeps the edit
}

// Titles come into the box typed, pasted or dropped; their line breaks and
// control characters never reach the cue file, and the next start reads it.
TEST_F(CueSaving, PastedTitlesKeepOneRecordPerLine) {
    AddRecording(QStringLiteral("a.mp3"), 600);
    Open(QStringLiteral("a.mp3"));
    TitleBox* box = window_->txtCueTitle;
    box->clear();
    QApplication::clipboard()->setText(QStringLiteral("Vers\r\n2\tneu\u0007"));
    box->paste();
    QTest::keyClick(box, Qt::Key_Return);
    const QString longTitle(40000, QLatin1Char('x'));
    QApplication::clipboard()->setText(longTitle + QStringLiteral("\nEnde"));
    box->selectAll();
    box->paste();
    window_->cmdCue1->click();
    const QByteArray expected =
        "[0]00:00:00 - Vers 2 neu\r\n[0]00:00:00 - " + longTitle.toLatin1() + " Ende\r\n\r\n";
    EXPECT_EQ(Bytes(PathOf(QStringLiteral("a.cue"))), expected);

    window_.reset();
    window_ = program_.Start({}, FakeEngineFactory(control_));
    Open(QStringLiteral("a.mp3"));
    ASSERT_EQ(Cues().size(), 2);
    EXPECT_EQ(Cues().at(1).second, QStringLiteral("00:00:00 - ") + longTitle + " Ende");
    EXPECT_TRUE(messages_.texts().isEmpty());
}
