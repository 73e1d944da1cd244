#include "ui/layout_helpers.h"

#include "ui/twips.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

QRect TwipsRect(int left, int top, int width, int height) {
    return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
                 TwipsToPixels(height));
}

QFont SansFont(double pointSize, bool bold) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

QFont FixedFont(double pointSize) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPointSizeF(pointSize);
    return font;
}

QColor ColourFromBgr(quint32 bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

void SetColours(QWidget* control, const QColor& back, const QColor& text) {
    QPalette palette = control->palette();
    for (QPalette::ColorRole role : {QPalette::Base, QPalette::Window, QPalette::Button}) {
        palette.setColor(role, back);
    }
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText}) {
        palette.setColor(role, text);
    }
    control->setPalette(palette);
    control->setAutoFillBackground(true);
}

QPushButton* MakeButton(QWidget* parent, const char* name, QRect geometry, const QString& caption,
                        const QString& toolTip) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setToolTip(toolTip);
    button->setAutoDefault(false);
    return button;
}

QGroupBox* MakeFrame(QWidget* parent, const char* name, QRect geometry, const QString& caption) {
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(QString::fromLatin1(name));
    frame->setGeometry(geometry);
    return frame;
}

QLabel* MakeLabel(QWidget* parent, const char* name, QRect geometry, const QString& caption,
                  bool autoSize) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    if (autoSize) {
        label->adjustSize();
    }
    return label;
}

void ShrinkToFit(QLabel* label, int width) {
    constexpr double kSmallest = 6.0;
    QFont font = label->font();
    while (QFontMetrics(font).horizontalAdvance(label->text()) > width &&
           font.pointSizeF() - 0.25 >= kSmallest) {
        font.setPointSizeF(font.pointSizeF() - 0.25);
    }
    label->setFont(font);
    if (label->width() != width) {
        label->adjustSize();
    }
}
