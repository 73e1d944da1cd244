// The demo rehearsal's cue points and lyrics, and writing the whole demo.
#include "demo_rehearsal.h"
#include "demo_sections.h"

#include "app/path_helpers.h"
#include "app/safe_save.h"
#include "app/text_codec.h"
#include "cues/cue_line.h"
#include "lyrics/lyrics_naming.h"
#include "playback/time_text.h"

#include <QDir>

QList<CueRecord> DemoCues() {
    QList<CueRecord> cues = {{0, StartPointLine()}};
    for (const DemoSection& section : kDemoSections) {
        if (section.title != nullptr) {
            const int seconds = static_cast<int>(section.firstBar * kDemoSecondsPerBar);
            cues.append({seconds, CueLine(TimeText(seconds), QString::fromUtf8(section.title))});
        }
    }
    return cues;
}

QList<DemoLyrics> DemoLyricsTexts() {
    return {
        {LyricsBaseName(QString::fromLatin1(kDemoRecording)),
         QStringLiteral(
             "Demo rehearsal - key of C, 120 beats a minute, one bar of clicks to count in\n"
             "\n"
             "Intro, hummed:\n"
             "C                      C\n"
             "Mm, here we go again,  one, two, three, four.\n"
             "\n"
             "Verse    | C    | G    | Am   | F    |\n"
             "Chorus   | F    | G    | C    | Am   |\n"
             "Bridge   | Am   | Em   | F    | G    |  no click\n"
             "Outro    | C    | F    | C    | G    |  fade out\n"
             "\n"
             "Double-click a cue point to play from it; the popup menu of the\n"
             "cue list turns repeat on and loops the cue point being played.")},
        {QStringLiteral("Verse 1"), QStringLiteral("C                   G\n"
                                                   "Lanterns on the harbour wall,\n"
                                                   "Am                  F\n"
                                                   "someone's humming down the hall,\n"
                                                   "C                   G\n"
                                                   "tuning strings and counting four,\n"
                                                   "Am                  F\n"
                                                   "one more time from the top once more.")},
        {QStringLiteral("Chorus"), QStringLiteral("F            G\n"
                                                  "Play it back, play it slow,\n"
                                                  "C                 Am\n"
                                                  "mark the place where the changes go,\n"
                                                  "F            G\n"
                                                  "loop the bar till the hands all know,\n"
                                                  "C            Am\n"
                                                  "then let it go.")},
        {QStringLiteral("Bridge"), QStringLiteral("Am              Em\n"
                                                  "Hold the chord and let it ring,\n"
                                                  "F               G\n"
                                                  "no click now, just breathe and sing.")},
    };
}

bool WriteDemo(const QString& folder) {
    if (!QDir().mkpath(folder)) {
        return false;
    }
    QString base = folder;
    AddBackslash(base);
    const QString recording = base + QString::fromLatin1(kDemoRecording);
    if (!WriteFileAtomically(recording, DemoRecordingBytes())) {
        return false;
    }
    // The cue file lies beside the recording, its last three characters
    // replaced by "cue".
    const QString cueFile = recording.left(recording.size() - 3) + QStringLiteral("cue");
    if (!WriteFileAtomically(cueFile, EncodeText(FormatCueFile(DemoCues())))) {
        return false;
    }
    for (const DemoLyrics& lyrics : DemoLyricsTexts()) {
        const std::optional<QString> file = LyricsFileFor(base, lyrics.title);
        if (!file || !WriteFileAtomically(*file, EncodeText(LyricsFileText(lyrics.text)))) {
            return false;
        }
    }
    return true;
}
