#pragma once

#include <QScrollBar>

// A scroll bar whose range may run backwards (Min greater than Max): Min
// always lies at the top or left end. A value outside the range is refused
// instead of clamped. Every change of Value, by the user or the program, is
// reported as Change; each value while the thumb is dragged as Scroll.
class ScrollBar : public QScrollBar {
    Q_OBJECT
public:
    ScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

    // Sets Min, Max, SmallChange and LargeChange at once (no report).
    void SetRange(int min, int max, int smallChange, int largeChange);

    int Value() const;
    // Sets the value; false (and nothing changes) when it lies outside the range.
    bool SetValue(int value);
    int Min() const { return min_; }
    int Max() const { return max_; }
    // Sets Max; a Value outside the new range moves to its nearest end unreported.
    void SetMax(int max);
    int SmallChange() const { return singleStep(); }
    int LargeChange() const { return pageStep(); }
    // Sets LargeChange; false for a step below 1.
    bool SetLargeChange(int largeChange);

signals:
    void Change();
    void Scroll();

private:
    int Direction() const { return max_ >= min_ ? 1 : -1; }
    int ToValue(int position) const { return min_ + Direction() * position; }
    int ToPosition(int value) const { return Direction() * (value - min_); }
    bool InRange(int value) const;
    void ApplyRange();

    int min_ = 0;
    int max_ = 100;
    bool settingRange_ = false;
    bool settingValue_ = false;
    int valueAtPress_ = 0;
};
