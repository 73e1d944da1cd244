#include "app/app_module.h"
#include "app/settings_store.h"
#include "support/program_fixture.h"
#include "ui/drive_list.h"
#include "ui/folder_list.h"
#include "ui/frm_lyrics.h"
#include "ui/frm_tembrel.h"
#include "ui/list_box.h"
#include "ui/scroll_bar.h"
#include "ui/window_geometry.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QString kSection = QStringLiteral("Kestrin's Tembrel");

QString Setting(const ProgramFolder& program, const char* key) {
    return ReadSetting(kSection, QString::fromLatin1(key), program.SettingsFile());
}

}  // namespace

TEST(StartUp, FirstStartUsesDefaultsAndShowsTheProgramFolder) {
    ProgramFolder program;
    TouchFile(program.Path(), QStringLiteral("Probe 1.mp3"));
    auto window = program.Start();

    EXPECT_EQ(window->currentFolder, program.Path());
    EXPECT_EQ(Lines(window->lstPath), QStringList({"[..]", "Probe 1.mp3"}));
    EXPECT_EQ(window->V1->Value(), 0);
    EXPECT_EQ(LeftTwips(window.get()), 195);  // 200 twips, on whole pixels
    EXPECT_EQ(TopTwips(window.get()), 1395);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->focusWidget(), static_cast<QWidget*>(window->dummy));

    frmLyrics* lyrics = window->ExistingLyrics();
    ASSERT_NE(lyrics, nullptr);
    EXPECT_FALSE(lyrics->isVisible());
    EXPECT_EQ(LeftTwips(lyrics), LeftTwips(window.get()) + WidthTwips(window.get()));
    EXPECT_EQ(TopTwips(lyrics), 600);
    EXPECT_EQ(WidthTwips(lyrics), 6000);
    EXPECT_EQ(HeightTwips(lyrics), 7995);
}

TEST(StartUp, StoredSettingsAreApplied) {
    ProgramFolder program;
    QTemporaryDir music;
    TouchFile(music.path(), QStringLiteral("Live/a.wav"));
    program.WriteSettings("; kept by hand\n[KESTRIN'S TEMBREL]\nPfad=" + music.path().toUtf8() +
                          "/Live/\nvolume = -2500\nY=3000\nX=1500\nTop=900\nWidth=4500\n"
                          "Height=3000\n");
    auto window = program.Start();

    EXPECT_EQ(window->currentFolder, music.path() + QStringLiteral("/Live/"));
    EXPECT_EQ(Lines(window->lstPath), QStringList({"[..]", "a.wav"}));
    EXPECT_EQ(window->V1->Value(), -2500);
    EXPECT_EQ(TopTwips(window.get()), 3000);
    EXPECT_EQ(LeftTwips(window.get()), 1500);
    frmLyrics* lyrics = window->ExistingLyrics();
    ASSERT_NE(lyrics, nullptr);
    EXPECT_EQ(TopTwips(lyrics), 900);
    EXPECT_EQ(WidthTwips(lyrics), 4500);
    EXPECT_EQ(HeightTwips(lyrics), 3000);
}

TEST(StartUp, BadSettingsFallBackWithoutFailing) {
    struct Case {
        QByteArray volume;
        int expected;
    };
    for (const Case& c : {Case{"-6000", 0}, Case{"abc", 0}, Case{"-2500.5", -2500},
                          Case{"-2501.5", -2502}, Case{"1e400", 0}, Case{"", 0}}) {
        ProgramFolder program;
        program.WriteSettings("[Kestrin's Tembrel]\nVolume=" + c.volume +
                              "\nY=oben\nX=-\nPfad=/no/such/folder/\nTop=1e999\n");
        auto window = program.Start();
        EXPECT_EQ(window->V1->Value(), c.expected) << c.volume.constData();
        EXPECT_EQ(TopTwips(window.get()), 0);
        EXPECT_EQ(LeftTwips(window.get()), 0);
        // A stored folder that is gone leaves the browser in the working folder.
        EXPECT_EQ(window->dirDirs->Path(), QDir::currentPath());
        window->close();
    }
}

TEST(StartUp, PlacesAndSizesBeyondTheScreenComeBackAndAreWrittenSo) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QByteArray huge = "1" + QByteArray(400, '0');
    // X, Y, Top, Width, Height as the settings file holds them.
    const QList<QByteArrayList> cases = {
        {"1000000000", "1000000000", "1000000000", "1000000000", "1000000000"},
        {"nan", huge, "-" + huge, "inf", huge},
        {"-20000000", "-3000", "-600", "-6000", "-8000"},
        {"30000", "20000", "15000", "6000", "8000"},  // on a screen that is gone
        {"-3000", "0", "0", "1", "15"},
    };
    for (const QByteArrayList& c : cases) {
        const std::string name = c.join(' ').left(60).toStdString();
        ProgramFolder program;
        program.WriteSettings("[Kestrin's Tembrel]\nX=" + c[0] + "\nY=" + c[1] + "\nTop=" + c[2] +
                              "\nWidth=" + c[3] + "\nHeight=" + c[4] + "\n");
        auto window = program.Start();
        frmLyrics* lyrics = window->ExistingLyrics();
        ASSERT_NE(lyrics, nullptr);
        for (const QWidget* shown :
             {static_cast<const QWidget*>(window.get()), static_cast<const QWidget*>(lyrics)}) {
            // The title bar lies on the screen, far enough in to be grabbed.
            const QRect outer(LeftTwips(shown) / 15, TopTwips(shown) / 15, WidthTwips(shown) / 15,
                              HeightTwips(shown) / 15);
            EXPECT_GE(outer.top(), screen.top()) << name;
            EXPECT_LE(outer.top() + 32, screen.bottom() + 1) << name;
            EXPECT_GE(outer.right() + 1 - 64, screen.left()) << name;
            EXPECT_LE(outer.left() + 64, screen.right() + 1) << name;
            EXPECT_LE(outer.width(), screen.width()) << name;
            EXPECT_LE(outer.height(), screen.height()) << name;
            EXPECT_GE(outer.width(), 128) << name;
            EXPECT_GE(outer.height(), 64) << name;
        }
        const QStringList corrected = {
            QString::number(LeftTwips(window.get())), QString::number(TopTwips(window.get())),
            QString::number(TopTwips(lyrics)), QString::number(WidthTwips(lyrics)),
            QString::number(HeightTwips(lyrics))};
        window->close();
        const QStringList written = {Setting(program, "X"), Setting(program, "Y"),
                                     Setting(program, "Top"), Setting(program, "Width"),
                                     Setting(program, "Height")};
        EXPECT_EQ(written.join(u' ').toStdString(), corrected.join(u' ').toStdString()) << name;
    }
}

TEST(StartUp, GarbageSettingsFileReadsAsDefaults) {
    ProgramFolder program;
    static const char kGarbage[] = "\x00\xff[Kestrin's Tembrel\n=\n\xfe\xfe=Volume\nY\x00=5\n";
    program.WriteSettings(QByteArray(kGarbage, sizeof(kGarbage) - 1));
    auto window = program.Start();
    EXPECT_EQ(window->V1->Value(), 0);
    EXPECT_EQ(TopTwips(window.get()), 1395);
}

TEST(StartUp, CommandLineFileSelectsItsEntry) {
    ProgramFolder program;
    QTemporaryDir music;
    TouchFile(music.path(), QStringLiteral("Probe 1.mp3"));
    TouchFile(music.path(), QStringLiteral("probe 1.MP3"));
    TouchFile(music.path(), QStringLiteral("Zwei.wav"));

    // Blanks split the path into several arguments; they are joined again.
    auto window = program.Start({music.path() + QStringLiteral("/Probe"), QStringLiteral("1.mp3")});
    EXPECT_EQ(window->Program().CommandPath, music.path() + QStringLiteral("/Probe 1.mp3"));
    EXPECT_EQ(window->currentFolder, music.path() + QLatin1Char('/'));
    EXPECT_EQ(window->lstPath->Text(), QStringLiteral("Probe 1.mp3"));
    window->close();

    // Quotes are removed; letter case decides only when no name matches exactly.
    window = program.Start({QLatin1Char('"') + music.path() + QStringLiteral("/ZWEI.WAV\"")});
    EXPECT_EQ(window->currentFolder, music.path() + QLatin1Char('/'));
    EXPECT_EQ(window->lstPath->Text(), QStringLiteral("Zwei.wav"));
    window->close();

    // A relative path resolves against the working folder.
    const QString saved = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(music.path()));
    window = program.Start({QStringLiteral("Zwei.wav")});
    QDir::setCurrent(saved);
    EXPECT_EQ(window->Program().CommandPath, music.path() + QStringLiteral("/Zwei.wav"));
    EXPECT_EQ(window->lstPath->Text(), QStringLiteral("Zwei.wav"));
}

TEST(StartUp, CommandLineFolderOrOtherFileSelectsNothing) {
    ProgramFolder program;
    QTemporaryDir music;
    TouchFile(music.path(), QStringLiteral("Live/x.mp3"));
    TouchFile(music.path(), QStringLiteral("Probe.ogg"));
    for (const QString& argument :
         {music.path() + QStringLiteral("/Live"), music.path() + QStringLiteral("/Probe.ogg")}) {
        auto window = program.Start({argument});
        EXPECT_EQ(window->currentFolder, music.path() + QLatin1Char('/'));
        EXPECT_EQ(Lines(window->lstPath), QStringList({"[..]", "[Live]"}));
        EXPECT_EQ(window->lstPath->ListIndex(), -1);
        window->close();
    }
}

TEST(StartUp, AnInstalledCopyKeepsItsSettingsInTheUsersConfiguration) {
    QTemporaryDir config;
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    ProgramValues program;
    InitPaths(program, QStringLiteral("/usr/bin/tembrel"));
    InitSettingsFile(program);
    qputenv("XDG_CONFIG_HOME", saved);
    EXPECT_EQ(program.AppPath, QStringLiteral("/usr/bin/"));
    EXPECT_EQ(program.ExeName, QStringLiteral("tembrel"));
    EXPECT_EQ(program.IniFile, config.path() + QStringLiteral("/tembrel/tembrel.ini"));

    ProgramFolder own;
    InitPaths(program, own.ProgramFile());
    InitSettingsFile(program);
    EXPECT_EQ(program.IniFile, own.SettingsFile());
}

TEST(Exit, WritesAllSevenSettings) {
    ProgramFolder program;
    QTemporaryDir music;
    TouchFile(music.path(), QStringLiteral("Live/x.mp3"));
    program.WriteSettings("# comment\n[Other]\nVolume=7\n\n[kestrin's tembrel]\nPfad=" +
                          music.path().toUtf8() + "/\n");
    auto window = program.Start();
    window->V1->SetValue(-2500);
    window->lstPath->SetListIndex(1);
    ASSERT_EQ(window->lstPath->Text(), QStringLiteral("[Live]"));
    window->lstPath_DblClick();
    window->close();

    EXPECT_EQ(Setting(program, "Pfad"), music.path() + QStringLiteral("/Live/"));
    EXPECT_EQ(Setting(program, "Volume"), QStringLiteral("-2500"));
    EXPECT_EQ(Setting(program, "Y"), QStringLiteral("1395"));
    EXPECT_EQ(Setting(program, "X"), QStringLiteral("195"));
    EXPECT_EQ(Setting(program, "Top"), QStringLiteral("600"));
    EXPECT_EQ(Setting(program, "Width"), QStringLiteral("6000"));
    EXPECT_EQ(Setting(program, "Height"), QStringLiteral("7995"));
    // What the program does not own survives.
    const QString text = program.ReadSettings();
    EXPECT_TRUE(text.startsWith(QStringLiteral("# comment\n[Other]\nVolume=7\n")))
        << text.toStdString();

    // The next start applies what was written.
    window = program.Start();
    EXPECT_EQ(window->currentFolder, music.path() + QStringLiteral("/Live/"));
    EXPECT_EQ(window->V1->Value(), -2500);
}

TEST(Exit, AFolderThatCannotBeStoredCostsOnlyItsOwnKey) {
    ProgramFolder program;
    QTemporaryDir music;
    TouchFile(music.path(), QStringLiteral("Zeile\numbruch/x.mp3"));
    program.WriteSettings("[Kestrin's Tembrel]\nPfad=" + music.path().toUtf8() + "/\n");
    auto window = program.Start();
    window->V1->SetValue(-2500);
    ASSERT_TRUE(window->dirDirs->SetPath(music.path() + QStringLiteral("/Zeile\numbruch")));
    window->close();
    EXPECT_EQ(Setting(program, "Pfad"), music.path() + QStringLiteral("/"));
    EXPECT_EQ(Setting(program, "Volume"), QStringLiteral("-2500"));
    EXPECT_EQ(Setting(program, "Height"), QStringLiteral("7995"));
}

TEST(Exit, AShownLyricsWindowKeepsItsOuterSize) {
    // The offscreen platform frames a window when it is first shown, as a
    // window manager does.
    ProgramFolder program;
    program.WriteSettings("[Kestrin's Tembrel]\nWidth=6000\nHeight=7995\n");
    for (const bool framed : {false, true}) {
        auto window = program.Start();
        frmLyrics* lyrics = window->ExistingLyrics();
        lyrics->show();
        if (framed) {
            ASSERT_TRUE(QTest::qWaitForWindowExposed(lyrics));
            EXPECT_EQ(lyrics->frameGeometry().size(), QSize(400, 533));
        }
        window->close();
        EXPECT_EQ(Setting(program, "Width"), QStringLiteral("6000")) << framed;
        EXPECT_EQ(Setting(program, "Height"), QStringLiteral("7995")) << framed;
    }
}

TEST(Exit, UnwritableSettingsStillEndNormally) {
    ProgramFolder program;
    // A folder where the settings file should be cannot be replaced by a file.
    ASSERT_TRUE(QDir().mkpath(program.SettingsFile()));
    auto window = program.Start();
    window->V1->SetValue(-100);
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(QFileInfo(program.SettingsFile()).isDir());
}
