#include "ui/text_box.h"

#include <QPlainTextEdit>
#include <QTextBlock>

namespace {

// Characters the text document turns into a paragraph break of its own.
bool IsParagraphBreak(QChar c) {
    return c == u'\n' || c == QChar::ParagraphSeparator || c == QChar(0xFDD0) || c == QChar(0xFDD1);
}

}  // namespace

void SetBoxText(QPlainTextEdit* box, const QString& text) {
    box->setPlainText(text);
    // A block remembers the character that ended it, unless that was "\n".
    QTextBlock block = box->document()->firstBlock();
    for (const QChar c : text) {
        if (!IsParagraphBreak(c)) {
            continue;
        }
        block.setUserState(c == u'\n' ? -1 : c.unicode());
        block = block.next();
    }
}

QString BoxText(const QPlainTextEdit* box) {
    QString text;
    for (QTextBlock block = box->document()->firstBlock(); block.isValid(); block = block.next()) {
        text += block.text();
        if (block.next().isValid()) {
            text += block.userState() > 0 ? QChar(block.userState()) : QChar(u'\n');
        }
    }
    return text;
}
