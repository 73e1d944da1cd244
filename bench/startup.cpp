// Start-up time: from process start to the main window shown, median of 10
// runs. Each run is a fresh child process (this program again) that performs
// the real start-up routine on a temporary program folder under the offscreen
// platform; the parent times the child from spawn to exit, the child reports
// the time from its own main() to the window being shown.
#include "app/app_module.h"
#include "ui/frm_tembrel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int kRuns = 10;

int RunChild(int argc, char** argv, const QElapsedTimer& sinceMain) {
    QApplication app(argc, argv);
    auto window = Main(QString::fromLocal8Bit(argv[2]) + QStringLiteral("/tembrel"), {},
                       [] { return std::unique_ptr<MediaEngine>(); });
    QCoreApplication::processEvents();
    std::printf("%lld\n", static_cast<long long>(sinceMain.nsecsElapsed() / 1000));
    return window->isVisible() ? 0 : 1;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer sinceMain;
    sinceMain.start();
    if (argc == 3 && std::strcmp(argv[1], "--child") == 0) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return RunChild(argc, argv, sinceMain);
    }

    QTemporaryDir programFolder;
    std::vector<double> wall;
    std::vector<double> inside;
    for (int run = 0; run < kRuns; ++run) {
        QProcess child;
        QElapsedTimer timer;
        timer.start();
        child.start(QString::fromLocal8Bit(argv[0]),
                    {QStringLiteral("--child"), programFolder.path()});
        if (!child.waitForFinished(30000) || child.exitCode() != 0) {
            std::fprintf(stderr, "run %d failed\n", run);
            return 1;
        }
        wall.push_back(timer.nsecsElapsed() / 1e6);
        inside.push_back(child.readAllStandardOutput().trimmed().toDouble() / 1000.0);
    }
    std::printf("start-up, %d runs (offscreen platform)\n", kRuns);
    std::printf("  main() to window shown: median %.1f ms, worst %.1f ms\n", Median(inside),
                *std::max_element(inside.begin(), inside.end()));
    std::printf("  spawn to exit:          median %.1f ms, worst %.1f ms\n", Median(wall),
                *std::max_element(wall.begin(), wall.end()));
    return 0;
}
