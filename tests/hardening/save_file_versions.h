#pragma once

#include "app/settings_store.h"
#include "app/text_codec.h"
#include "cues/cue_file.h"
#include "lyrics/lyrics_naming.h"

// Numbered versions of the three files the program saves (cue file, lyrics
// file, settings), shared by the save loop and the test that kills it. Every
// version differs from its neighbours in content and length.

inline constexpr const char* kVersionSection = "Kestrin's Tembrel";
// Lines of the settings file that belong to others and must survive saves.
inline constexpr const char* kForeignSettings = "; kept\n[Other]\nName=Wert\n";

// The bytes of the cue file of a version.
inline QByteArray CueFileVersion(int version) {
    QList<CueRecord> cues;
    for (int i = 0; i <= version % 13; ++i) {
        cues.append({version + 7 * i, QStringLiteral("Grüße %1").arg(version)});
    }
    return EncodeText(FormatCueFile(cues));
}

// The bytes of the lyrics file of a version.
inline QByteArray LyricsFileVersion(int version) {
    const QString line = QStringLiteral("Zeile von Fassung %1 ♪\n").arg(version);
    return EncodeText(LyricsFileText(line.repeated(version % 13 + 1)));
}

// The settings values of a version, as the save loop writes them.
inline QList<QPair<QString, QString>> SettingsVersion(int version) {
    return {{QStringLiteral("Pfad"), QStringLiteral("/musik/%1/").arg(version)},
            {QStringLiteral("Fassung"), QString(version % 13 + 1, u'x')}};
}

// The bytes of the settings file once a version is written over kForeignSettings.
inline QByteArray SettingsFileVersion(int version) {
    QString text = QString::fromLatin1(kForeignSettings);
    for (const auto& [key, value] : SettingsVersion(version)) {
        text = IniWithValue(text, QString::fromLatin1(kVersionSection), key, value);
    }
    return text.toUtf8();
}
