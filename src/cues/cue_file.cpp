#include "cues/cue_file.h"

#include <limits>

namespace {

// The whole number of a record's seconds text, or nullopt.
std::optional<qint32> ParseSeconds(const QString& text) {
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok);
    if (!ok || value < std::numeric_limits<qint32>::min() ||
        value > std::numeric_limits<qint32>::max()) {
        return std::nullopt;
    }
    return static_cast<qint32>(value);
}

// Splits text into lines ending at CR LF or a CR alone; a LF on its own is an
// ordinary character.
QStringList SplitCueLines(const QString& text) {
    QStringList lines;
    QString line;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r') {
            lines << line;
            line.clear();
            if (i + 1 < text.size() && text[i + 1] == u'\n') {
                ++i;
            }
        } else {
            line += text[i];
        }
    }
    if (!line.isEmpty()) {
        lines << line;
    }
    return lines;
}

}  // namespace

QString ExtractCue(const QString& line) {
    const qsizetype bracket = line.lastIndexOf(u']');
    return bracket < 0 ? line : line.mid(bracket + 1);
}

std::optional<QList<CueRecord>> ParseCueFile(const QString& text) {
    QList<CueRecord> cues;
    for (const QString& line : SplitCueLines(text)) {
        if (line.isEmpty()) {
            continue;
        }
        const QString rest = line.mid(1);
        const qsizetype bracket = rest.indexOf(u']');
        const std::optional<qint32> seconds = ParseSeconds(bracket < 0 ? rest : rest.left(bracket));
        if (!seconds) {
            return std::nullopt;
        }
        cues.append({*seconds, ExtractCue(line)});
    }
    return cues;
}

QString FormatCueFile(const QList<CueRecord>& cues) {
    QString text;
    for (const CueRecord& cue : cues) {
        text += QLatin1Char('[') + QString::number(cue.seconds) + QLatin1Char(']') + cue.text +
                QStringLiteral("\r\n");
    }
    return text + QStringLiteral("\r\n");
}

QString CueTitleOf(const QString& line) {
    return line.size() > 11 ? line.mid(11) : QString();
}
