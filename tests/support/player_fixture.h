#pragma once

#include "support/fake_engine.h"
#include "support/message_watcher.h"
#include "support/program_fixture.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

// A started program on fake engines, its browser showing a music folder of
// its own. The tick runs only when the test calls it.
class PlayerTest : public ::testing::Test {
protected:
    void SetUp() override;

    // Path of a file in the music folder.
    QString PathOf(const QString& name) const;
    // Creates a recording of the given length (and its cue file when given)
    // and lists it.
    void AddRecording(const QString& name, double seconds, const QByteArray* cueFile = nullptr);
    // Double-clicks the recording's entry in the file list.
    void Open(const QString& name);
    // Creates a recording with its cue file and opens it; the test fails
    // when no engine plays it.
    void OpenWithCues(const QString& name, double seconds, const QByteArray& cueFile);
    // The engine created last; null when none is held.
    FakeEngine* Engine() const { return control_->last; }
    // Lets the fake clock run and then ticks once.
    void Play(double seconds);
    // The cue points listed: (seconds, line).
    QList<std::pair<qint32, QString>> Cues() const;

    ProgramFolder program_;
    QTemporaryDir music_;
    std::shared_ptr<FakeEngineControl> control_ = std::make_shared<FakeEngineControl>();
    std::unique_ptr<frmTembrel> window_;
    MessageWatcher messages_;
};
