#pragma once

#include <QLineEdit>

// The one-line cue title box. It takes a title of any length, and whatever is
// typed, pasted or dropped loses its line breaks and control characters at
// once. A title too long to lay out quickly is shown shortened; as long as
// the user leaves it alone, Title() still gives the whole title.
class TitleBox : public QLineEdit {
    Q_OBJECT
public:
    explicit TitleBox(QWidget* parent = nullptr);

    // The title the box stands for.
    QString Title() const;
    // Shows a title, shortened when it is very long.
    void SetTitle(const QString& title);

private:
    void CleanText();

    QString wholeTitle_;  // set while a shortened title is shown unchanged
    bool cleaning_ = false;
};
