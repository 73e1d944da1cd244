#include "cues/cue_marks.h"

#include "cues/cue_line.h"
#include "playback/time_text.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

bool IsCuePosition(double seconds) {
    return std::isfinite(seconds) && seconds >= 0 && seconds < std::numeric_limits<qint32>::max();
}

}  // namespace

QList<CueRecord> StartPointAndMarks(Marks marks) {
    std::stable_sort(marks.begin(), marks.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    QList<CueRecord> cues = {{0, StartPointLine()}};
    for (const auto& [seconds, title] : marks) {
        if (IsCuePosition(seconds) && seconds >= 1) {
            const auto whole = qint32(seconds);
            cues.append({whole, CueLine(TimeText(whole), CleanCueTitle(title))});
        }
    }
    return cues;
}

Marks ParseLabelFile(const QString& text) {
    Marks labels;
    for (const QString& line : text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")))) {
        const QStringList fields = line.split(u'\t');
        bool ok = false;
        const double start = QString(fields[0]).replace(u',', u'.').trimmed().toDouble(&ok);
        // A frequency line starts with "\", which is no number.
        if (fields.size() < 2 || !ok || !IsCuePosition(start)) {
            continue;
        }
        labels.append({start, fields.size() > 2 ? fields.mid(2).join(u' ') : QString()});
    }
    return labels;
}
