#pragma once

#include "engine/media_engine.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <set>
#include <utility>

class FakeEngine;

// What a test controls and sees of the fake engines one factory creates: the
// files that render with their lengths, the commands ("Run", ...) that fail,
// the engine created last (null once it is destroyed).
struct FakeEngineControl {
    std::map<QString, double> lengths;
    std::set<QString> failing;
    FakeEngine* last = nullptr;
};

// Keeps the interface's promises, loops a section as the real engine does,
// records each command ("SetLoop(10,20)"); its clock moves only in Advance.
class FakeEngine final : public MediaEngine {
public:
    explicit FakeEngine(std::shared_ptr<FakeEngineControl> control) : control_(std::move(control)) {
        control_->last = this;
    }
    ~FakeEngine() override {
        if (control_->last == this) {
            control_->last = nullptr;
        }
    }

    bool RenderFile(const QString& path) override {
        const auto file = control_->lengths.find(path);
        const bool first = !std::exchange(tried_, true);
        if (!Command("RenderFile", path, true) || !first || file == control_->lengths.end()) {
            return false;
        }
        rendered_ = true;
        length_ = file->second;
        return true;
    }
    bool Run() override { return Command("Run") && (running_ = true); }
    bool Pause() override { return Command("Pause") && !(running_ = false); }
    bool Stop() override { return Command("Stop") && !(running_ = false); }
    std::optional<double> Duration() override { return Read(length_); }
    std::optional<double> CurrentPosition() override { return Read(position_); }
    bool SetCurrentPosition(double seconds) override {
        return Command("SetCurrentPosition", QString::number(seconds)) && !std::isnan(seconds) &&
               (position_ = std::clamp(seconds, 0.0, length_), true);
    }
    bool SetRate(double rate) override {
        return Command("SetRate", QString::number(rate)) && (rate_ = std::clamp(rate, 0.1, 2.0));
    }
    bool SetVolume(long volume) override { return Command("SetVolume", QString::number(volume)); }
    bool SetBalance(long balance) override {
        return Command("SetBalance", QString::number(balance));
    }
    bool SetLoop(int start, int end) override {
        return Command("SetLoop", QStringLiteral("%1,%2").arg(start).arg(end)) && start >= 0 &&
               end > start && (loop_ = {start, end});
    }
    bool ClearLoop() override { return Command("ClearLoop") && !(loop_ = std::nullopt); }

    // While running: a loop's end reached from before it goes on at its start,
    // and the position stops at the length.
    void Advance(double seconds) {
        if (!running_) {
            return;
        }
        const double to = position_ + seconds * rate_;
        if (loop_ && position_ < loop_->second && to >= loop_->second) {
            position_ = loop_->first + std::fmod(to - loop_->second, loop_->second - loop_->first);
        } else {
            position_ = std::min(to, length_);
        }
    }

    const QStringList& calls() const { return calls_; }
    bool running() const { return running_; }

private:
    // Records a command; true when it may go ahead.
    bool Command(const char* name, const QString& argument = QString(), bool any = false) {
        calls_ << (argument.isNull() ? QString::fromLatin1(name) : name + ("(" + argument + ")"));
        return (any || rendered_) && !control_->failing.count(QString::fromLatin1(name));
    }
    std::optional<double> Read(double value) const {
        return rendered_ ? std::optional<double>(value) : std::nullopt;
    }

    std::shared_ptr<FakeEngineControl> control_;
    QStringList calls_;
    bool tried_ = false, rendered_ = false, running_ = false;
    double length_ = 0.0, position_ = 0.0, rate_ = 1.0;
    std::optional<std::pair<int, int>> loop_;
};

// A factory of fake engines that all report to the control.
inline MediaEngineFactory FakeEngineFactory(std::shared_ptr<FakeEngineControl> control) {
    return [control] { return std::make_unique<FakeEngine>(control); };
}
