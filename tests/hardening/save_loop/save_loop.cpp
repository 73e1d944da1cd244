// Saves a cue file, a lyrics file and the settings in a loop, each through the
// functions the program saves them with, until it is killed. After each save
// it reports "<file> <version>" on standard output; "ready" comes first.
// Usage: save_loop <cue file> <lyrics file> <settings file> <first version>
#include "app/safe_save.h"
#include "app/settings_store.h"
#include "app/text_codec.h"
#include "hardening/save_file_versions.h"
#include "lyrics/lyrics_naming.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Writes one line to standard output at once, without buffering.
void Report(const std::string& line) {
    const std::string text = line + "\n";
    if (::write(STDOUT_FILENO, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
        std::exit(2);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: save_loop CUE LYRICS SETTINGS FIRST\n");
        return 2;
    }
    const QString cueFile = QString::fromLocal8Bit(argv[1]);
    const QString lyricsFile = QString::fromLocal8Bit(argv[2]);
    const QString settingsFile = QString::fromLocal8Bit(argv[3]);
    Report("ready");
    for (int version = std::atoi(argv[4]);; ++version) {
        const std::string number = std::to_string(version);
        if (!WriteFileAtomically(cueFile, CueFileVersion(version))) {
            return 1;
        }
        Report("cue " + number);
        if (!WriteFileAtomically(lyricsFile, EncodeText(LyricsFileText(LyricsVersion(version))))) {
            return 1;
        }
        Report("lyrics " + number);
        if (!WriteSettings(QString::fromLatin1(kVersionSection), SettingsVersion(version),
                           settingsFile)) {
            return 1;
        }
        Report("settings " + number);
    }
}
