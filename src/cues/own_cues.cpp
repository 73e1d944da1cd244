#include "cues/own_cues.h"

#include "cues/cue_marks.h"
#include "engine/recording_marks.h"

#include <QFileInfo>
#include <QThreadPool>

#include <utility>

namespace {

std::shared_future<QList<CueRecord>> ReadLater(const QString& path,
                                               std::shared_ptr<std::atomic<bool>> dropped) {
    auto result = std::make_shared<std::promise<QList<CueRecord>>>();
    std::shared_future<QList<CueRecord>> cues = result->get_future().share();
    QThreadPool::globalInstance()->start([path, dropped, result] {
        result->set_value(dropped && *dropped ? QList<CueRecord>()
                                              : StartPointAndMarks(ReadRecordingMarks(path)));
    });
    return cues;
}

}  // namespace

void OwnCues::ReadAhead(const QString& path) {
    if (ahead_) {
        *ahead_->dropped = true;
        ahead_.reset();
    }
    if (!path.isEmpty()) {
        const QFileInfo file(path);
        auto dropped = std::make_shared<std::atomic<bool>>(false);
        ahead_ = Ahead{path, file.lastModified(), file.size(), dropped, ReadLater(path, dropped)};
    }
}

std::shared_future<QList<CueRecord>> OwnCues::For(const QString& path) {
    const std::optional<Ahead> ahead = std::exchange(ahead_, std::nullopt);
    if (ahead) {
        const QFileInfo file(path);
        const bool same = ahead->path == path && ahead->modified == file.lastModified() &&
                          ahead->size == file.size();
        if (same) {
            return ahead->cues;
        }
        *ahead->dropped = true;
    }
    return ReadLater(path, nullptr);
}
