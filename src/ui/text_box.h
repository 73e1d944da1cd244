#pragma once

#include <QString>

class QPlainTextEdit;

// The lyrics text box gives back exactly the text it was given and the user
// typed: no-break spaces and line separators stay as they are, and each
// line keeps the kind of break that ended it ("\n", or U+2029 and the other
// characters the box takes as a paragraph break).

// Puts text into the box.
void SetBoxText(QPlainTextEdit* box, const QString& text);
// The box's text, lines joined by the breaks they came with ("\n" for new ones).
QString BoxText(const QPlainTextEdit* box);
