#include "hardening/save_file_versions.h"

#include "app/settings_store.h"
#include "app/text_codec.h"
#include "cues/cue_file.h"
#include "lyrics/lyrics_naming.h"
#include "playback/time_text.h"

namespace {

// How many cue points, lyrics lines and filler characters a version has.
int SizeOf(int version) {
    return version % 13 + 1;
}

}  // namespace

QByteArray CueFileVersion(int version) {
    QList<CueRecord> cues;
    for (int i = 0; i < SizeOf(version); ++i) {
        const qint32 seconds = version + 7 * i;
        cues.append({seconds, TimeText(seconds) + QStringLiteral(" - Grüße %1").arg(version)});
    }
    return EncodeText(FormatCueFile(cues));
}

QString LyricsVersion(int version) {
    QString text;
    for (int i = 0; i < SizeOf(version); ++i) {
        text += QStringLiteral("Zeile %1 von Fassung %2 ♪\n").arg(i).arg(version);
    }
    return text;
}

QList<QPair<QString, QString>> SettingsVersion(int version) {
    return {{QStringLiteral("Pfad"), QStringLiteral("/musik/%1/").arg(version)},
            {QStringLiteral("Fassung"), QString(SizeOf(version), u'x') + QString::number(version)}};
}

std::optional<int> CueFileVersionOf(const QByteArray& bytes) {
    const std::optional<QList<CueRecord>> cues = ParseCueFile(DecodeText(bytes));
    if (!cues || cues->isEmpty()) {
        return std::nullopt;
    }
    const int version = cues->first().seconds;
    if (version < 0 || CueFileVersion(version) != bytes) {
        return std::nullopt;
    }
    return version;
}

std::optional<int> LyricsVersionOf(const QByteArray& bytes) {
    const QString shown = LyricsTextFromFile(DecodeText(bytes));
    const qsizetype from = shown.indexOf(QStringLiteral("Fassung "));
    if (from < 0) {
        return std::nullopt;
    }
    bool ok = false;
    const int version = shown.mid(from + 8, shown.indexOf(u' ', from + 8) - from - 8).toInt(&ok);
    if (!ok || EncodeText(LyricsFileText(LyricsVersion(version))) != bytes) {
        return std::nullopt;
    }
    return version;
}

std::optional<int> SettingsVersionOf(const QByteArray& bytes) {
    const QString text = DecodeText(bytes);
    const QString section = QString::fromLatin1(kVersionSection);
    if (IniLookup(text, QStringLiteral("Other"), QStringLiteral("Name")) !=
            QStringLiteral("Wert") ||
        !text.startsWith(QString::fromLatin1(kForeignSettings))) {
        return std::nullopt;
    }
    const std::optional<QString> path = IniLookup(text, section, QStringLiteral("Pfad"));
    if (!path) {
        return std::nullopt;
    }
    bool ok = false;
    const int version = path->section(u'/', 2, 2).toInt(&ok);
    if (!ok) {
        return std::nullopt;
    }
    for (const auto& [key, value] : SettingsVersion(version)) {
        if (IniLookup(text, section, key) != value) {
            return std::nullopt;
        }
    }
    return version;
}
