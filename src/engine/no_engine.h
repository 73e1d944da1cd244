#pragma once

#include "engine/media_engine.h"

// Stands in while no file is open: every call fails and changes nothing, so
// handlers can call the engine without checking whether one is held.
class NoEngine final : public MediaEngine {
public:
    bool RenderFile(const QString&) override { return false; }
    bool Run() override { return false; }
    bool Pause() override { return false; }
    bool Stop() override { return false; }
    std::optional<double> Duration() override { return std::nullopt; }
    std::optional<double> CurrentPosition() override { return std::nullopt; }
    bool SetCurrentPosition(double) override { return false; }
    bool SetLoop(int, int) override { return false; }
    bool ClearLoop() override { return false; }
    bool SetRate(double) override { return false; }
    bool SetVolume(long) override { return false; }
    bool SetBalance(long) override { return false; }
    QString ErrorText() const override { return QStringLiteral("no recording is open"); }
};
