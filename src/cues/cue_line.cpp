#include "cues/cue_line.h"

QString CueLine(const QString& timeText, const QString& title) {
    return timeText + QStringLiteral(" - ") + title;
}

QString StartPointLine() {
    return CueLine(QStringLiteral("00:00:00"), QString::fromLatin1(kStartPointTitle));
}

QString CueTitleOf(const QString& line) {
    return line.size() > kCueTitleStart ? line.mid(kCueTitleStart) : QString();
}

QString CueTimeTextOf(const QString& line) {
    return line.left(kCueTimeLength);
}

bool IsAtStart(const QString& line) {
    return line.startsWith(QLatin1String("00:00:00"));
}

QString CleanCueTitle(const QString& title) {
    QString clean;
    clean.reserve(title.size());
    for (qsizetype i = 0; i < title.size(); ++i) {
        const QChar c = title[i];
        if (c == u'\r' && i + 1 < title.size() && title[i + 1] == u'\n') {
            continue;  // CR LF is one line break
        }
        if (c == u'\r' || c == u'\n' || c == u'\t' || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator) {
            clean += u' ';
        } else if (c.category() != QChar::Other_Control) {
            clean += c;
        }
    }
    return clean;
}
