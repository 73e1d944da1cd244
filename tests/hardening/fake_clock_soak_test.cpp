// An hour of playback on the fake engine's clock, ticked every 10 ms: half of
// it looping a section, half of it following cue points. Every loop and every
// follow comes on the tick it should, and memory stays flat.
#include "support/player_fixture.h"
#include "ui/list_box.h"

#include <QAction>

#include <unistd.h>

#include <cmath>
#include <fstream>

namespace {

constexpr double kTick = 0.01;
constexpr int kTicksPerHalfHour = 180000;
constexpr int kCueSpacing = 30;
constexpr int kCueCount = 20;

// Resident memory of this process in KiB.
long ResidentKiB() {
    long pages = 0;
    long resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

class FakeClockSoak : public PlayerTest {
protected:
    void SetUp() override {
        PlayerTest::SetUp();
        QByteArray cues;
        for (int i = 0; i < kCueCount; ++i) {
            cues += "[" + QByteArray::number(i * kCueSpacing) + "]00:00:00 - Teil " +
                    QByteArray::number(i) + "\r\n";
        }
        cues += "\r\n";
        AddRecording(QStringLiteral("Probe.mp3"), kCueCount * kCueSpacing, &cues);
        Open(QStringLiteral("Probe.mp3"));
    }

    // Double-clicks a cue point in the list.
    void PlayFrom(int cue) {
        window_->lstCue->SetListIndex(cue);
        window_->lstCue_DblClick();
    }

    double Position() const { return Engine()->CurrentPosition().value_or(-1); }

    // Ticks once after the clock moved by one tick.
    void Tick() {
        Engine()->Advance(kTick);
        window_->Timer1_Timer();
        ++ticks_;
    }

    int ticks_ = 0;
};

}  // namespace

TEST_F(FakeClockSoak, AnHourOfLoopsAndFollowsComesOnTimeInFlatMemory) {
    ASSERT_NE(Engine(), nullptr);
    ASSERT_EQ(window_->lstCue->ListCount(), kCueCount);

    // Half an hour looping the section from 90 s to 120 s.
    window_->mnuRepeat->trigger();
    ASSERT_TRUE(window_->mnuRepeat->isChecked());
    PlayFrom(3);
    long warmMemory = 0;
    int loops = 0;
    double before = Position();
    while (ticks_ < kTicksPerHalfHour) {
        Tick();
        const double after = Position();
        ASSERT_GE(after, 90.0) << "tick " << ticks_;
        ASSERT_LT(after, 120.0) << "tick " << ticks_;
        if (after < before) {
            ++loops;
            // The loop came on the first tick that reached the next cue point.
            ASSERT_GE(before + kTick, 120.0 - 1e-6) << "tick " << ticks_;
            ASSERT_EQ(after, 90.0);
        }
        before = after;
        if (ticks_ == 10000) {
            warmMemory = ResidentKiB();
        }
    }
    EXPECT_GE(loops, 59);
    EXPECT_LE(loops, 60);

    // Half an hour following: from each cue point in turn, through the next
    // boundary (followed on its first tick) and ten seconds beyond.
    window_->mnuRepeat->trigger();
    ASSERT_FALSE(window_->mnuRepeat->isChecked());
    int follows = 0;
    for (int round = 0; ticks_ < 2 * kTicksPerHalfHour; ++round) {
        const int cue = round % (kCueCount - 1);
        PlayFrom(cue);
        const double boundary = (cue + 1) * kCueSpacing;
        for (int i = 0; i < (kCueSpacing + 10) * 100 && ticks_ < 2 * kTicksPerHalfHour; ++i) {
            Tick();
            const bool reached = std::floor(Position()) >= boundary;
            ASSERT_EQ(window_->currentCue, reached ? cue + 1 : cue)
                << "tick " << ticks_ << " at " << Position();
            ASSERT_EQ(window_->lstCue->ListIndex(), reached ? cue + 1 : cue);
            if (reached && window_->cueAdvanced == 1 && std::floor(Position() - kTick) < boundary) {
                ++follows;
            }
        }
    }
    EXPECT_EQ(follows, 45);

    const long growth = ResidentKiB() - warmMemory;
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizer keeps freed memory in quarantine; only the other builds
    // can judge memory growth.
    (void)growth;
#else
    EXPECT_LT(growth, 8 * 1024) << "KiB";
#endif
}
