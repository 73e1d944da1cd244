#include "cues/cue_file.h"

#include <limits>

namespace {

// The whole number of a record's seconds text, or nullopt.
std::optional<qint32> ParseSeconds(QStringView text) {
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok);
    if (!ok || value < std::numeric_limits<qint32>::min() ||
        value > std::numeric_limits<qint32>::max()) {
        return std::nullopt;
    }
    return static_cast<qint32>(value);
}

// Splits text into lines ending at CR LF, a CR alone or a LF alone (files
// edited on Linux end their lines in LF).
QList<QStringView> SplitCueLines(const QString& text) {
    QList<QStringView> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            lines << QStringView(text).mid(start, i - start);
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
                ++i;
            }
            start = i + 1;
        }
    }
    if (start < text.size()) {
        lines << QStringView(text).mid(start);
    }
    return lines;
}

// Where the "]" closing a record's seconds lies, -1 when there is none.
qsizetype ClosingBracket(QStringView line) {
    const qsizetype bracket = line.mid(1).indexOf(u']');
    return bracket < 0 ? -1 : bracket + 1;
}

}  // namespace

QString ExtractCue(const QString& line) {
    const qsizetype bracket = ClosingBracket(line);
    return bracket < 0 ? line : line.mid(bracket + 1);
}

std::optional<QList<CueRecord>> ParseCueFile(const QString& text, QString* error) {
    QList<CueRecord> cues;
    int number = 0;
    for (QStringView line : SplitCueLines(text)) {
        ++number;
        if (line.isEmpty()) {
            continue;
        }
        const qsizetype bracket = ClosingBracket(line);
        const QStringView secondsText = bracket < 0 ? line.mid(1) : line.mid(1, bracket - 1);
        const std::optional<qint32> seconds = ParseSeconds(secondsText);
        if (!seconds) {
            if (error != nullptr) {
                *error = QStringLiteral("line %1 of the cue file has no seconds").arg(number);
            }
            return std::nullopt;
        }
        cues.append({*seconds, (bracket < 0 ? line : line.mid(bracket + 1)).toString()});
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
