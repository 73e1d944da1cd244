#include "ui/title_box.h"

#include "cues/cue_line.h"
#include "ui/list_box.h"

#include <limits>

TitleBox::TitleBox(QWidget* parent) : QLineEdit(parent) {
    setMaxLength(std::numeric_limits<int>::max());
    connect(this, &QLineEdit::textChanged, this, &TitleBox::CleanText);
    // Any edit by the user makes the shown text the title.
    connect(this, &QLineEdit::textEdited, this, [this] { wholeTitle_.clear(); });
}

QString TitleBox::Title() const {
    return wholeTitle_.isEmpty() ? text() : wholeTitle_;
}

void TitleBox::SetTitle(const QString& title) {
    const QString shown = ShortenedLine(title);
    setText(shown);
    wholeTitle_ = shown.size() == title.size() ? QString() : title;
}

void TitleBox::CleanText() {
    if (cleaning_) {
        return;
    }
    const QString clean = CleanCueTitle(text());
    if (clean != text()) {
        const int cursor = cursorPosition() - int(text().size() - clean.size());
        cleaning_ = true;
        setText(clean);
        setCursorPosition(std::max(0, cursor));
        cleaning_ = false;
    }
}
