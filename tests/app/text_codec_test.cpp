#include "app/text_codec.h"

#include <gtest/gtest.h>

namespace {

TEST(TextCodec, DecodesUtf8AndLegacyBytes) {
    struct Case {
        QByteArray bytes;
        QString text;
    };
    const Case cases[] = {
        {"", ""},
        {"plain ascii\r\n", "plain ascii\r\n"},
        {"\xc3\xa4\xc3\xb6\xc3\xbc \xe2\x82\xac", QStringLiteral("äöü €")},
        {"\xef\xbb\xbf"
         "A",
         "A"},
        {"\xe4\xf6\xfc \x80 \x93x\x94", QStringLiteral("äöü € “x”")},
        // Cut UTF-8 sequence: the file is not UTF-8, so every byte is legacy.
        {"\xc3\xa4\xc3", QStringLiteral("Ã¤Ã")},
        // Bytes the code page leaves undefined still give one character each.
        {"\x81\x8d\x8f\x90\x9d", QStringLiteral("\u0081\u008d\u008f\u0090\u009d")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecodeText(c.bytes), c.text) << c.bytes.toHex().constData();
    }
}

TEST(TextCodec, EncodesLegacyWhenEveryCharacterFits) {
    EXPECT_EQ(EncodeText(QStringLiteral("Grüße € “x”")),
              QByteArray("Gr\xfc\xdf\x65 \x80 \x93x\x94"));
    EXPECT_EQ(EncodeText(QStringLiteral("abc\r\n")), QByteArray("abc\r\n"));
    EXPECT_EQ(EncodeText(QString()), QByteArray());
}

TEST(TextCodec, EncodesUtf8WithoutBomOtherwise) {
    EXPECT_EQ(EncodeText(QStringLiteral("ä 中")), QByteArray("\xc3\xa4 \xe4\xb8\xad"));
    EXPECT_EQ(EncodeText(QStringLiteral("Ω")), QByteArray("\xce\xa9"));
}

TEST(TextCodec, WhatAUserTypedSurvivesARoundTrip) {
    QString everyLegacyCharacter;
    for (int i = 1; i < 256; ++i) {
        everyLegacyCharacter.append(QChar(i));
    }
    const QString texts[] = {
        QStringLiteral("Probe 1 - Start Point\r\n"),
        QStringLiteral("Ärger über Öl, Maße €5"),
        QStringLiteral("Am  F  C  G\r\nHallo 中文 😀"),
        // Legacy bytes of these would form valid UTF-8 and read back as "é".
        QStringLiteral("Ã©"),
        QStringLiteral("â€™"),
        everyLegacyCharacter,
        QStringLiteral("\u0081 and ?"),
    };
    for (const QString& text : texts) {
        EXPECT_EQ(DecodeText(EncodeText(text)), text) << text.toStdString();
        EXPECT_FALSE(EncodeText(text).startsWith("\xef\xbb\xbf"));
    }
}

TEST(TextCodec, EveryByteOfALegacyFileSurvivesARoundTrip) {
    QByteArray all;
    for (int i = 0; i < 256; ++i) {
        all.append(char(i));
    }
    EXPECT_EQ(EncodeText(DecodeText(all)), all);
}

}  // namespace
