// Lyrics files of any bytes: what the window shows is saved and read back
// unchanged, and a title names a file inside the folder or none at all.
#include "app/text_codec.h"
#include "lyrics/lyrics_naming.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString shown = LyricsTextFromFile(DecodeText(bytes));
    if (shown.contains(u'\r') || shown.endsWith(u'\n')) {
        std::abort();
    }
    if (LyricsTextFromFile(DecodeText(EncodeText(LyricsFileText(shown)))) != shown) {
        std::abort();
    }

    const QString folder = QStringLiteral("/musik/");
    const QString title = DecodeText(bytes.left(300));
    if (const std::optional<QString> file = LyricsFileFor(folder, title)) {
        const QString name = file->mid(folder.size());
        if (!file->startsWith(folder) || name.contains(u'/') || name.contains(QChar(0)) ||
            name == QLatin1String("..") || !name.endsWith(QLatin1String(".txt")) ||
            name.toUtf8().size() > 255) {
            std::abort();
        }
    }
    return 0;
}
