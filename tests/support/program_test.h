#pragma once

#include "playback/time_text.h"
#include "support/fake_engine.h"
#include "ui/folder_list.h"
#include "ui/frm_lyrics.h"
#include "ui/frm_tembrel.h"
#include "ui/list_box.h"
#include "ui/scroll_bar.h"
#include "ui/title_box.h"
#include "ui/window_geometry.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

inline const QString kSection = QStringLiteral("Kestrin's Tembrel");
inline const QString kOpenError = QStringLiteral("Fehler beim Öffnen der Datei. ");
inline const QString kCueWriteError = QStringLiteral("Fehler beim Schreiben der Cue-Datei. ");
inline const QString kWriteError = QStringLiteral("Fehler beim Schreiben der Datei. ");

// Cue points: the start point at 0, "Vers" at 10, "Refrain" at 20, one without title at 30.
inline const QByteArray kFourCues =
    "[0]00:00:00 - Start Point\r\n[10]00:00:10 - Vers\r\n[20]00:00:20 - Refrain\r\n"
    "[30]00:00:30\r\n\r\n";

// Closes every message box the program shows while the watcher lives and
// remembers what they said, oldest first.
class MessageWatcher {
public:
    MessageWatcher() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts_ << box->text();
                box->done(QMessageBox::Ok);
            }
        });
        timer_.start(5);
    }
    const QStringList& texts() const { return texts_; }

private:
    QTimer timer_;
    QStringList texts_;
};

// Runs the event loop until the condition holds, at most the given time;
// returns whether it holds.
inline bool WaitFor(const std::function<bool()>& condition, int milliseconds = 10000) {
    const QDeadlineTimer deadline(milliseconds);
    while (!condition() && !deadline.hasExpired()) {
        QTest::qWait(5);
    }
    return condition();
}

// The program started by its start-up routine in a program folder of its own,
// browsing a music folder of its own, on fake engines whose clock the test
// moves. Message boxes are closed and remembered; the tick runs only when the
// test calls it (Play), or in real time after LetTickRun.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    void Restart(const QStringList& arguments = {});  // on the same settings
    void UseRealEngine();                             // from now on, playing to a silent sink
    void LetTickRun();

    QString PathOf(const QString& name) const { return music_.path() + u'/' + name; }
    QString SettingsFile() const { return programFolder_.filePath(QStringLiteral("tembrel.ini")); }
    QByteArray ReadBytes(const QString& path) const;  // "<missing>" when unreadable
    void WriteBytes(const QString& path, const QByteArray& bytes) const;
    QString Setting(const char* key) const;

    // Creates and lists a recording of that length, with its cue file when given.
    void AddRecording(const QString& name, double seconds, const QByteArray* cueFile = nullptr);
    void Open(const QString& name);  // double-clicks it in the file list
    void OpenWithCues(const QString& name, double seconds, const QByteArray& cueFile);
    void DoubleClick(ListBox* list, int line);  // after a click on the line
    void Choose(int line) { DoubleClick(window_->lstCue, line); }
    void DragTo(int second);  // the position slider's thumb
    FakeEngine* Engine() const { return control_->last; }
    void Play(double seconds);                       // lets the fake clock run, then ticks once
    QList<std::pair<qint32, QString>> Cues() const;  // seconds and line

    QTemporaryDir programFolder_;
    QTemporaryDir music_;
    std::shared_ptr<FakeEngineControl> control_ = std::make_shared<FakeEngineControl>();
    MediaEngineFactory factory_;
    std::unique_ptr<frmTembrel> window_;
    MessageWatcher messages_;
    struct : QObject {  // keeps the tick timer's own events from it
        bool eventFilter(QObject*, QEvent* event) override {
            return event->type() == QEvent::Timer;
        }
    } timerEvents_;
};

QStringList Lines(const ListBox* list);
