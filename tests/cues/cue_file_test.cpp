#include "cues/cue_file.h"
#include "app/text_codec.h"
#include "cues/cue_line.h"

#include <gtest/gtest.h>

TEST(CueFile, WriterFramesEveryRecordAndEndsWithAnEmptyLine) {
    EXPECT_EQ(FormatCueFile({{0, StartPointLine()}, {83, CueLine("00:01:23", "Intro")}, {-5, "x"}}),
              "[0]00:00:00 - Start Point\r\n[83]00:01:23 - Intro\r\n[-5]x\r\n\r\n");
    EXPECT_EQ(FormatCueFile({}), "\r\n");
}

// Files from older systems (Windows-1252) and from editors that end lines in
// LF or CR read as one record per line; a line without seconds fails the file.
TEST(CueFile, ReaderTakesEveryLineOrNone) {
    using Cues = QList<CueRecord>;
    const std::pair<QByteArray, Cues> rows[] = {
        {"[1]a\n[2]b [c]\n[3]d\n\n", {{1, "a"}, {2, "b [c]"}, {3, "d"}}},
        {"\r\n[1]a\r\r\n\n[2]]b\r[3]", {{1, "a"}, {2, "]b"}, {3, ""}}},
        {"[4]00:00:04 - Gr\xfc\xdf\x65\r\n", {{4, "00:00:04 - Grüße"}}},
        {"[12", {{12, "[12"}}},
        {"#40]x\r\n[ -7 ]y", {{40, "x"}, {-7, "y"}}},
        {"[2147483647]x\n[-2147483648]y", {{2147483647, "x"}, {-2147483647 - 1, "y"}}},
        {"\r\n\n", {}}};
    for (const auto& [bytes, cues] : rows) {
        EXPECT_EQ(ParseCueFile(DecodeText(bytes)), cues) << bytes.toStdString();
    }
    for (const char* text : {"[0]ok\r\n[]00:00:10 - x\r\n", "[1]ok\r\nx\r\n", "[2147483648]x",
                             "[-2147483649]x", "[1.5]x", "[--1]x"}) {
        EXPECT_EQ(ParseCueFile(text), std::nullopt) << text;
    }
}

// Titles may hold brackets and any character; what the writer writes, in
// either encoding, reads back exactly.
TEST(CueFile, GoldenRoundTrips) {
    const QList<CueRecord> cues = {{0, StartPointLine()},
                                   {61, CueLine("00:01:01", "[Bridge] 2nd time")},
                                   {75, CueLine("00:01:15", "Solo [g]")},
                                   {90, CueLine("00:01:30", "Grüße € ]]")},
                                   {95, CueLine("00:01:35", "Наш припев ♪")}};
    for (const QList<CueRecord>& list : {cues.first(4), cues}) {
        EXPECT_EQ(ParseCueFile(DecodeText(EncodeText(FormatCueFile(list)))), list);
    }
}

TEST(CueLine, TitlesNeverSplitARecord) {
    EXPECT_EQ(CleanCueTitle("Vers\r\n2\rx\ny\tz\u2028w\u2029"), "Vers 2 x y z w ");
    EXPECT_EQ(CleanCueTitle(QStringLiteral("a\u0000b\u0007c\u007f\u0085d ü")), "abcd ü");
}
