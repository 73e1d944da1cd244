// The demo rehearsal the build writes for a first run, opened by the program
// on the real engine.
#include "cues/cue_line.h"
#include "demo_rehearsal.h"

#include "app/path_helpers.h"
#include "app/text_codec.h"
#include "engine/gst_engine.h"
#include "lyrics/lyrics_naming.h"
#include "support/message_watcher.h"
#include "support/program_fixture.h"
#include "support/test_audio.h"
#include "ui/frm_lyrics.h"
#include "ui/frm_tembrel.h"
#include "ui/list_box.h"
#include "ui/scroll_bar.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// True when some line holds only chord names and the line below it words.
bool HasChordsAboveWords(const QString& text) {
    static const QRegularExpression chords(QStringLiteral("^ *([A-G][#b]?m? *)+$"));
    static const QRegularExpression words(QStringLiteral("[a-z]{3}"));
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        if (chords.match(lines[i]).hasMatch() && words.match(lines[i + 1]).hasMatch()) {
            return true;
        }
    }
    return false;
}

class Demo : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new QTemporaryDir;
        written_ = WriteDemo(folder_->path() + QStringLiteral("/demo"));
    }
    static void TearDownTestSuite() { delete folder_; }

    static QString PathOf(const QString& name) {
        return folder_->path() + QStringLiteral("/demo/") + name;
    }

    static inline QTemporaryDir* folder_ = nullptr;
    static inline bool written_ = false;
};

}  // namespace

TEST_F(Demo, CueFileReadsBackToTheIntendedCuePoints) {
    ASSERT_TRUE(written_);
    const std::optional<QByteArray> bytes = ReadFileBytes(PathOf(QStringLiteral("Rehearsal.cue")));
    ASSERT_TRUE(bytes);
    const std::optional<QList<CueRecord>> cues = ParseCueFile(DecodeText(*bytes));
    ASSERT_TRUE(cues);
    EXPECT_EQ(*cues, DemoCues());

    // A start point and four or five named cue points, in playing order,
    // each far enough from the next to be heard as a section.
    ASSERT_GE(cues->size(), 5);
    ASSERT_LE(cues->size(), 6);
    EXPECT_EQ(cues->front().text, StartPointLine());
    for (qsizetype i = 1; i < cues->size(); ++i) {
        EXPECT_GE((*cues)[i].seconds - (*cues)[i - 1].seconds, 8) << i;
    }
    EXPECT_LE(cues->back().seconds, kDemoSeconds - 8);
}

TEST_F(Demo, LyricsBelongToTheStartPointAndSomeCuePoints) {
    ASSERT_TRUE(written_);
    QStringList titles = {LyricsBaseName(QString::fromLatin1(kDemoRecording))};
    for (const CueRecord& cue : DemoCues().mid(1)) {
        titles << CueTitleOf(cue.text);
    }
    int withLyrics = 0;
    for (const DemoLyrics& lyrics : DemoLyricsTexts()) {
        EXPECT_TRUE(titles.contains(lyrics.title)) << lyrics.title.toStdString();
        const std::optional<QByteArray> bytes = ReadFileBytes(PathOf(lyrics.title + ".txt"));
        ASSERT_TRUE(bytes) << lyrics.title.toStdString();
        EXPECT_TRUE(bytes->endsWith("\r\n") && !bytes->endsWith("\r\n\r\n"));
        EXPECT_EQ(LyricsTextFromFile(DecodeText(*bytes)), lyrics.text);
        EXPECT_TRUE(HasChordsAboveWords(lyrics.text)) << lyrics.title.toStdString();
        ++withLyrics;
    }
    EXPECT_GE(withLyrics, 3);
    EXPECT_LT(withLyrics, titles.size());
}

TEST_F(Demo, OpensFromTheCommandLineWithItsCuePointsAndLyrics) {
    ASSERT_TRUE(written_);
    ASSERT_TRUE(InitGstreamer());
    ProgramFolder program;
    MessageWatcher messages;
    auto window = program.Start({PathOf(QString::fromLatin1(kDemoRecording))},
                                [] { return CreateGstEngine(MakeClockSink()); });
    ASSERT_NE(window->media, nullptr);
    EXPECT_EQ(window->H1->Max(), kDemoSeconds);
    EXPECT_EQ(window->txtLength1->text(), QStringLiteral("00:02:00"));

    const QList<CueRecord> cues = DemoCues();
    ASSERT_EQ(window->lstCue->ListCount(), cues.size());
    for (int i = 0; i < cues.size(); ++i) {
        EXPECT_EQ(window->lstCue->List(i), cues[i].text);
        EXPECT_EQ(window->lstCue->ItemData(i), cues[i].seconds);
    }

    // Choosing a cue point shows its lyrics, or hides the window without any.
    for (int i = 0; i < cues.size(); ++i) {
        const QString title =
            i == 0 ? LyricsBaseName(QString::fromLatin1(kDemoRecording)) : CueTitleOf(cues[i].text);
        QString expected;
        for (const DemoLyrics& lyrics : DemoLyricsTexts()) {
            if (lyrics.title == title) {
                expected = lyrics.text;
            }
        }
        window->lstCue->SetListIndex(i);
        window->lstCue_DblClick();
        frmLyrics* lyrics = window->Lyrics();
        EXPECT_EQ(lyrics->isVisible(), !expected.isEmpty()) << i;
        EXPECT_EQ(lyrics->txtLyrics->toPlainText(), expected) << i;
        EXPECT_EQ(window->H1->Value(), cues[i].seconds);
    }
    EXPECT_TRUE(messages.texts().isEmpty());
    window->close();
}
