#include "app/text_codec.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <optional>

namespace {

constexpr const char* kLegacyCodec = "windows-1252";

// The bytes decoded as UTF-8, or nullopt when they are not valid UTF-8.
std::optional<QString> DecodeUtf8(const QByteArray& bytes) {
    // Stateless: a sequence cut off at the end counts as an error.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        return std::nullopt;
    }
    return text;
}

// Windows-1252 decoding that maps every byte to one character. The five bytes
// the code page leaves undefined become the control characters of the same
// value, so they survive a later write unchanged.
QString DecodeLegacy(const QByteArray& bytes) {
    QStringDecoder decoder(kLegacyCodec);
    if (decoder.isValid()) {
        QString text = decoder.decode(bytes);
        if (!decoder.hasError() && text.size() == bytes.size()) {
            return text;
        }
    }
    return QString::fromLatin1(bytes);
}

}  // namespace

QString DecodeText(const QByteArray& bytes) {
    if (std::optional<QString> text = DecodeUtf8(bytes)) {
        return *text;
    }
    return DecodeLegacy(bytes);
}

QByteArray EncodeText(const QString& text) {
    QStringEncoder encoder(kLegacyCodec);
    if (encoder.isValid()) {
        QByteArray bytes = encoder.encode(text);
        // Legacy bytes that happen to form valid UTF-8 ("Ã©") would read back
        // as other text; such a text is written as UTF-8 instead.
        if (!encoder.hasError() && DecodeText(bytes) == text) {
            return bytes;
        }
    }
    return text.toUtf8();
}
