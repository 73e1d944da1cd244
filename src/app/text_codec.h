#pragma once

#include <QByteArray>
#include <QString>

// Text files the program reads and writes (cue and lyrics files) come either
// from this program or from older Windows machines: UTF-8 or Windows-1252.

// Decodes file bytes: valid UTF-8 (an initial byte-order mark is dropped) as
// UTF-8, anything else as Windows-1252. Every byte gives a character.
QString DecodeText(const QByteArray& bytes);

// Encodes text for a file: Windows-1252 when every character fits and the
// bytes read back as the same text, otherwise UTF-8 without a byte-order mark.
// DecodeText(EncodeText(text)) == text for any text without lone surrogates
// that does not begin with a byte-order mark.
QByteArray EncodeText(const QString& text);
