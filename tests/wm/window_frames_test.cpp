// Runs on a real X display with a window manager that frames the windows
// (see run_with_window_manager.sh).
#include "support/program_test.h"

using WindowFrames = ProgramTest;

TEST_F(WindowFrames, StartShowAndExitKeepTheStoredPlaces) {
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    // Whole pixels, on the screen.
    const QString places = QStringLiteral("X=1500 Y=1200 Top=900 Width=6000 Height=7995 ");
    WriteBytes(SettingsFile(), "[Kestrin's Tembrel]\n" + places.split(u' ').join(u'\n').toUtf8());
    for (int cycle = 1; cycle <= 3; ++cycle) {
        Restart();
        frmLyrics* lyrics = window_->Lyrics();
        lyrics->show();
        // Docked at the main window's outer right edge, with the outer size
        // given at start applied again once the frame is known.
        const auto docked = [&] {
            const QRect main = window_->frameGeometry();
            return main.size() != window_->size() &&
                   lyrics->frameGeometry() != lyrics->geometry() &&
                   main.topLeft() == QPoint(100, 80) &&
                   lyrics->frameGeometry() == QRect(main.right() + 1, 60, 400, 533);
        };
        EXPECT_TRUE(WaitFor(docked, 20000)) << "cycle " << cycle;
        // The text box keeps to its rule inside the frame: 5860 x 7260 twips.
        EXPECT_EQ(lyrics->txtLyrics->size(), QSize(391, 484)) << "cycle " << cycle;
        EXPECT_TRUE(window_->close());
        QString stored;
        for (const char* key : {"X", "Y", "Top", "Width", "Height"}) {
            stored += QString::fromUtf8(key) + u'=' + Setting(key) + u' ';
        }
        ASSERT_EQ(stored, places) << "cycle " << cycle;
    }
}
