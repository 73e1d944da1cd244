// Saves a cue file, a lyrics file and the settings in a loop, each through the
// functions the program saves them with, until it is killed. After each save
// it reports "<file> <version>" on standard output; "ready" comes first.
// Usage: save_loop <cue file> <lyrics file> <settings file> <first version>
#include "app/safe_save.h"
#include "hardening/save_file_versions.h"

#include <unistd.h>

#include <string>

namespace {

// Writes one line to standard output at once, without buffering.
bool Report(const std::string& line) {
    const std::string text = line + "\n";
    return ::write(STDOUT_FILENO, text.data(), text.size()) == static_cast<ssize_t>(text.size());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5 || !Report("ready")) {
        return 2;
    }
    const QString cueFile = QString::fromLocal8Bit(argv[1]);
    const QString lyricsFile = QString::fromLocal8Bit(argv[2]);
    const QString settingsFile = QString::fromLocal8Bit(argv[3]);
    for (int version = std::stoi(argv[4]);; ++version) {
        const std::string number = std::to_string(version);
        if (!WriteFileAtomically(cueFile, CueFileVersion(version)) || !Report("cue " + number) ||
            !WriteFileAtomically(lyricsFile, LyricsFileVersion(version)) ||
            !Report("lyrics " + number) ||
            !WriteSettings(QString::fromLatin1(kVersionSection), SettingsVersion(version),
                           settingsFile) ||
            !Report("settings " + number)) {
            return 1;
        }
    }
}
