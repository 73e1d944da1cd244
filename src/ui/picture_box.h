#pragma once

#include <QLabel>
#include <QPixmap>

// A picture box: shows its own still picture with whatever was drawn onto it
// at run time on top; the drawing stays until cleared.
class PictureBox : public QLabel {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    // The box's own still picture.
    QPixmap Picture() const { return picture_; }
    void SetPicture(const QPixmap& picture);
    // Erases what was drawn at run time; the still picture shows again.
    void Cls();
    // Copies a rectangle of another box's still picture to (0, 0) of this one,
    // at the same size. Only the part lying inside the source picture is copied.
    void CopyFrom(const PictureBox& source, const QRect& sourceRect);

private:
    QPixmap picture_;
};
