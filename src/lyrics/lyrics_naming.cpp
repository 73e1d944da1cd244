#include "lyrics/lyrics_naming.h"

#include "app/path_helpers.h"

namespace {

// Longest file name, in bytes, that common Linux file systems accept.
constexpr qsizetype kMaxFileNameBytes = 255;

}  // namespace

QString StripTrailingLineBreaks(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && (text[end - 1] == u'\r' || text[end - 1] == u'\n')) {
        --end;
    }
    return text.left(end);
}

QByteArray StripTrailingLineBreaks(const QByteArray& bytes) {
    qsizetype end = bytes.size();
    while (end > 0 && (bytes[end - 1] == '\r' || bytes[end - 1] == '\n')) {
        --end;
    }
    return bytes.left(end);
}

QString LyricsBaseName(const QString& recording) {
    return LastPartOf(WithoutExtension(recording));
}

std::optional<QString> LyricsFileFor(const QString& folder, const QString& title) {
    const QString name = title + QStringLiteral(".txt");
    if (title.contains(u'/') || title.contains(QChar(0)) || title == QLatin1String(".") ||
        title == QLatin1String("..") || name.toUtf8().size() > kMaxFileNameBytes) {
        return std::nullopt;
    }
    return folder + name;
}

QString LyricsTextFromFile(const QString& fileText) {
    QString text = StripTrailingLineBreaks(fileText);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

QString LyricsFileText(const QString& shownText) {
    QString text = shownText;
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text + QStringLiteral("\r\n");
}
