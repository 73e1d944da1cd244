#pragma once

#include "cues/cue_file.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// A standard CUE sheet (FILE, TRACK, TITLE, INDEX 01 mm:ss:ff at 75 frames a
// second) kept as its lines, so that writing it back changes only the lines
// of the tracks that were edited: REM, PERFORMER, FILE, FLAGS and every other
// line stay as they were, each with its own line end.
struct CueSheet {
    struct Track {
        qsizetype firstLine = 0;  // its TRACK line; its lines run to the next TRACK
        CueRecord listed;         // the cue point the list shows for it
    };
    QStringList lines;  // each with its line end ("\r\n", "\n", "\r" or none)
    QList<Track> tracks;
    int files = 0;               // FILE lines
    bool utf8 = true;            // written back as UTF-8, else as cue files are
    bool byteOrderMark = false;  // kept when it had one
};

// True when a cue file's text is a CUE sheet rather than our own records: its
// first word is one of the sheet's commands.
bool LooksLikeCueSheet(const QString& text);

// Reads a CUE sheet's bytes (UTF-8 or Windows-1252): one cue point per
// TRACK, at its INDEX 01 cut to whole seconds, titled by its TITLE. nullopt
// when a TRACK has no INDEX 01 or an INDEX time cannot be read, with the
// reason in *error when given.
std::optional<CueSheet> ParseCueSheet(const QByteArray& bytes, QString* error = nullptr);

// The sheet after the cue list became `cues`: the tracks whose cue point
// changed get a new INDEX 01 or TITLE line, removed tracks lose their lines,
// new cue points become new tracks after the last one. The list may differ
// from the one the sheet lists by one edit anywhere (set, move, retitle,
// remove) or by cue points added at its end.
CueSheet UpdateCueSheet(CueSheet sheet, const QList<CueRecord>& cues);

// The sheet's bytes, line by line as kept, in the encoding it was read in
// (a sheet read as Windows-1252 turns UTF-8 only for a title that needs it).
QByteArray FormatCueSheet(const CueSheet& sheet);

// The cue list a sheet shows.
QList<CueRecord> ListedCues(const CueSheet& sheet);
