#pragma once

#include "cues/cue_file.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <atomic>
#include <future>
#include <memory>
#include <optional>

// The cue lists of recordings without cue file (the start point and the
// recording's own marks), made on a worker: ahead of an open for the file
// entry selected last (a double-click's first click selects it), or at the
// open itself. Dropping a result never waits for it.
class OwnCues {
public:
    // Starts reading the list of `path`, or nothing for an empty path; what
    // was read ahead before is dropped.
    void ReadAhead(const QString& path);
    // The list of `path`: the one read ahead when the file is unchanged since,
    // else one read from now on.
    std::shared_future<QList<CueRecord>> For(const QString& path);

private:
    struct Ahead {
        QString path;
        QDateTime modified;
        qint64 size = 0;
        std::shared_ptr<std::atomic<bool>> dropped;  // not started yet: need not be read
        std::shared_future<QList<CueRecord>> cues;
    };
    std::optional<Ahead> ahead_;
};
