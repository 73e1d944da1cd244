// Big inputs through the main window, each step timed on its own:
// - a cue file of 100,000 cue points: the open, one step of a slider drag,
//   one tick while playing;
// - a cue point with a 10 MB title: the open, choosing it, nudging it,
//   retitling another cue;
// - lyrics files: one just under the size limit loaded by a cue choice (time
//   and memory), and one of 50 MB, which is refused.
// The engine is a stand-in that only keeps a position, so the figures are
// the window's own.
#include "lyrics/lyrics_naming.h"
#include "support/bench_audio.h"
#include "ui/folder_list.h"
#include "ui/frm_lyrics.h"
#include "ui/frm_tembrel.h"
#include "ui/list_box.h"
#include "ui/scroll_bar.h"
#include "ui/title_box.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

// An engine that renders anything as a recording of a fixed length.
class StandIn final : public MediaEngine {
public:
    bool RenderFile(const QString&) override { return true; }
    bool Run() override { return true; }
    bool Pause() override { return true; }
    bool Stop() override { return true; }
    std::optional<double> Duration() override { return kLength; }
    std::optional<double> CurrentPosition() override { return position_; }
    bool SetCurrentPosition(double seconds) override {
        position_ = std::clamp(seconds, 0.0, kLength);
        return true;
    }
    bool SetLoop(int, int) override { return true; }
    bool ClearLoop() override { return true; }
    bool SetRate(double) override { return true; }
    bool SetVolume(long) override { return true; }
    bool SetBalance(long) override { return true; }

    static constexpr double kLength = 200000;

private:
    double position_ = 0;
};

// Resident memory of the process in MiB.
double ResidentMiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stod(line.substr(6)) / 1024;
        }
    }
    return 0;
}

double Milliseconds(const std::function<void()>& step) {
    QElapsedTimer timer;
    timer.start();
    step();
    QApplication::processEvents();  // the list and the boxes lay out and paint
    return timer.nsecsElapsed() / 1e6;
}

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(bytes);
    }
}

struct Player {
    std::unique_ptr<frmTembrel> window;
    StandIn* engine = nullptr;

    explicit Player(const QString& folder) {
        window = std::make_unique<frmTembrel>(ProgramValues{}, [this] {
            auto made = std::make_unique<StandIn>();
            engine = made.get();
            return made;
        });
        window->Timer1->stop();
        window->show();
        window->dirDirs->SetPath(folder);
    }

    double Open(const QString& name) {
        return Milliseconds([&] {
            window->dirDirs_Change();
            for (int i = 0; i < window->lstPath->ListCount(); ++i) {
                if (window->lstPath->List(i) == name) {
                    window->lstPath->SetListIndex(i);
                }
            }
            window->lstPath_DblClick();
        });
    }

    double Choose(int line) {
        return Milliseconds([&] {
            window->lstCue->SetListIndex(line);
            window->lstCue_DblClick();
        });
    }
};

void ManyCues(const QString& d) {
    QByteArray cues;
    for (int i = 0; i < 100000; ++i) {
        cues += "[" + QByteArray::number(i) + "]00:00:00 - Cue " + QByteArray::number(i) + "\r\n";
    }
    Write(d + "/many.cue", cues);
    Write(d + "/many.mp3", "");
    Player player(d);
    const double open = player.Open("many.mp3");
    std::vector<double> drags, ticks;
    for (int step = 0; step < 20; ++step) {
        drags.push_back(Milliseconds([&] {
            player.window->H1->setValue(99000 - step * 4000);  // as a drag would
            player.window->H1_Scroll();
        }));
        player.engine->SetCurrentPosition(50000.5 + step);
        ticks.push_back(Milliseconds([&] { player.window->Timer1_Timer(); }));
    }
    std::printf(
        "100,000 cue points: open %.0f ms; drag step %.1f ms (worst %.1f); "
        "tick %.2f ms (worst %.2f)\n",
        open, Median(drags), Worst(drags), Median(ticks), Worst(ticks));
}

void LongTitle(const QString& d) {
    const QByteArray title(10 * 1000 * 1000, 'x');
    Write(d + "/title.cue",
          "[0]00:00:00 - Start Point\r\n[5]00:00:05 - " + title + "\r\n[9]00:00:09 - Ende\r\n\r\n");
    Write(d + "/title.mp3", "");
    Player player(d);
    const double open = player.Open("title.mp3");
    const double choose = player.Choose(1);
    const double nudge = Milliseconds([&] { player.window->Command3_Click(); });
    const double retitle = Milliseconds([&] {
        player.window->lstCue->SetListIndex(2);
        player.window->txtCueTitle->SetTitle(QStringLiteral("Schluss"));
        player.window->txtCueTitle_KeyPress();
    });
    QFile saved(d + "/title.cue");
    saved.open(QIODevice::ReadOnly);
    std::printf(
        "10 MB title: open %.0f ms, choose %.0f ms, nudge %.0f ms, retitle another "
        "%.0f ms; the cue file keeps the whole title: %s\n",
        open, choose, nudge, retitle, saved.readAll().contains(title) ? "yes" : "NO");
}

void BigLyrics(const QString& d) {
    QByteArray text;
    while (text.size() + 40 < kMaxLyricsBytes) {
        text += "C       G       Am      F  la la la\r\n";
    }
    Write(d + "/lyrics.cue",
          "[0]00:00:00 - Start Point\r\n[5]00:00:05 - Gross\r\n"
          "[9]00:00:09 - Riesig\r\n\r\n");
    Write(d + "/lyrics.mp3", "");
    Write(d + "/Gross.txt", text);
    Write(d + "/Riesig.txt", QByteArray(50 * 1000 * 1000, 'x'));
    Player player(d);
    player.Open("lyrics.mp3");
    player.window->Lyrics();
    QApplication::processEvents();
    const double before = ResidentMiB();
    const double load = player.Choose(1);
    const double grown = ResidentMiB() - before;
    // The refusal shows a message box; it is closed as soon as it appears.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            box->close();
        }
    });
    closer.start(1);
    const double refuse = player.Choose(2);
    std::printf(
        "lyrics of %.1f MB: loaded in %.0f ms, memory +%.0f MB (%.1fx the file); "
        "50 MB refused in %.0f ms (box closed at once)\n",
        text.size() / 1e6, load, grown, grown * 1048576 / text.size(), refuse);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QTemporaryDir dir;
    ManyCues(dir.path());
    LongTitle(dir.path());
    BigLyrics(dir.path());
    return 0;
}
