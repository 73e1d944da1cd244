#include "engine/recording_marks.h"

#include "engine/decoders/audio_kind.h"
#include "engine/decoders/wav_header.h"

#include <QFile>
#include <QStringDecoder>

#include <taglib/chapterframe.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

extern "C" {
#include <libavformat/avformat.h>
}

namespace {

using Marks = QList<std::pair<double, QString>>;

QString FromTag(const TagLib::String& text) {
    return QString::fromUtf8(text.toCString(true));
}

// Recorders write names as UTF-8 or in a legacy code page.
QString FromRecorder(const std::string& name) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(QByteArrayView(name.data(), qsizetype(name.size())));
    return decoder.hasError() ? QString::fromLatin1(name.data(), qsizetype(name.size())) : text;
}

Marks WavMarks(const ReadAt& read, std::uint64_t size) {
    const std::optional<WavFormat> format = ParseWavHeader(read, size);
    if (!format) {
        return {};
    }
    Marks marks;
    for (const WavCuePoint& point : ParseWavCuePoints(read, size)) {
        marks.append({double(point.frame) / format->sampleRate, FromRecorder(point.name)});
    }
    return marks;
}

Marks Id3Chapters(const QByteArray& path) {
    TagLib::MPEG::File file(path.constData(), false);
    TagLib::ID3v2::Tag* tag = file.isValid() ? file.ID3v2Tag(false) : nullptr;
    if (tag == nullptr) {
        return {};
    }
    Marks marks;
    for (TagLib::ID3v2::Frame* frame : tag->frameList("CHAP")) {
        const auto* chapter = dynamic_cast<TagLib::ID3v2::ChapterFrame*>(frame);
        if (chapter == nullptr) {
            continue;
        }
        const TagLib::ID3v2::FrameList titles = chapter->embeddedFrameList("TIT2");
        marks.append({chapter->startTime() / 1000.0,
                      titles.isEmpty() ? QString() : FromTag(titles.front()->toString())});
    }
    return marks;
}

// Seconds of "hh:mm:ss.fff" (or "mm:ss.fff"), -1 when it is no such time.
double ChapterTime(const QString& text) {
    const QStringList parts = text.trimmed().split(u':');
    double seconds = 0;
    for (const QString& part : parts) {
        bool ok = false;
        const double value = part.toDouble(&ok);
        if (!ok || part.isEmpty() || !part[0].isDigit()) {
            return -1;
        }
        seconds = seconds * 60 + value;
    }
    return parts.size() >= 2 && parts.size() <= 3 ? seconds : -1;
}

Marks XiphChapters(TagLib::Ogg::XiphComment* comment) {
    if (comment == nullptr) {
        return {};
    }
    Marks marks;
    const TagLib::Ogg::FieldListMap fields = comment->fieldListMap();
    for (const auto& [key, values] : fields) {
        const QString name = FromTag(key).toUpper();
        bool isNumber = false;
        name.mid(7).toUInt(&isNumber);
        const double seconds = values.isEmpty() ? -1 : ChapterTime(FromTag(values.front()));
        if (!name.startsWith(QLatin1String("CHAPTER")) || !isNumber || seconds < 0) {
            continue;
        }
        const auto title = fields.find(key + "NAME");
        marks.append({seconds, title == fields.end() || title->second.isEmpty()
                                   ? QString()
                                   : FromTag(title->second.front())});
    }
    return marks;
}

Marks Mp4Chapters(const QByteArray& path) {
    AVFormatContext* context = nullptr;
    if (avformat_open_input(&context, ("file:" + path).constData(), nullptr, nullptr) < 0) {
        return {};
    }
    Marks marks;
    for (unsigned i = 0; i < context->nb_chapters; ++i) {
        const AVChapter* chapter = context->chapters[i];
        const AVDictionaryEntry* title = av_dict_get(chapter->metadata, "title", nullptr, 0);
        marks.append({double(chapter->start) * av_q2d(chapter->time_base),
                      title == nullptr ? QString() : QString::fromUtf8(title->value)});
    }
    avformat_close_input(&context);
    return marks;
}

}  // namespace

QList<std::pair<double, QString>> ReadRecordingMarks(const QString& path) {
    const std::shared_ptr<FileReader> reader = OpenFileReader(path);
    if (!reader) {
        return {};
    }
    const ReadAt read = [&reader](std::uint64_t offset, std::uint8_t* buffer, std::size_t size) {
        return reader->ReadAt(offset, buffer, size);
    };
    const QByteArray name = QFile::encodeName(path);
    switch (DetectAudioKind(read, reader->Size())) {
        case AudioKind::kWav:
            return WavMarks(read, reader->Size());
        case AudioKind::kFlac: {
            TagLib::FLAC::File file(name.constData(), false);
            return file.isValid() ? XiphChapters(file.xiphComment(false)) : Marks();
        }
        case AudioKind::kVorbis: {
            TagLib::Ogg::Vorbis::File file(name.constData(), false);
            return file.isValid() ? XiphChapters(file.tag()) : Marks();
        }
        case AudioKind::kOpus: {
            TagLib::Ogg::Opus::File file(name.constData(), false);
            return file.isValid() ? XiphChapters(file.tag()) : Marks();
        }
        case AudioKind::kMp4:
            return Mp4Chapters(name);
        case AudioKind::kAdts:
            return {};
        case AudioKind::kOther:
            return Id3Chapters(name);
    }
    return {};
}
