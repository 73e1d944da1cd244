#pragma once

#include "engine/media_engine.h"

#include <QString>
#include <QStringList>

#include <map>
#include <memory>
#include <set>

class FakeEngine;

// What a test controls and sees of the fake engines one factory creates.
struct FakeEngineControl {
    // Files that render, with their length in seconds; others fail to render.
    std::map<QString, double> lengths;
    // Names of calls that fail ("RenderFile", "Run", "SetRate", ...): they
    // return false (or no value) and change nothing.
    std::set<QString> failing;
    // The engine created last; null once it is destroyed.
    FakeEngine* last = nullptr;
    int created = 0;
    int destroyed = 0;
};

// A media engine for the program's tests. It keeps the promises of the
// interface, records every command as text ("RenderFile(/a/b.mp3)", "Run",
// "SetCurrentPosition(12)", "SetVolume(-2000)", ...; the reads Duration and
// CurrentPosition are not recorded), and its clock moves only when the test
// calls Advance.
class FakeEngine : public MediaEngine {
public:
    explicit FakeEngine(std::shared_ptr<FakeEngineControl> control);
    ~FakeEngine() override;

    bool RenderFile(const QString& path) override;
    bool Run() override;
    bool Pause() override;
    bool Stop() override;
    std::optional<double> Duration() override;
    std::optional<double> CurrentPosition() override;
    bool SetCurrentPosition(double seconds) override;
    bool SetRate(double rate) override;
    bool SetVolume(long hundredthsOfDecibel) override;
    bool SetBalance(long hundredthsOfDecibel) override;
    bool SetLoop(int startSecond, int endSecond) override;
    bool ClearLoop() override;

    // Moves the clock: while running, the position moves by seconds times the
    // rate and stops at the length.
    void Advance(double seconds);

    // Every call so far, oldest first.
    const QStringList& calls() const { return calls_; }
    bool rendered() const { return rendered_; }
    bool running() const { return running_; }
    double rate() const { return rate_; }
    long volume() const { return volume_; }
    long balance() const { return balance_; }

private:
    // Records the call; true when it may go ahead.
    bool Allow(const QString& name, const QString& argument = QString());

    std::shared_ptr<FakeEngineControl> control_;
    QStringList calls_;
    bool tried_ = false;
    bool rendered_ = false;
    bool running_ = false;
    double length_ = 0.0;
    double position_ = 0.0;
    double rate_ = 1.0;
    long volume_ = 0;
    long balance_ = 0;
    std::optional<std::pair<int, int>> loop_;
};

// A factory of fake engines that all report to the control.
MediaEngineFactory FakeEngineFactory(std::shared_ptr<FakeEngineControl> control);
