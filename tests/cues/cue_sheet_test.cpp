#include "cues/cue_sheet.h"
#include "app/text_codec.h"

#include <gtest/gtest.h>

namespace {

using Cues = QList<CueRecord>;

const QString kSheet =
    "REM GENRE Rock\r\nPERFORMER \"Die Möwen\"\r\nTITLE \"Live im Saal\"\r\n"
    "FILE \"Konzert.wav\" WAVE\r\n"
    "  TRACK 01 AUDIO\r\n    TITLE \"Intro\"\r\n    INDEX 01 00:00:00\r\n"
    "  TRACK 02 AUDIO\r\n    TITLE \"Lied \"zwei\"\"\r\n    FLAGS DCP\r\n"
    "    INDEX 00 01:20:50\r\n    INDEX 01 01:23:37\r\n"
    "  TRACK 03 AUDIO\r\n    INDEX 01 03:05:74\r\n";
const Cues kListed = {
    {0, "00:00:00 - Intro"}, {83, "00:01:23 - Lied \"zwei\""}, {185, "00:03:05 - "}};

// The list after one edit, and the text that replaces a part of the sheet.
struct Edit {
    Cues cues;
    QString was, now;
};

}  // namespace

// Each edit rewrites only its own track's lines; the others, REM, FILE and
// PERFORMER lines, the line ends and the encoding stay byte for byte.
TEST(CueSheet, EditsChangeOnlyTheirOwnTrack) {
    const Edit edits[] = {
        {{kListed[0], {83, "00:01:23 - Zugabe"}, kListed[2]}, "\"Lied \"zwei\"\"", "\"Zugabe\""},
        {{kListed[0], {84, "00:01:24 - Lied \"zwei\""}, kListed[2]}, "01 01:23:37", "01 01:24:00"},
        {{kListed[0], {80, "00:01:20 - Lied \"zwei\""}, kListed[2]},
         "    INDEX 00 01:20:50\r\n    INDEX 01 01:23:37",
         "    INDEX 01 01:20:00"},
        {{kListed[0], kListed[1], {185, "00:03:05 - Schluss"}},
         "03 AUDIO\r\n",
         "03 AUDIO\r\n    TITLE \"Schluss\"\r\n"},
        {{kListed[0], kListed[2]},
         "  TRACK 02 AUDIO\r\n    TITLE \"Lied \"zwei\"\"\r\n    FLAGS DCP\r\n"
         "    INDEX 00 01:20:50\r\n    INDEX 01 01:23:37\r\n",
         ""},
        {kListed + Cues{{4000, "01:06:40 - Neu"}}, "03:05:74\r\n",
         "03:05:74\r\n  TRACK 04 AUDIO\r\n    TITLE \"Neu\"\r\n    INDEX 01 66:40:00\r\n"},
    };
    for (const bool crlf : {true, false}) {
        const auto lines = [crlf](QString text) {
            return crlf ? text : text.replace("\r\n", "\n");
        };
        // Windows-1252 with CR LF, UTF-8 with a byte-order mark and LF.
        const auto bytes = [crlf](const QString& text) {
            return crlf ? EncodeText(text) : "\xEF\xBB\xBF" + text.toUtf8();
        };
        const std::optional<CueSheet> sheet = ParseCueSheet(bytes(lines(kSheet)));
        ASSERT_TRUE(sheet);
        EXPECT_EQ(ListedCues(*sheet), kListed);
        EXPECT_EQ(FormatCueSheet(UpdateCueSheet(*sheet, kListed)), bytes(lines(kSheet)));
        for (const Edit& edit : edits) {
            ASSERT_TRUE(kSheet.contains(edit.was)) << edit.was.toStdString();
            EXPECT_EQ(FormatCueSheet(UpdateCueSheet(*sheet, edit.cues)),
                      bytes(lines(QString(kSheet).replace(edit.was, edit.now))));
        }
    }
}

TEST(CueSheet, TellsSheetsFromOurFilesAndRefusesDamagedOnes) {
    for (const char* text :
         {"REM x\r\n", "\n\n  file \"a.wav\" WAVE", "TITLE x", "TRACK 01 AUDIO"}) {
        EXPECT_TRUE(LooksLikeCueSheet(text)) << text;
    }
    for (const char* text : {"[0]00:00:00 - Start Point\r\n", "", "Remix", "[1]REM"}) {
        EXPECT_FALSE(LooksLikeCueSheet(text)) << text;
    }
    for (const char* text :
         {"FILE a WAVE\nTRACK 01 AUDIO\nTITLE x\n",
          "FILE a WAVE\nTRACK 01 AUDIO\nINDEX 01 00:60:00", "TRACK 01 AUDIO\nINDEX 01 00:00:75",
          "TRACK 01 AUDIO\nINDEX 01 0:0", "INDEX 01 00:00:00",
          "TRACK 1 AUDIO\nINDEX 00 00:00:00\nTRACK 2 AUDIO\nINDEX 01 00:00:00"}) {
        EXPECT_EQ(ParseCueSheet(text), std::nullopt) << text;
    }
    const CueSheet two =
        ParseCueSheet(
            "FILE a WAVE\nTRACK 1 AUDIO\nINDEX 01 00:00:00\nFILE b WAVE\nTRACK 2 AUDIO\n"
            "TITLE bare\nINDEX 01 00:00:00\nINDEX 01 00:09:00")
            .value();
    EXPECT_EQ(two.files, 2);
    EXPECT_EQ(ListedCues(two), (Cues{{0, "00:00:00 - "}, {0, "00:00:00 - bare"}}));
}
