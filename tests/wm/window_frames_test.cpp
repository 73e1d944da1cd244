// Runs on a real X display with a window manager that frames the windows
// (see run_with_window_manager.sh).
#include "app/settings_store.h"
#include "support/program_fixture.h"
#include "support/real_time.h"
#include "ui/frm_lyrics.h"
#include "ui/frm_tembrel.h"

#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QRect>

#include <string>

#include <gtest/gtest.h>

namespace {

const QString kSection = QStringLiteral("Kestrin's Tembrel");
const QStringList kPlaces = {"X", "Y", "Top", "Width", "Height"};

std::string StoredPlaces(const ProgramFolder& program) {
    QStringList values;
    for (const QString& key : kPlaces) {
        values << key + u'=' + ReadSetting(kSection, key, program.SettingsFile());
    }
    return values.join(u' ').toStdString();
}

std::string Text(const QRect& r) {
    return QStringLiteral("%1,%2 %3x%4 ")
        .arg(r.x())
        .arg(r.y())
        .arg(r.width())
        .arg(r.height())
        .toStdString();
}

bool Framed(const QWidget* window) {
    return window->frameGeometry().size() != window->geometry().size();
}

}  // namespace

TEST(WindowFrames, StartShowAndExitKeepTheStoredPlaces) {
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    ProgramFolder program;
    // Whole pixels, on the screen.
    program.WriteSettings(
        "[Kestrin's Tembrel]\nX=1500\nY=1200\nTop=900\nWidth=6000\nHeight=7995\n");
    const std::string stored = StoredPlaces(program);

    for (int cycle = 1; cycle <= 3; ++cycle) {
        auto window = program.Start();
        ASSERT_TRUE(WaitFor([&] { return Framed(window.get()); }, 20000));
        frmLyrics* lyrics = window->Lyrics();
        lyrics->show();
        ASSERT_TRUE(WaitFor([&] { return Framed(lyrics); }, 20000));
        // Docked at the main window's outer right edge, with the outer size
        // given at start applied again once the frame is known.
        const auto docked = [&] {
            const QRect main = window->frameGeometry();
            return main.topLeft() == QPoint(100, 80) &&
                   lyrics->frameGeometry() == QRect(main.right() + 1, 60, 400, 533);
        };
        WaitFor(docked, 10000);
        EXPECT_TRUE(docked()) << "cycle " << cycle << ": main " << Text(window->frameGeometry())
                              << Text(window->geometry()) << "lyrics "
                              << Text(lyrics->frameGeometry()) << Text(lyrics->geometry());
        // The text box keeps to its rule inside the frame: 5860 x 7260 twips.
        EXPECT_EQ(lyrics->txtLyrics->size(), QSize(391, 484)) << "cycle " << cycle;
        EXPECT_TRUE(window->close());
        ASSERT_EQ(StoredPlaces(program), stored) << "cycle " << cycle;
    }
}
