#include "support/fake_engine.h"

#include <algorithm>
#include <cmath>

FakeEngine::FakeEngine(std::shared_ptr<FakeEngineControl> control) : control_(std::move(control)) {
    control_->last = this;
    ++control_->created;
}

FakeEngine::~FakeEngine() {
    if (control_->last == this) {
        control_->last = nullptr;
    }
    ++control_->destroyed;
}

bool FakeEngine::Allow(const QString& name, const QString& argument) {
    calls_.append(argument.isNull() ? name : name + "(" + argument + ")");
    return rendered_ && !control_->failing.count(name);
}

bool FakeEngine::RenderFile(const QString& path) {
    calls_.append("RenderFile(" + path + ")");
    auto file = control_->lengths.find(path);
    bool first = !tried_;
    tried_ = true;
    if (!first || control_->failing.count("RenderFile") || file == control_->lengths.end()) {
        return false;
    }
    rendered_ = true;
    length_ = file->second;
    return true;
}

bool FakeEngine::Run() {
    if (!Allow("Run")) {
        return false;
    }
    running_ = true;
    return true;
}

bool FakeEngine::Pause() {
    if (!Allow("Pause")) {
        return false;
    }
    running_ = false;
    return true;
}

bool FakeEngine::Stop() {
    if (!Allow("Stop")) {
        return false;
    }
    running_ = false;
    return true;
}

std::optional<double> FakeEngine::Duration() {
    if (!rendered_ || control_->failing.count("Duration")) {
        return std::nullopt;
    }
    return length_;
}

std::optional<double> FakeEngine::CurrentPosition() {
    if (!rendered_ || control_->failing.count("CurrentPosition")) {
        return std::nullopt;
    }
    return position_;
}

bool FakeEngine::SetCurrentPosition(double seconds) {
    if (!Allow("SetCurrentPosition", QString::number(seconds)) || std::isnan(seconds)) {
        return false;
    }
    position_ = std::clamp(seconds, 0.0, length_);
    return true;
}

bool FakeEngine::SetRate(double rate) {
    if (!Allow("SetRate", QString::number(rate)) || std::isnan(rate)) {
        return false;
    }
    rate_ = std::clamp(rate, 0.1, 2.0);
    return true;
}

bool FakeEngine::SetVolume(long hundredthsOfDecibel) {
    if (!Allow("SetVolume", QString::number(hundredthsOfDecibel))) {
        return false;
    }
    volume_ = std::clamp(hundredthsOfDecibel, -10000L, 0L);
    return true;
}

bool FakeEngine::SetBalance(long hundredthsOfDecibel) {
    if (!Allow("SetBalance", QString::number(hundredthsOfDecibel))) {
        return false;
    }
    balance_ = std::clamp(hundredthsOfDecibel, -5000L, 5000L);
    return true;
}

bool FakeEngine::SetLoop(int startSecond, int endSecond) {
    if (!Allow("SetLoop", QStringLiteral("%1,%2").arg(startSecond).arg(endSecond)) ||
        startSecond < 0 || endSecond <= startSecond) {
        return false;
    }
    loop_ = {startSecond, endSecond};
    return true;
}

bool FakeEngine::ClearLoop() {
    if (!Allow("ClearLoop")) {
        return false;
    }
    loop_.reset();
    return true;
}

void FakeEngine::Advance(double seconds) {
    if (!running_) {
        return;
    }
    const double to = position_ + seconds * rate_;
    // A loop's end reached from before it continues at its start.
    if (loop_ && position_ < loop_->second && to >= loop_->second) {
        const double length = loop_->second - loop_->first;
        position_ = loop_->first + std::fmod(to - loop_->second, length);
    } else {
        position_ = std::min(to, length_);
    }
}

MediaEngineFactory FakeEngineFactory(std::shared_ptr<FakeEngineControl> control) {
    return [control] { return std::make_unique<FakeEngine>(control); };
}
