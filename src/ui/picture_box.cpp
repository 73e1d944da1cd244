#include "ui/picture_box.h"

#include <QPainter>

PictureBox::PictureBox(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void PictureBox::SetPicture(const QPixmap& picture) {
    picture_ = picture;
    setPixmap(picture_);
}

void PictureBox::Cls() {
    setPixmap(picture_);
}

void PictureBox::CopyFrom(const PictureBox& source, const QRect& sourceRect) {
    const QRect inside = sourceRect.intersected(source.picture_.rect());
    if (inside.isEmpty()) {
        return;
    }
    QPixmap shown = pixmap();
    if (shown.isNull()) {
        shown = QPixmap(sourceRect.size());
        shown.fill(Qt::transparent);
    }
    QPainter painter(&shown);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawPixmap(inside.topLeft() - sourceRect.topLeft(), source.picture_, inside);
    painter.end();
    setPixmap(shown);
}
