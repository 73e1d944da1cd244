// Settings files of any bytes: lookups never fail, a stored value is found
// again, other keys keep their values, and a setting's number stays finite.
#include "app/settings_store.h"
#include "app/text_codec.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

// A short name or value drawn from the input, decoded like a file's text.
QString DrawText(FuzzedDataProvider& input) {
    return DecodeText(QByteArray::fromStdString(input.ConsumeRandomLengthString(24)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    // Declarators run in order: each draws after the one before it.
    const QString section = DrawText(input), key = DrawText(input), value = DrawText(input),
                  otherKey = DrawText(input);
    const QString text =
        DecodeText(QByteArray::fromStdString(input.ConsumeRemainingBytesAsString()));

    const std::optional<QString> before = IniLookup(text, section, otherKey);
    const QString changed = IniWithValue(text, section, key, value);
    const bool sameKey = otherKey.trimmed().compare(key.trimmed(), Qt::CaseInsensitive) == 0;
    const bool kept = IsStorableSetting(section, key, value)
                          ? IniLookup(changed, section, key) == value.trimmed() &&
                                (sameKey || IniLookup(changed, section, otherKey) == before)
                          : changed == text;
    if (!kept || (before && !std::isfinite(SettingNumber(*before))) ||
        !std::isfinite(SettingNumber(text))) {
        std::abort();
    }
    return 0;
}
