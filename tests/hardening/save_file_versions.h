#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Numbered versions of the three files the program saves (cue file, lyrics
// file, settings), shared by the save loop and the test that kills it. Every
// version differs from its neighbours in content and length.

inline constexpr const char* kVersionSection = "Kestrin's Tembrel";

// The bytes of a cue file of the given version.
QByteArray CueFileVersion(int version);
// The text of a lyrics file of the given version, as the lyrics window shows it.
QString LyricsVersion(int version);
// The settings values of the given version: written with WriteSettings.
QList<QPair<QString, QString>> SettingsVersion(int version);

// The version a cue file's bytes hold, or nullopt when they are no version.
std::optional<int> CueFileVersionOf(const QByteArray& bytes);
// The version a lyrics file's bytes hold, or nullopt.
std::optional<int> LyricsVersionOf(const QByteArray& bytes);
// The version a settings file's bytes hold, or nullopt; the lines that are no
// setting of ours must be there unchanged.
std::optional<int> SettingsVersionOf(const QByteArray& bytes);

// Lines of the settings file that belong to others and must survive saves.
inline constexpr const char* kForeignSettings = "; kept\n[Other]\nName=Wert\n";
