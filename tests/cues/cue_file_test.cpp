#include "cues/cue_file.h"
#include "app/text_codec.h"
#include "cues/cue_line.h"

#include <gtest/gtest.h>

TEST(CueFile, WriterFramesEveryRecordAndEndsWithAnEmptyLine) {
    EXPECT_EQ(FormatCueFile({{0, StartPointLine()}, {83, CueLine("00:01:23", "Intro")}, {-5, "x"}})
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
        {"#40]00:00:40 - y", 40, "00:00:40 - y"},
        {"[ -7 ]00:00:00 - vor", -7, "00:00:00 - vor"},
        {"[2147483647]x", 2147483647, "x"},
        {"[-2147483648]x", -2147483647 - 1, "x"},
        {"]9]x", 9, "x"},
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

// Every list our writer writes reads back exactly, in either encoding and
// with titles holding brackets; files with LF or CR line ends read as one
// record per line.
TEST(CueFile, GoldenRoundTrips) {
    const QList<CueRecord> cues = {{0, StartPointLine()},
                                   {61, CueLine("00:01:01", "[Bridge] 2nd time")},
                                   {75, CueLine("00:01:15", "Solo [g]")},
                                   {90, CueLine("00:01:30", "Grüße € ]]")},
                                   {95, CueLine("00:01:35", "Наш припев ♪")}};
    const QByteArray bytes = EncodeText(FormatCueFile(cues));
    EXPECT_EQ(ParseCueFile(DecodeText(bytes)), cues);

    const QList<CueRecord> three = {{1, "a"}, {2, "b [c]"}, {3, "d"}};
    for (const char* text : {"[1]a\n[2]b [c]\n[3]d\n\n", "\r\n[1]a\r\r\n\n[2]b [c]\r[3]d"}) {
        EXPECT_EQ(ParseCueFile(QString::fromUtf8(text)), three) << text;
    }
    // A file made on an older system in Windows-1252 reads as such.
    const auto legacy =
        ParseCueFile(DecodeText(QByteArray("[4]00:00:04 - Gr\xfc\xdf\x65\r\n\r\n")));
    ASSERT_TRUE(legacy.has_value());
    EXPECT_EQ(legacy->value(0).text, QStringLiteral("00:00:04 - Grüße"));
    EXPECT_EQ(ParseCueFile(QStringLiteral("\r\n\n")), QList<CueRecord>());
}

TEST(CueLine, TitlesNeverSplitARecord) {
    EXPECT_EQ(CleanCueTitle(QStringLiteral("Vers\r\n2\rx\ny\tz\u2028w")),
              QStringLiteral("Vers 2 x y z w"));
    EXPECT_EQ(CleanCueTitle(QStringLiteral("a\u0000b\u0007c\u007f\u0085d ü")),
              QStringLiteral("abcd ü"));
    EXPECT_EQ(CueTitleOf(QStringLiteral("00:01:23 - ")), QString());
    EXPECT_EQ(CueTitleOf(QStringLiteral("00:01:23 - [x]")), QStringLiteral("[x]"));
}
