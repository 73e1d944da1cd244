// Recordings of every format the browser lists, named with extensions of any
// length.
#include "lyrics/lyrics_naming.h"
#include "support/program_test.h"

namespace {

using RecordingNames = ProgramTest;

TEST_F(RecordingNames, EveryFormatIsListedAndKeepsItsCuesBesideIt) {
    QStringList audio = {"a.MP3",  "b.wav", "Take 3.flac", "d.Ogg", "e.oga",
                         "f.opus", "g.M4A", "h.mp4",       "i.aac"};
    for (const QString& name : audio + QStringList{"notes.txt", "j.flac.bak", "kflac"}) {
        AddRecording(name, 40);
    }
    QStringList listed = Lines(window_->lstPath);
    listed.removeAll(QStringLiteral("[..]"));
    listed.sort(Qt::CaseInsensitive);
    audio.sort(Qt::CaseInsensitive);
    EXPECT_EQ(listed, audio);
    // Its cue file is found beside it under its name without the extension.
    for (const QString& name : QStringList{"Take 3.flac", "f.opus", "a.MP3"}) {
        OpenWithCues(name, 40, kFourCues);
        EXPECT_EQ(Cues().size(), 4) << name.toStdString();
    }
    const std::pair<const char*, const char*> lyrics[] = {{"/m/Take 3.flac", "Take 3"},
                                                          {"/m/Song.mp3", "Song"},
                                                          {"/m.d/x.opus", "x"},
                                                          {"/m.d/y", "y"}};
    for (const auto& [recording, base] : lyrics) {
        EXPECT_EQ(LyricsBaseName(recording), base);
    }
}

}  // namespace
