#include "ui/pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <functional>

namespace {

constexpr int kButtonPictureSize = 24;
constexpr int kIconSize = 32;
const QColor kInk(0, 0, 0);
const QColor kRepeatInk(0xC0, 0, 0);
const QColor kRepeatGround(0xF0, 0xF0, 0xF0);

QPixmap Draw(int width, int height, const QColor& ground,
             const std::function<void(QPainter&)>& paint) {
    QPixmap picture(width, height);
    picture.fill(ground);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter);
    return picture;
}

QPixmap ButtonPicture(const std::function<void(QPainter&)>& paint) {
    return Draw(kButtonPictureSize, kButtonPictureSize, Qt::transparent, [&](QPainter& painter) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(kInk);
        paint(painter);
    });
}

void Triangle(QPainter& painter, QPointF a, QPointF b, QPointF c) {
    painter.drawPolygon(QPolygonF({a, b, c}));
}

// One arc of the repeat arrows, from startDegrees over spanDegrees, with a head.
void ArcArrow(QPainter& painter, QPointF centre, double radius, double startDegrees,
              double spanDegrees) {
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(box, static_cast<int>(startDegrees * 16), static_cast<int>(spanDegrees * 16));
    const double end = qDegreesToRadians(startDegrees + spanDegrees);
    const QPointF tip(centre.x() + radius * std::cos(end), centre.y() - radius * std::sin(end));
    // Direction of travel at the arc's end (counter-clockwise on screen).
    const QPointF along(-std::sin(end), -std::cos(end));
    const QPointF across(std::cos(end), -std::sin(end));
    const double head = 3.5;
    painter.setBrush(kRepeatInk);
    painter.drawPolygon(QPolygonF({tip + along * head, tip + across * head - along * 1.0,
                                   tip - across * head - along * 1.0}));
}

QPixmap RepeatFrame(int index) {
    return Draw(kRepeatFrameSize, kRepeatFrameSize, kRepeatGround, [index](QPainter& painter) {
        painter.setPen(QPen(kRepeatInk, 2.0, Qt::SolidLine, Qt::FlatCap));
        const QPointF centre(kRepeatFrameSize / 2.0, kRepeatFrameSize / 2.0);
        // The pair looks the same after half a turn, so four frames cover it.
        const double turn = -45.0 * index;
        ArcArrow(painter, centre, 6.5, 20 + turn, 130);
        ArcArrow(painter, centre, 6.5, 200 + turn, 130);
    });
}

}  // namespace

QPixmap PlayPicture() {
    return ButtonPicture([](QPainter& p) { Triangle(p, {7, 4}, {7, 20}, {19, 12}); });
}

QPixmap PausePicture() {
    return ButtonPicture([](QPainter& p) {
        p.drawRect(QRectF(6, 5, 4, 14));
        p.drawRect(QRectF(14, 5, 4, 14));
    });
}

QPixmap PrevPicture() {
    return ButtonPicture([](QPainter& p) {
        p.drawRect(QRectF(5, 5, 3, 14));
        Triangle(p, {19, 5}, {19, 19}, {9, 12});
    });
}

QPixmap CuePicture() {
    return ButtonPicture([](QPainter& p) {
        p.drawRect(QRectF(10, 3, 4, 10));
        Triangle(p, {5, 12}, {19, 12}, {12, 21});
    });
}

QPixmap NextPicture() {
    return ButtonPicture([](QPainter& p) {
        Triangle(p, {5, 5}, {5, 19}, {15, 12});
        p.drawRect(QRectF(16, 5, 3, 14));
    });
}

QPixmap StopPicture() {
    return Draw(kButtonPictureSize, kButtonPictureSize, kInk, [](QPainter&) {});
}

QIcon MainWindowIcon() {
    return QIcon(MainWindowPicture(kIconSize));
}

QPixmap MainWindowPicture(int side) {
    return Draw(side, side, Qt::transparent, [side](QPainter& p) {
        // Drawn on a 32-unit grid, scaled to the side asked for.
        p.scale(side / double(kIconSize), side / double(kIconSize));
        p.setPen(QPen(QColor(0x80, 0x80, 0x80), 1));
        p.setBrush(QColor(0xC0, 0xC0, 0xC0));
        p.drawRoundedRect(QRectF(1.5, 1.5, 29, 29), 3, 3);
        const QColor blue(0, 0, 0xC0);
        p.setPen(Qt::NoPen);
        p.setBrush(blue);
        p.drawEllipse(QRectF(8, 19, 9, 7));
        p.drawRect(QRectF(15, 6, 2, 17));
        QPainterPath flag;
        flag.moveTo(17, 6);
        flag.cubicTo(19, 10, 24, 11, 23, 18);
        flag.cubicTo(22, 14, 19, 12, 17, 12);
        flag.closeSubpath();
        p.drawPath(flag);
    });
}

QIcon LyricsWindowIcon() {
    return QIcon(Draw(kIconSize, kIconSize, Qt::transparent, [](QPainter& p) {
        p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(5.5, 2.5, 21, 27));
        for (int line = 0; line < 5; ++line) {
            const double y = 8.5 + line * 4.5;
            p.setPen(QPen(line % 2 == 0 ? QColor(0, 0, 0xC0) : QColor(0x40, 0x40, 0x40), 1.5));
            p.drawLine(QPointF(9, y), QPointF(line % 2 == 0 ? 17 : 23, y));
        }
    }));
}

QPixmap RepeatStrip() {
    return Draw(kRepeatFrameSize * kRepeatFrameCount, kRepeatFrameSize, kRepeatGround,
                [](QPainter& p) {
                    for (int index = 0; index < kRepeatFrameCount; ++index) {
                        p.drawPixmap(index * kRepeatFrameSize, 0, RepeatFrame(index));
                    }
                });
}

QPixmap RepeatStill() {
    return RepeatFrame(0);
}
