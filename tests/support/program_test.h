#pragma once

#include "engine/media_engine.h"
#include "support/fake_engine.h"
#include "support/message_watcher.h"
#include "ui/frm_tembrel.h"

#include <QByteArray>
#include <QEvent>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

class ListBox;

inline const QString kSection = QStringLiteral("Kestrin's Tembrel");
inline const QString kOpenError = QStringLiteral("Fehler beim Öffnen der Datei. ");
inline const QString kCueWriteError = QStringLiteral("Fehler beim Schreiben der Cue-Datei. ");
inline const QString kWriteError = QStringLiteral("Fehler beim Schreiben der Datei. ");

// Cue points: the start point at 0, "Vers" at 10, "Refrain" at 20, one without title at 30.
inline const QByteArray kFourCues =
    "[0]00:00:00 - Start Point\r\n[10]00:00:10 - Vers\r\n[20]00:00:20 - Refrain\r\n"
    "[30]00:00:30\r\n\r\n";

// The program started by its start-up routine in a program folder of its own,
// browsing a music folder of its own, on fake engines whose clock the test
// moves. Message boxes are closed and remembered; the tick runs only when the
// test calls it.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    // Starts the program again on the same settings.
    void Restart(const QStringList& arguments = {});
    // From now on the program plays through the real engine to a silent sink.
    void UseRealEngine();

    QString PathOf(const QString& name) const { return music_.path() + u'/' + name; }
    QString SettingsFile() const { return programFolder_.filePath(QStringLiteral("tembrel.ini")); }
    QByteArray ReadBytes(const QString& path) const;  // "<missing>" when unreadable
    void WriteBytes(const QString& path, const QByteArray& bytes) const;
    QString Setting(const char* key) const;

    // Creates and lists a recording of that length, with its cue file when given.
    void AddRecording(const QString& name, double seconds, const QByteArray* cueFile = nullptr);
    // Double-clicks the recording's entry in the file list.
    void Open(const QString& name);
    // Adds a recording with its cue file and opens it; fails without an engine.
    void OpenWithCues(const QString& name, double seconds, const QByteArray& cueFile);
    // A left click on a list's line, then a double-click.
    void DoubleClick(ListBox* list, int line);
    void Choose(int line) { DoubleClick(window_->lstCue, line); }
    // Drags the position slider's thumb to a second.
    void DragTo(int second);
    // The fake engine created last; null when none is held.
    FakeEngine* Engine() const { return control_->last; }
    // Lets the fake clock run, then ticks once.
    void Play(double seconds);
    // From now on the tick also runs on its own timer, in real time.
    void LetTickRun();
    // The cue points listed: (seconds, line).
    QList<std::pair<qint32, QString>> Cues() const;

    QTemporaryDir programFolder_;
    QTemporaryDir music_;
    std::shared_ptr<FakeEngineControl> control_ = std::make_shared<FakeEngineControl>();
    MediaEngineFactory factory_;
    std::unique_ptr<frmTembrel> window_;
    MessageWatcher messages_;
    // Keeps the tick timer's own events from it.
    struct : QObject {
        bool eventFilter(QObject*, QEvent* event) override {
            return event->type() == QEvent::Timer;
        }
    } timerEvents_;
};

// Texts of all lines of a list box.
QStringList Lines(const ListBox* list);
