#include "cues/cue_sheet.h"

#include "app/text_codec.h"
#include "cues/cue_line.h"
#include "lyrics/lyrics_naming.h"
#include "playback/time_text.h"

#include <algorithm>
#include <limits>

namespace {

constexpr int kFramesPerSecond = 75;
const QByteArray kByteOrderMark = "\xEF\xBB\xBF";

// Splits text into lines that keep their line ends.
QStringList SplitKeepingEnds(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
                ++i;
            }
            lines << text.mid(start, i + 1 - start);
            start = i + 1;
        }
    }
    if (start < text.size()) {
        lines << text.mid(start);
    }
    return lines;
}

QString Content(const QString& line) {
    return StripTrailingLineBreaks(line);
}

QString EndOf(const QString& line) {
    return line.mid(Content(line).size());
}

QString IndentOf(const QString& line) {
    qsizetype i = 0;
    while (i < line.size() && (line[i] == u' ' || line[i] == u'\t')) {
        ++i;
    }
    return line.left(i);
}

// A line's command (upper case) and the rest after it, trimmed.
std::pair<QString, QString> Command(const QString& line) {
    const QString content = Content(line).trimmed();
    qsizetype blank = 0;
    while (blank < content.size() && !content[blank].isSpace()) {
        ++blank;
    }
    return {content.left(blank).toUpper(), content.mid(blank).trimmed()};
}

// A quoted argument without its quotes (up to the line's last quote), or
// the bare argument.
QString Unquoted(const QString& argument) {
    if (!argument.startsWith(u'"')) {
        return argument;
    }
    const qsizetype close = argument.lastIndexOf(u'"');
    return close > 0 ? argument.mid(1, close - 1) : argument.mid(1);
}

// The frames of "mm:ss:ff", nullopt when it is no such time.
std::optional<qint64> FramesOf(const QString& time) {
    const QStringList parts = time.split(u':');
    if (parts.size() != 3 || parts[0].size() > 8) {
        return std::nullopt;
    }
    qint64 values[3];
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        values[i] = parts[i].toLongLong(&ok);
        if (!ok || parts[i].isEmpty() ||
            !std::all_of(parts[i].begin(), parts[i].end(), [](QChar c) { return c.isDigit(); })) {
            return std::nullopt;
        }
    }
    if (values[1] >= 60 || values[2] >= kFramesPerSecond) {
        return std::nullopt;
    }
    return (values[0] * 60 + values[1]) * kFramesPerSecond + values[2];
}

QString TimeOfFrames(qint64 frames) {
    const qint64 seconds = frames / kFramesPerSecond;
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'))
        .arg(frames % kFramesPerSecond, 2, 10, QLatin1Char('0'));
}

// The INDEX line's number and frames, nullopt when it cannot be read.
std::optional<std::pair<int, qint64>> IndexOf(const QString& argument) {
    const QStringList words = argument.simplified().split(u' ');
    bool ok = false;
    const int number = words.value(0).toInt(&ok);
    const std::optional<qint64> frames = FramesOf(words.value(1));
    if (!ok || words.size() != 2 || !frames) {
        return std::nullopt;
    }
    return std::pair{number, *frames};
}

QString TitleLine(const QString& indent, const QString& title, const QString& end) {
    QString clean = title;
    return indent + QStringLiteral("TITLE \"") + clean.replace(u'"', u'\'') + u'"' + end;
}

QString IndexLine(const QString& indent, qint32 seconds, const QString& end) {
    return indent + QStringLiteral("INDEX 01 ") + TimeOfFrames(qint64(seconds) * kFramesPerSecond) +
           end;
}

// The line end new lines take: that of the sheet's first ended line.
QString NewLineEnd(const QStringList& lines) {
    for (const QString& line : lines) {
        if (!EndOf(line).isEmpty()) {
            return EndOf(line);
        }
    }
    return QStringLiteral("\r\n");
}

// Gives a block of a track's lines a new start and title.
void EditTrack(QStringList& block, const CueRecord& was, const CueRecord& now, const QString& end) {
    if (now.seconds != was.seconds) {
        const qint64 frames = qint64(now.seconds) * kFramesPerSecond;
        for (qsizetype i = block.size() - 1; i > 0; --i) {
            const auto [command, argument] = Command(block[i]);
            const auto index = command == u"INDEX" ? IndexOf(argument) : std::nullopt;
            if (index && index->first == 1) {
                block[i] = IndexLine(IndentOf(block[i]), now.seconds, EndOf(block[i]));
            } else if (index && index->first == 0 && index->second > frames) {
                block.removeAt(i);  // a pregap may not start after its track
            }
        }
    }
    const QString title = CueTitleOf(now.text);
    if (title == CueTitleOf(was.text)) {
        return;
    }
    for (QString& line : block) {
        if (Command(line).first == u"TITLE") {
            line = TitleLine(IndentOf(line), title, EndOf(line));
            return;
        }
    }
    const QString indent = block.size() > 1 ? IndentOf(block[1]) : IndentOf(block[0]) + "  ";
    block.insert(1, TitleLine(indent, title, end));
}

}  // namespace

bool LooksLikeCueSheet(const QString& text) {
    static const QStringList commands = {"REM",       "FILE",       "TRACK",     "INDEX", "TITLE",
                                         "PERFORMER", "SONGWRITER", "FLAGS",     "ISRC",  "PREGAP",
                                         "POSTGAP",   "CATALOG",    "CDTEXTFILE"};
    for (const QString& line : SplitKeepingEnds(text)) {
        if (!Content(line).trimmed().isEmpty()) {
            return commands.contains(Command(line).first);
        }
    }
    return false;
}

std::optional<CueSheet> ParseCueSheet(const QByteArray& bytes, QString* error) {
    CueSheet sheet;
    const QString text = DecodeText(bytes);
    sheet.byteOrderMark = bytes.startsWith(kByteOrderMark);
    sheet.utf8 = text.toUtf8() == bytes.mid(sheet.byteOrderMark ? kByteOrderMark.size() : 0);
    sheet.lines = SplitKeepingEnds(text);
    const auto fail = [&](qsizetype line, const char* what) -> std::optional<CueSheet> {
        if (error != nullptr) {
            *error = QStringLiteral("line %1 of the CUE sheet: %2").arg(line + 1).arg(what);
        }
        return std::nullopt;
    };
    QString title;
    std::optional<qint64> start;
    const auto endTrack = [&]() {
        if (!sheet.tracks.isEmpty()) {
            const qint64 seconds = *start / kFramesPerSecond;
            sheet.tracks.last().listed = {qint32(seconds),
                                          CueLine(TimeText(double(seconds)), CleanCueTitle(title))};
        }
    };
    for (qsizetype i = 0; i < sheet.lines.size(); ++i) {
        const auto [command, argument] = Command(sheet.lines[i]);
        if (command == u"FILE") {
            ++sheet.files;
        } else if (command == u"TRACK") {
            if (!sheet.tracks.isEmpty() && !start) {
                return fail(sheet.tracks.last().firstLine, "a track without INDEX 01");
            }
            endTrack();
            sheet.tracks.append(CueSheet::Track{i, {}});
            title.clear();
            start.reset();
        } else if (command == u"TITLE" && !sheet.tracks.isEmpty()) {
            title = Unquoted(argument);
        } else if (command == u"INDEX") {
            const auto index = IndexOf(argument);
            if (!index || sheet.tracks.isEmpty()) {
                return fail(i, "an INDEX that cannot be read");
            }
            if (index->first == 1 && !start) {
                if (index->second / kFramesPerSecond > std::numeric_limits<qint32>::max()) {
                    return fail(i, "an INDEX beyond the longest recording");
                }
                start = index->second;
            }
        }
    }
    if (!sheet.tracks.isEmpty() && !start) {
        return fail(sheet.tracks.last().firstLine, "a track without INDEX 01");
    }
    endTrack();
    return sheet;
}

QList<CueRecord> ListedCues(const CueSheet& sheet) {
    QList<CueRecord> cues;
    for (const CueSheet::Track& track : sheet.tracks) {
        cues.append(track.listed);
    }
    return cues;
}

CueSheet UpdateCueSheet(CueSheet sheet, const QList<CueRecord>& cues) {
    const QList<CueRecord> was = ListedCues(sheet);
    const qsizetype shorter = std::min(was.size(), cues.size());
    qsizetype same = 0;
    while (same < shorter && was[same] == cues[same]) {
        ++same;
    }
    qsizetype sameAtEnd = 0;
    while (sameAtEnd < shorter - same &&
           was[was.size() - 1 - sameAtEnd] == cues[cues.size() - 1 - sameAtEnd]) {
        ++sameAtEnd;
    }
    // The lines before the first track, then each track's block of lines.
    const QString end = NewLineEnd(sheet.lines);
    const qsizetype headSize =
        sheet.tracks.isEmpty() ? sheet.lines.size() : sheet.tracks.first().firstLine;
    QStringList head = sheet.lines.mid(0, headSize);
    QList<QStringList> blocks;
    for (qsizetype t = 0; t < sheet.tracks.size(); ++t) {
        const qsizetype last =
            t + 1 < sheet.tracks.size() ? sheet.tracks[t + 1].firstLine : sheet.lines.size();
        blocks.append(sheet.lines.mid(sheet.tracks[t].firstLine, last - sheet.tracks[t].firstLine));
    }
    // Blank lines at the end stay at the end.
    QStringList tail;
    QStringList& lastBlock = blocks.isEmpty() ? head : blocks.last();
    while (!lastBlock.isEmpty() && Content(lastBlock.last()).trimmed().isEmpty()) {
        tail.prepend(lastBlock.takeLast());
    }

    const qsizetype wasMiddle = was.size() - sameAtEnd - same;
    const qsizetype nowMiddle = cues.size() - sameAtEnd - same;
    for (qsizetype k = 0; k < std::min(wasMiddle, nowMiddle); ++k) {
        EditTrack(blocks[same + k], was[same + k], cues[same + k], end);
    }
    if (wasMiddle > nowMiddle) {
        blocks.remove(same + nowMiddle, wasMiddle - nowMiddle);
    }
    // New tracks take the next numbers and the indents of the last track.
    qint64 number = 0;
    QString trackIndent = QStringLiteral("  ");
    QString innerIndent = QStringLiteral("    ");
    for (const QStringList& block : blocks) {
        const qint64 own = Command(block[0]).second.section(u' ', 0, 0).toLongLong();
        number = std::max(number, std::min<qint64>(own, 1'000'000));
        trackIndent = IndentOf(block[0]);
        innerIndent = block.size() > 1 ? IndentOf(block[1]) : trackIndent + "  ";
    }
    for (qsizetype k = wasMiddle; k < nowMiddle; ++k) {
        const CueRecord& cue = cues[same + k];
        QStringList& before = same + k == 0 ? head : blocks[same + k - 1];
        if (!before.isEmpty() && EndOf(before.last()).isEmpty()) {
            before.last() += end;  // the sheet's last line had no line end
        }
        QStringList block = {
            trackIndent + QStringLiteral("TRACK %1 AUDIO").arg(++number, 2, 10, QLatin1Char('0')) +
            end};
        if (!CueTitleOf(cue.text).isEmpty()) {
            block << TitleLine(innerIndent, CueTitleOf(cue.text), end);
        }
        block << IndexLine(innerIndent, cue.seconds, end);
        blocks.insert(same + k, block);
    }

    sheet.lines = head;
    sheet.tracks.clear();
    for (qsizetype t = 0; t < blocks.size(); ++t) {
        sheet.tracks.append(CueSheet::Track{sheet.lines.size(), cues[t]});
        sheet.lines += blocks[t];
    }
    sheet.lines += tail;
    return sheet;
}

QByteArray FormatCueSheet(const CueSheet& sheet) {
    const QString text = sheet.lines.join(QString());
    if (!sheet.utf8) {
        return EncodeText(text);
    }
    return (sheet.byteOrderMark ? kByteOrderMark : QByteArray()) + text.toUtf8();
}
