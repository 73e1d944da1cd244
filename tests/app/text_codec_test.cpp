#include "app/text_codec.h"

#include <gtest/gtest.h>

TEST(TextCodec, ReadsUtf8ElseLegacyAndWritesLegacyOnlyWhenItReadsBack) {
    const std::pair<QByteArray, QString> cases[] = {
        {"\xef\xbb\xbf\xc3\xa4 \xe2\x82\xac", QStringLiteral("ä €")},
        {"\xe4 \x80 \x93\x81", QStringLiteral("ä € “\u0081")},
        {"\xc3\xa4\xc3", QStringLiteral("Ã¤Ã")}};  // cut UTF-8: every byte is legacy
    for (const auto& [bytes, text] : cases) {
        EXPECT_EQ(DecodeText(bytes), text) << bytes.toHex().constData();
    }
    EXPECT_EQ(EncodeText(QStringLiteral("Grüße € “x”\r\n")), "Gr\xfc\xdf\x65 \x80 \x93x\x94\r\n");
    EXPECT_EQ(EncodeText(QStringLiteral("ä 中")), "\xc3\xa4 \xe4\xb8\xad");
    // As legacy bytes, "Ã©" would read back as "é".
    EXPECT_EQ(EncodeText(QStringLiteral("Ã©")), "\xc3\x83\xc2\xa9");
    QByteArray everyByte;
    for (int i = 1; i < 256; ++i) {
        everyByte.append(char(i));
    }
    EXPECT_EQ(EncodeText(DecodeText(everyByte)), everyByte);
}
