// Start-up and exit: the settings file, the window places and the command line.
#include "app/app_module.h"
#include "support/program_test.h"
#include "ui/folder_list.h"
#include "ui/frm_lyrics.h"
#include "ui/list_box.h"
#include "ui/screen_places.h"
#include "ui/scroll_bar.h"
#include "ui/window_geometry.h"

#include <QDir>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTest>

using StartUp = ProgramTest;

const char* const kPlaces[] = {"Y", "X", "Top", "Width", "Height"};

// Y and X of the main window, Top, Width and Height of the lyrics window, in twips.
QStringList Places(const frmTembrel* window) {
    const frmLyrics* lyrics = window->ExistingLyrics();
    return {QString::number(TopTwips(window)), QString::number(LeftTwips(window)),
            QString::number(TopTwips(lyrics)), QString::number(WidthTwips(lyrics)),
            QString::number(HeightTwips(lyrics))};
}

TEST_F(StartUp, StoredSettingsApplyAndTheExitWritesAllSevenLeavingOtherLines) {
    WriteBytes(PathOf(QStringLiteral("Live/Zeile\numbruch/x.mp3")), {});
    const QByteArray music = music_.path().toUtf8();
    const QByteArray foreign = "# mine\n[Other]\nVolume=7\n\n[kestrin's tembrel]\nPfad=" + music;
    WriteBytes(SettingsFile(), foreign + "/\nX=1510\n");
    Restart();
    // 1510 twips are 100.67 pixels, so 101; the others are the defaults.
    const QStringList places = {"1395", "1515", "600", "6000", "7995"};
    EXPECT_EQ(Places(window_.get()), places);
    EXPECT_EQ(LeftTwips(window_->ExistingLyrics()), 1515 + WidthTwips(window_.get()));
    EXPECT_EQ(window_->focusWidget(), static_cast<QWidget*>(window_->dummy));
    EXPECT_EQ(window_->V1->Value(), 0);
    window_->V1->SetValue(-2500);
    Open(QStringLiteral("[Live]"));
    window_->ExistingLyrics()->show();
    window_->close();
    const QByteArray written = foreign +
                               "/Live/\nX=1515\nVolume=-2500\nY=1395\nTop=600\n"
                               "Width=6000\nHeight=7995\n";
    EXPECT_EQ(ReadBytes(SettingsFile()), written);
    Restart();
    EXPECT_EQ(window_->currentFolder, PathOf(QStringLiteral("Live/")));
    EXPECT_EQ(window_->V1->Value(), -2500);
    EXPECT_EQ(Places(window_.get()), places);

    // A framed lyrics window keeps its outer size (the offscreen platform
    // frames a window when first shown); a folder that cannot be stored costs
    // only its own key.
    window_->ExistingLyrics()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_->ExistingLyrics()));
    EXPECT_EQ(window_->ExistingLyrics()->frameGeometry().size(), QSize(400, 533));
    window_->V1->SetValue(-100);
    ASSERT_TRUE(window_->dirDirs->SetPath(PathOf(QStringLiteral("Live/Zeile\numbruch"))));
    window_->close();
    EXPECT_EQ(ReadBytes(SettingsFile()), QByteArray(written).replace("-2500", "-100"));
}

TEST_F(StartUp, PlacesAndSizesBeyondTheScreenComeBackAndAreWrittenSo) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QByteArray huge = "1" + QByteArray(400, '0');
    // Volume, Y, X, Top, Width and Height as the file holds them; the volume shown.
    const std::pair<QByteArrayList, int> cases[] = {
        {{"-2501.5", "1000000000", "1000000000", "1000000000", "1000000000", "1000000000"}, -2502},
        {{"1e308", huge, "nan", "-" + huge, "inf", huge}, 0},
        {{"-6000", "-3000", "-20000000", "-600", "-6000", "-8000"}, 0},
        {{"-2500.5", "20000", "30000", "15000", "6000", "8000"}, -2500},  // a screen that is gone
        {{"abc", "0", "-3000", "0", "1", "15"}, 0}};
    for (const auto& [values, volume] : cases) {
        QByteArray text = "[Kestrin's Tembrel]\nPfad=/no/such/folder/\nVolume=" + values[0];
        for (int i = 0; i < 5; ++i) {
            text += QByteArray("\n") + kPlaces[i] + '=' + values[i + 1];
        }
        WriteBytes(SettingsFile(), text);
        Restart();
        const std::string name = values.join(' ').left(60).toStdString();
        EXPECT_EQ(window_->V1->Value(), volume) << name;
        // A stored folder that is gone leaves the browser in the working folder.
        EXPECT_EQ(window_->dirDirs->Path(), QDir::currentPath());
        for (const QWidget* shown : {static_cast<QWidget*>(window_.get()),
                                     static_cast<QWidget*>(window_->ExistingLyrics())}) {
            // The title bar can be grabbed, and the size fits the screen.
            const QRect outer(LeftTwips(shown) / 15, TopTwips(shown) / 15, WidthTwips(shown) / 15,
                              HeightTwips(shown) / 15);
            EXPECT_EQ(WithinScreens(outer, {screen}), outer) << name;
        }
        const QStringList corrected = Places(window_.get());
        window_->close();
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(Setting(kPlaces[i]), corrected[i]) << kPlaces[i] << ' ' << name;
        }
    }
}

TEST_F(StartUp, TheCommandLineNamesTheFileToOpen) {
    for (const char* name : {"Probe 1.mp3", "probe 1.MP3", "Zwei.wav", "Live/x.mp3", "x.txt"}) {
        AddRecording(QString::fromUtf8(name), 60);
    }
    const QString music = music_.path();
    // Arguments split at blanks are joined; quotes go; the letter case decides
    // only when no name matches exactly; a relative path starts here.
    const std::pair<QStringList, const char*> cases[] = {
        {{music + QStringLiteral("/Probe"), QStringLiteral("1.mp3")}, "Probe 1.mp3"},
        {{u'"' + music + QStringLiteral("/ZWEI.WAV\"")}, "Zwei.wav"},
        {{QStringLiteral("Zwei.wav")}, "Zwei.wav"},
        {{music + QStringLiteral("/Live")}, ""},
        {{music + QStringLiteral("/x.txt")}, ""}};
    const QString saved = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(music));
    for (const auto& [arguments, opened] : cases) {
        Restart(arguments);
        EXPECT_EQ(window_->currentFolder, music + u'/') << opened;
        EXPECT_EQ(window_->lstPath->Text(), QString::fromUtf8(opened));
        EXPECT_EQ(window_->currentFile, *opened ? PathOf(QString::fromUtf8(opened)) : QString());
    }
    QDir::setCurrent(saved);
}

TEST_F(StartUp, AnInstalledCopyKeepsItsSettingsInTheUsersConfiguration) {
    QTemporaryDir config;
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    ProgramValues installed;
    InitPaths(installed, QStringLiteral("/usr/bin/tembrel"));
    InitSettingsFile(installed);
    qputenv("XDG_CONFIG_HOME", saved);
    EXPECT_EQ(installed.IniFile, config.path() + QStringLiteral("/tembrel/tembrel.ini"));
}
