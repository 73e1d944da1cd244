#pragma once

#include <QList>
#include <QPair>
#include <QString>

#include <optional>

// The settings file: an initialisation file of "[section]" header lines and
// "key=value" lines. Section and key names match regardless of letter case;
// names and values are read without surrounding blanks. Lines starting with
// ";" or "#" are comments. Only the first section of a name and the first key
// of a name within it count. A write keeps every other line, comment, blank
// line and line ending of the file exactly as it was.

// The value of key in section, or nullopt when the section or key is missing.
// An empty value is returned as an empty text.
std::optional<QString> IniLookup(const QString& text, const QString& section, const QString& key);

// True when section, key and value can be stored so that a later lookup finds
// them: names not empty, no line breaks, no "]" in a section name, no "=" in a
// key name, a key name not starting with "[", ";" or "#".
bool IsStorableSetting(const QString& section, const QString& key, const QString& value);

// The text with key set to value in section. An existing key line is replaced
// in place; a new key goes after the last key of its section; a new section
// goes at the end of the text. Text that cannot be stored (see
// IsStorableSetting) leaves the text unchanged.
QString IniWithValue(const QString& text, const QString& section, const QString& key,
                     const QString& value);

// The value of key in section of the settings file, cut to its first 2047
// characters. A missing file, section or key, an empty value or a file that
// cannot be read gives defaultValue. Never fails and never blocks.
QString ReadSetting(const QString& section, const QString& key, const QString& file,
                    const QString& defaultValue = QString());

// Stores one value; see WriteSettings.
bool WriteSetting(const QString& section, const QString& key, const QString& value,
                  const QString& file);

// Stores all values in one read, change and atomic replacement of the file,
// creating it when missing. A value that cannot be stored (see
// IsStorableSetting) is skipped and the others are written. False when a
// value was skipped or nothing was written: the file exists but cannot be
// read as a file, or the replacement failed (read-only or missing folder);
// the old file is then left whole. *error, when given, says why.
bool WriteSettings(const QString& section, const QList<QPair<QString, QString>>& values,
                   const QString& file, QString* error = nullptr);

// The leading decimal number of a setting (optional minus, digits, optional
// point and digits; ".5" counts too), 0 when the text does not begin with one.
// Always finite; callers range-check before converting to an integer.
double SettingNumber(const QString& text);
