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
    const QString section = DrawText(input);
    const QString key = DrawText(input);
    const QString value = DrawText(input);
    const QString otherKey = DrawText(input);
    const QString text =
        DecodeText(QByteArray::fromStdString(input.ConsumeRemainingBytesAsString()));

    const std::optional<QString> before = IniLookup(text, section, otherKey);
    const QString changed = IniWithValue(text, section, key, value);
    if (!IsStorableSetting(section, key, value)) {
        if (changed != text) {
            std::abort();
        }
    } else {
        if (IniLookup(changed, section, key) != value.trimmed()) {
            std::abort();
        }
        if (otherKey.trimmed().compare(key.trimmed(), Qt::CaseInsensitive) != 0 &&
            IniLookup(changed, section, otherKey) != before) {
            std::abort();
        }
    }
    if (before && !std::isfinite(SettingNumber(*before))) {
        std::abort();
    }
    if (!std::isfinite(SettingNumber(text))) {
        std::abort();
    }
    return 0;
}
