#pragma once

#include <QList>
#include <QString>

#include <optional>

// One cue point as the cue file keeps it: its start in whole seconds and the
// line shown in the cue list ("hh:mm:ss - title").
struct CueRecord {
    qint32 seconds = 0;
    QString text;

    bool operator==(const CueRecord&) const = default;
};

// The list text of one cue-file record: what follows the "]" that closes its
// seconds (the first "]" after the record's first character), or the whole
// record when it holds none. Titles may hold brackets of their own.
QString ExtractCue(const QString& line);

// The cue points of a cue file's text, in file order. Lines end at CR LF, a
// CR alone or a LF alone; empty lines are skipped. The first character of a
// line is ignored; the seconds are the text up to the first "]" (blanks and a
// leading "-" allowed, 32-bit). nullopt when any line holds no such number,
// with the reason in *error when given.
std::optional<QList<CueRecord>> ParseCueFile(const QString& text, QString* error = nullptr);

// The cue file's text for a list: one "[seconds]text" record per cue point,
// each ending in CR LF, then one more CR LF.
QString FormatCueFile(const QList<CueRecord>& cues);
