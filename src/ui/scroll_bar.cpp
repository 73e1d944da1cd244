#include "ui/scroll_bar.h"

#include <algorithm>
#include <cstdlib>

ScrollBar::ScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent) {
    // Scroll is reported for each step of a drag, Change once the value has
    // settled; during a drag the value follows the thumb.
    setTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QAbstractSlider::valueChanged, this, [this] {
        if (settingRange_) {
            return;
        }
        // A value the program sets is a change even while the user holds the thumb.
        if (isSliderDown() && !settingValue_) {
            emit Scroll();
        } else {
            emit Change();
        }
    });
    // A drag ends with one Change, as any other move of the value does.
    connect(this, &QAbstractSlider::sliderPressed, this, [this] { valueAtPress_ = value(); });
    connect(this, &QAbstractSlider::sliderReleased, this, [this] {
        if (value() != valueAtPress_) {
            emit Change();
        }
    });
    ApplyRange();
}

void ScrollBar::SetRange(int min, int max, int smallChange, int largeChange) {
    min_ = min;
    max_ = max;
    setSingleStep(std::max(1, smallChange));
    setPageStep(std::max(1, largeChange));
    ApplyRange();
}

int ScrollBar::Value() const {
    return ToValue(value());
}

bool ScrollBar::InRange(int value) const {
    return value >= std::min(min_, max_) && value <= std::max(min_, max_);
}

bool ScrollBar::SetValue(int value) {
    if (!InRange(value)) {
        return false;
    }
    settingValue_ = true;
    setValue(ToPosition(value));
    settingValue_ = false;
    return true;
}

void ScrollBar::SetMax(int max) {
    max_ = max;
    ApplyRange();
}

bool ScrollBar::SetLargeChange(int largeChange) {
    if (largeChange < 1) {
        return false;
    }
    setPageStep(largeChange);
    return true;
}

void ScrollBar::ApplyRange() {
    settingRange_ = true;
    setRange(0, std::abs(max_ - min_));
    settingRange_ = false;
}
