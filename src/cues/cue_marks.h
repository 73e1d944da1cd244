#pragma once

#include "cues/cue_file.h"

#include <QList>
#include <QString>

#include <utility>

// Marks as (seconds, title): those a recording holds itself, or the labels
// of a label file.
using Marks = QList<std::pair<double, QString>>;

// The cue list of a recording without cue file: the start point, then the
// recording's marks in time order at their whole seconds (cut), each titled
// by its mark. Marks within the first second are the start point's own.
QList<CueRecord> StartPointAndMarks(Marks marks);

// The labels of a label file, in file order: lines of start, end and text
// separated by tabs, in seconds with a decimal point or comma (the end and
// the text may be missing). A line starting with "\" holds the frequency
// range of the label before it; it and every line that is no label are
// skipped, as are labels before 0 or beyond the longest recording.
Marks ParseLabelFile(const QString& text);
