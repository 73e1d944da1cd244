// Text decoding of any bytes, and the write/read round trip of any text.
#include "app/text_codec.h"

#include <cstdint>
#include <cstdlib>

namespace {

// True when the text holds a surrogate without its partner.
bool HasLoneSurrogate(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
        } else if (text[i].isSurrogate()) {
            return true;
        }
    }
    return false;
}

// Aborts unless the text reads back as itself after a write.
void CheckRoundTrip(const QString& text) {
    if (HasLoneSurrogate(text) || text.startsWith(QChar(0xFEFF))) {
        return;
    }
    if (DecodeText(EncodeText(text)) != text) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString decoded = DecodeText(bytes);
    if (decoded.isEmpty() != bytes.isEmpty() && bytes != "\xef\xbb\xbf") {
        std::abort();
    }
    CheckRoundTrip(decoded);
    CheckRoundTrip(QString(reinterpret_cast<const QChar*>(data), static_cast<qsizetype>(size / 2)));
    return 0;
}
