#include "app/settings_store.h"

#include <QFileInfo>

#include <cmath>
#include <limits>

#include "app/path_helpers.h"
#include "app/safe_save.h"
#include "app/text_codec.h"

namespace {

constexpr qsizetype kMaxValueLength = 2047;
constexpr char kUtf8Bom[] = "\xef\xbb\xbf";

// One line of the file: its content and its line ending ("\n", "\r\n" or none
// for a last line without one), as positions in the whole text.
struct Line {
    qsizetype start = 0;
    qsizetype length = 0;
    qsizetype endingLength = 0;
};

enum class LineKind { kOther, kSection, kKey };

// What a line means: a section header with its name, a key line with its name
// and value, or anything else (blank, comment, stray text).
struct LineMeaning {
    LineKind kind = LineKind::kOther;
    QStringView name;
    QStringView value;
};

QList<Line> SplitLines(const QString& text) {
    QList<Line> lines;
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype newline = text.indexOf(u'\n', start);
        Line line{start, 0, 0};
        if (newline < 0) {
            line.length = text.size() - start;
        } else {
            const bool crlf = newline > start && text[newline - 1] == u'\r';
            line.length = newline - start - (crlf ? 1 : 0);
            line.endingLength = crlf ? 2 : 1;
        }
        lines.append(line);
        start += line.length + line.endingLength;
    }
    return lines;
}

LineMeaning MeaningOf(QStringView content) {
    const QStringView trimmed = content.trimmed();
    if (trimmed.startsWith(u'[')) {
        const qsizetype close = trimmed.indexOf(u']');
        const QStringView name = close < 0 ? trimmed.mid(1) : trimmed.mid(1, close - 1);
        return {LineKind::kSection, name.trimmed(), {}};
    }
    if (trimmed.startsWith(u';') || trimmed.startsWith(u'#')) {
        return {};
    }
    const qsizetype equals = trimmed.indexOf(u'=');
    if (equals <= 0) {
        return {};
    }
    return {LineKind::kKey, trimmed.left(equals).trimmed(), trimmed.mid(equals + 1).trimmed()};
}

bool SameName(QStringView a, QStringView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Where a section and one of its keys lie in the text.
struct Location {
    qsizetype section = -1;    // index of the header line, -1 when missing
    qsizetype key = -1;        // index of the key line, -1 when missing
    qsizetype lastEntry = -1;  // last header or key line of the section
};

Location Find(const QString& text, const QList<Line>& lines, QStringView section, QStringView key) {
    Location found;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const LineMeaning meaning =
            MeaningOf(QStringView(text).mid(lines[i].start, lines[i].length));
        if (meaning.kind == LineKind::kSection) {
            if (found.section >= 0) {
                break;
            }
            if (SameName(meaning.name, section)) {
                found.section = found.lastEntry = i;
            }
        } else if (meaning.kind == LineKind::kKey && found.section >= 0) {
            found.lastEntry = i;
            if (found.key < 0 && SameName(meaning.name, key)) {
                found.key = i;
            }
        }
    }
    return found;
}

// The line ending new lines get: the file's first one, "\n" for a new file.
QString LineEndingOf(const QString& text, const QList<Line>& lines) {
    for (const Line& line : lines) {
        if (line.endingLength > 0) {
            return text.mid(line.start + line.length, line.endingLength);
        }
    }
    return QStringLiteral("\n");
}

bool HasLineBreak(const QString& text) {
    return text.contains(u'\n') || text.contains(u'\r');
}

}  // namespace

std::optional<QString> IniLookup(const QString& text, const QString& section, const QString& key) {
    const QList<Line> lines = SplitLines(text);
    const Location found =
        Find(text, lines, QStringView(section).trimmed(), QStringView(key).trimmed());
    if (found.key < 0) {
        return std::nullopt;
    }
    const Line& line = lines[found.key];
    return MeaningOf(QStringView(text).mid(line.start, line.length)).value.toString();
}

bool IsStorableSetting(const QString& section, const QString& key, const QString& value) {
    const QString sectionName = section.trimmed();
    const QString keyName = key.trimmed();
    return !sectionName.isEmpty() && !keyName.isEmpty() && !HasLineBreak(section) &&
           !HasLineBreak(key) && !HasLineBreak(value) && !sectionName.contains(u']') &&
           !keyName.contains(u'=') && !keyName.startsWith(u'[') && !keyName.startsWith(u';') &&
           !keyName.startsWith(u'#');
}

QString IniWithValue(const QString& text, const QString& section, const QString& key,
                     const QString& value) {
    if (!IsStorableSetting(section, key, value)) {
        return text;
    }
    const QString sectionName = section.trimmed();
    const QString entry = key.trimmed() + u'=' + value;
    const QList<Line> lines = SplitLines(text);
    const Location found = Find(text, lines, sectionName, key.trimmed());
    const QString ending = LineEndingOf(text, lines);
    QString result = text;

    if (found.key >= 0) {
        const Line& line = lines[found.key];
        return result.replace(line.start, line.length, entry);
    }
    if (found.section >= 0) {
        const Line& after = lines[found.lastEntry];
        const qsizetype end = after.start + after.length;
        if (after.endingLength == 0) {
            return result.insert(end, ending + entry);
        }
        return result.insert(end + after.endingLength, entry + ending);
    }
    if (!result.isEmpty() && !lines.isEmpty() && lines.last().endingLength == 0) {
        result += ending;
    }
    return result + u'[' + sectionName + u']' + ending + entry + ending;
}

QString ReadSetting(const QString& section, const QString& key, const QString& file,
                    const QString& defaultValue) {
    const std::optional<QByteArray> bytes = ReadFileBytes(file);
    if (!bytes) {
        return defaultValue;
    }
    std::optional<QString> value = IniLookup(DecodeText(*bytes), section, key);
    if (!value || value->isEmpty()) {
        return defaultValue;
    }
    qsizetype length = std::min(value->size(), kMaxValueLength);
    // Never keep half of a character outside the basic plane.
    if (length < value->size() && value->at(length - 1).isHighSurrogate()) {
        --length;
    }
    return value->left(length);
}

bool WriteSetting(const QString& section, const QString& key, const QString& value,
                  const QString& file) {
    return WriteSettings(section, {{key, value}}, file);
}

bool WriteSettings(const QString& section, const QList<QPair<QString, QString>>& values,
                   const QString& file, QString* error) {
    QByteArray old;
    if (QFileInfo::exists(file)) {
        std::optional<QByteArray> bytes = ReadFileBytes(file);
        if (!bytes) {
            if (error != nullptr) {
                *error = QStringLiteral("cannot read ") + file;
            }
            return false;
        }
        old = *bytes;
    }
    const bool hasBom = old.startsWith(kUtf8Bom);
    QString text = DecodeText(old);
    // A file from an older system stays in its code page when it can, so its
    // other lines keep their bytes.
    const bool legacy = old.size() > 0 && text.toUtf8() != (hasBom ? old.mid(3) : old);
    // A value that cannot be stored is skipped; the others are still written.
    QStringList skipped;
    for (const auto& [key, value] : values) {
        if (!IsStorableSetting(section, key, value)) {
            skipped << key;
        }
        text = IniWithValue(text, section, key, value);
    }
    const QByteArray bytes = legacy ? EncodeText(text) : (hasBom ? kUtf8Bom : "") + text.toUtf8();
    if (!WriteFileAtomically(file, bytes, error)) {
        return false;
    }
    if (!skipped.isEmpty() && error != nullptr) {
        *error = QStringLiteral("cannot store ") + skipped.join(QStringLiteral(", "));
    }
    return skipped.isEmpty();
}

double SettingNumber(const QString& text) {
    qsizetype end = 0;
    if (end < text.size() && text[end] == u'-') {
        ++end;
    }
    const qsizetype digitsStart = end;
    while (end < text.size() && text[end].isDigit() && text[end].unicode() < 128) {
        ++end;
    }
    bool hasDigits = end > digitsStart;
    if (end + 1 < text.size() && text[end] == u'.' && text[end + 1].unicode() < 128 &&
        text[end + 1].isDigit()) {
        end += 2;
        while (end < text.size() && text[end].isDigit() && text[end].unicode() < 128) {
            ++end;
        }
        hasDigits = true;
    }
    if (!hasDigits) {
        return 0;
    }
    const double number = text.left(end).toDouble();
    if (!std::isfinite(number)) {
        return std::copysign(std::numeric_limits<double>::max(), number);
    }
    return number;
}
