#include "cues/cue_file.h"
#include "app/text_codec.h"

#include <gtest/gtest.h>

TEST(CueFile, WriterFramesEveryRecordAndEndsWithAnEmptyLine) {
    EXPECT_EQ(FormatCueFile({{0, QStringLiteral("00:00:00 - Start Point")},
                             {83, QStringLiteral("00:01:23 - Intro")},
                             {-5, QStringLiteral("x")}})
                  .toLatin1(),
              QByteArray("[0]00:00:00 - Start Point\r\n[83]00:01:23 - Intro\r\n[-5]x\r\n\r\n"));
    EXPECT_EQ(FormatCueFile({}).toLatin1(), QByteArray("\r\n"));
}

TEST(CueFile, ReaderTakesOddLinesAsTheyCome) {
    struct Case {
        const char* line;
        qint32 seconds;
        const char* text;
    };
    const Case cases[] = {
        {"[12", 12, "[12"},
        {"[5]00:00:05 - a]b", 5, "b"},
        {"#40]00:00:40 - y", 40, "00:00:40 - y"},
        {"[ -7 ]00:00:00 - vor", -7, "00:00:00 - vor"},
        {"[2147483647]x", 2147483647, "x"},
        {"[-2147483648]x", -2147483647 - 1, "x"},
        {"[3]00:00:03 - eins\nzwei", 3, "00:00:03 - eins\nzwei"},
    };
    for (const Case& c : cases) {
        const auto cues = ParseCueFile(QString::fromUtf8(c.line));
        ASSERT_TRUE(cues.has_value()) << c.line;
        ASSERT_EQ(cues->size(), 1) << c.line;
        EXPECT_EQ(cues->first().seconds, c.seconds) << c.line;
        EXPECT_EQ(cues->first().text, QString::fromUtf8(c.text)) << c.line;
    }
}

TEST(CueFile, OneBadLineFailsTheWholeFile) {
    for (const char* text : {"[0]ok\r\n[]00:00:10 - x\r\n", "[1]ok\r\nx\r\n", "[2147483648]x",
                             "[1.5]x", "[zwei]x", "[--1]x"}) {
        EXPECT_FALSE(ParseCueFile(QString::fromUtf8(text)).has_value()) << text;
    }
}

TEST(CueFile, LineEndsAndEmptyLines) {
    const auto cues = ParseCueFile(QStringLiteral("\r\n[1]a\r\r\n\r\n[2]b\r[3]c\r\n[3]c"));
    ASSERT_TRUE(cues.has_value());
    const QList<CueRecord> expected = {{1, QStringLiteral("a")},
                                       {2, QStringLiteral("b")},
                                       {3, QStringLiteral("c")},
                                       {3, QStringLiteral("c")}};
    EXPECT_EQ(*cues, expected);
    EXPECT_EQ(ParseCueFile(QString()), QList<CueRecord>());
    EXPECT_EQ(ParseCueFile(QStringLiteral("\r\n\r\n")), QList<CueRecord>());
}

TEST(CueFile, TitlesSurviveWritingAndReadingInEitherEncoding) {
    const QList<QList<CueRecord>> lists = {
        {{0, QStringLiteral("00:00:00 - Start Point")}, {61, QStringLiteral("00:01:01 - Grüße €")}},
        {{7, QStringLiteral("00:00:07 - Наш припев ♪")}, {9, QStringLiteral("00:00:09 - Ärger")}},
    };
    for (const QList<CueRecord>& cues : lists) {
        const QByteArray bytes = EncodeText(FormatCueFile(cues));
        EXPECT_EQ(ParseCueFile(DecodeText(bytes)), cues);
    }
    // A file made on an older system in Windows-1252 reads as such.
    const auto legacy =
        ParseCueFile(DecodeText(QByteArray("[4]00:00:04 - Gr\xfc\xdf\x65\r\n\r\n")));
    ASSERT_TRUE(legacy.has_value());
    EXPECT_EQ(legacy->value(0).text, QStringLiteral("00:00:04 - Grüße"));
}

TEST(CueFile, TitleIsTheLineAfterItsTimeText) {
    EXPECT_EQ(CueTitleOf(QStringLiteral("00:01:23 - Intro")), QStringLiteral("Intro"));
    EXPECT_EQ(CueTitleOf(QStringLiteral("00:01:23 - ")), QString());
    EXPECT_EQ(CueTitleOf(QStringLiteral("[12")), QString());
    EXPECT_EQ(ExtractCue(QStringLiteral("no bracket")), QStringLiteral("no bracket"));
}
