// Start-up and exit, settings, text encodings and safe saves.
#include "app/app_module.h"
#include "app/safe_save.h"
#include "app/settings_store.h"
#include "app/text_codec.h"
#include "support/private_bus.h"
#include "support/program_test.h"
#include "support/test_audio.h"
#include "ui/screen_places.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QProcess>
#include <QScreen>
#include <QThread>
#include <QUrl>

#include <fcntl.h>
#include <grp.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <ctime>
#include <memory>
#include <numeric>

using App = ProgramTest;
constexpr uid_t kNobody = 65534;
const char* const kPlaces[] = {"Y", "X", "Top", "Width", "Height"};

// Y and X of the main window, Top, Width and Height of the lyrics window, in twips.
QStringList Places(const frmTembrel* window) {
    const frmLyrics* lyrics = window->ExistingLyrics();
    return {QString::number(TopTwips(window)), QString::number(LeftTwips(window)),
            QString::number(TopTwips(lyrics)), QString::number(WidthTwips(lyrics)),
            QString::number(HeightTwips(lyrics))};
}

// What is at the path itself, not what a link there names; zeros when nothing.
struct stat Status(const QString& path) {
    struct stat status {};
    ::lstat(QFile::encodeName(path).constData(), &status);
    return status;
}

TEST(TextCodec, ReadsUtf8ElseLegacyAndWritesLegacyOnlyWhenItReadsBack) {
    EXPECT_EQ(DecodeText("\xef\xbb\xbf\xc3\xa4 \xe2\x82\xac"), QStringLiteral("ä €"));
    EXPECT_EQ(DecodeText("\xe4 \x80 \x93\x81"), QStringLiteral("ä € “\u0081"));
    EXPECT_EQ(DecodeText("\xc3\xa4\xc3"), QStringLiteral("Ã¤Ã"));  // cut UTF-8 is legacy
    EXPECT_EQ(EncodeText(QStringLiteral("Grüße € “x”\r\n")), "Gr\xfc\xdf\x65 \x80 \x93x\x94\r\n");
    EXPECT_EQ(EncodeText(QStringLiteral("ä 中")), "\xc3\xa4 \xe4\xb8\xad");
    // As legacy bytes, "Ã©" would read back as "é".
    EXPECT_EQ(EncodeText(QStringLiteral("Ã©")), "\xc3\x83\xc2\xa9");
    QByteArray everyByte(255, '\0');
    std::iota(everyByte.begin(), everyByte.end(), char(1));
    EXPECT_EQ(EncodeText(DecodeText(everyByte)), everyByte);
}

TEST_F(App, SettingsKeepToTheRulesAndFailuresLeaveTheOldFile) {
    const QString text = QStringLiteral(
        " [ kestrin's TEMBREL ] \r\n Pfad = /m/ \r\n#Y=1\r\n[B]\r\nY=9\r\n"
        "[Kestrin's Tembrel]\r\nY=2\r\n");
    EXPECT_EQ(IniLookup(text, kSection, QStringLiteral("pfad")), QStringLiteral("/m/"));
    EXPECT_EQ(IniLookup(text, kSection, QStringLiteral("Y")), std::nullopt);
    EXPECT_EQ(IniWithValue(text, kSection, QStringLiteral("k=x"), QStringLiteral("v")), text);
    const QString file = PathOf("t.ini");
    ASSERT_EQ(::mkfifo(QFile::encodeName(PathOf("fifo.ini")).constData(), 0600), 0);
    // A file from an older system keeps its code page; a value that cannot be
    // stored is skipped and the others are written.
    WriteBytes(file, "[Andere]\nName=M\xfcller\n");
    EXPECT_FALSE(WriteSettings(kSection, {{"Y", "a\nb"}, {"X", "ä"}}, file));
    EXPECT_EQ(ReadBytes(file), "[Andere]\nName=M\xfcller\n[Kestrin's Tembrel]\nX=\xe4\n");
    const QString pfad = QString(2046, u'c') + QStringLiteral("😀");
    ASSERT_TRUE(
        WriteSettings(kSection, {{"Y", "  "}, {"Pfad", pfad}, {"Top", QString(3000, u'a')}}, file));
    const auto read = [&](const char* key, const QString& where) {
        return ReadSetting(kSection, QString::fromUtf8(key), where, QStringLiteral("d"));
    };
    // Empty values give the default; values are cut to 2047 characters, never
    // inside a character.
    EXPECT_EQ(
        QStringList({read("y", file), read("x", file), read("PFAD", file), read("top", file)}),
        QStringList({"d", "ä", QString(2046, u'c'), QString(2047, u'a')}));
    for (const QString& where : {PathOf("fifo.ini"), music_.path(), PathOf("missing")}) {
        EXPECT_EQ(read("X", where), QStringLiteral("d"));
    }
    // No temporary fits beside a name at the length limit; a folder is no file.
    const QString longName = PathOf(QString(250, u'n') + QStringLiteral(".ini"));
    WriteBytes(longName, "[B]\n");
    for (const QString& path : {longName, PathOf("no/t.ini"), music_.path()}) {
        EXPECT_FALSE(WriteSetting(kSection, QStringLiteral("X"), QStringLiteral("1"), path));
    }
    EXPECT_EQ(ReadBytes(longName), "[B]\n");
    EXPECT_EQ(QDir(music_.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 3);
}

TEST_F(App, StoredSettingsApplyAndTheExitWritesAllSevenLeavingOtherLines) {
    WriteBytes(PathOf("Live/Zeile\numbruch/x.mp3"), {});
    const QByteArray foreign =
        "# mine\n[Other]\nVolume=7\n\n[kestrin's tembrel]\nPfad=" + music_.path().toUtf8();
    WriteBytes(SettingsFile(), foreign + "/\nX=1510\n");
    Restart();
    // 1510 twips are 100.67 pixels, so 101; the others are the defaults.
    const QStringList places = {"1395", "1515", "600", "6000", "7995"};
    EXPECT_EQ(Places(window_.get()), places);
    EXPECT_EQ(LeftTwips(window_->ExistingLyrics()), 1515 + WidthTwips(window_.get()));
    EXPECT_EQ(window_->focusWidget(), static_cast<QWidget*>(window_->dummy));
    EXPECT_EQ(window_->V1->Value(), 0);
    window_->V1->SetValue(-2500);
    Open("[Live]");
    window_->ExistingLyrics()->show();
    window_->close();
    const QByteArray written =
        foreign + "/Live/\nX=1515\nVolume=-2500\nY=1395\nTop=600\nWidth=6000\nHeight=7995\n";
    EXPECT_EQ(ReadBytes(SettingsFile()), written);
    Restart();
    EXPECT_EQ(window_->currentFolder, PathOf("Live/"));
    EXPECT_EQ(window_->V1->Value(), -2500);
    EXPECT_EQ(Places(window_.get()), places);
    // A framed lyrics window keeps its outer size; a folder that cannot be
    // stored costs only its own key.
    window_->ExistingLyrics()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_->ExistingLyrics()));
    EXPECT_EQ(window_->ExistingLyrics()->frameGeometry().size(), QSize(400, 533));
    window_->V1->SetValue(-100);
    ASSERT_TRUE(window_->dirDirs->SetPath(PathOf("Live/Zeile\numbruch")));
    window_->close();
    EXPECT_EQ(ReadBytes(SettingsFile()), QByteArray(written).replace("-2500", "-100"));
    // An installed copy keeps its settings in the user's configuration.
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(programFolder_.path()));
    ProgramValues installed;
    InitPaths(installed, QStringLiteral("/usr/bin/tembrel"));
    InitSettingsFile(installed);
    qputenv("XDG_CONFIG_HOME", saved);
    EXPECT_EQ(installed.IniFile, programFolder_.filePath("tembrel/tembrel.ini"));
}

TEST_F(App, PlacesAndSizesBeyondTheScreenComeBackAndAreWrittenSo) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QByteArray huge = "1" + QByteArray(400, '0');
    // Volume, Y, X, Top, Width and Height as the file holds them; the volume shown.
    const std::pair<QByteArrayList, int> cases[] = {
        {{"-2501.5", "1000000000", "1000000000", "1000000000", "1000000000", "1000000000"}, -2502},
        {{"1e308", huge, "nan", "-" + huge, "inf", huge}, 0},
        {{"-6000", "-3000", "-20000000", "-600", "1", "15"}, 0}};
    for (const auto& [values, volume] : cases) {
        QByteArray text = "[Kestrin's Tembrel]\nPfad=/no/such/folder/\nVolume=" + values[0];
        for (int i = 0; i < 5; ++i) {
            text += QByteArray("\n") + kPlaces[i] + '=' + values[i + 1];
        }
        WriteBytes(SettingsFile(), text);
        Restart();
        EXPECT_EQ(window_->V1->Value(), volume) << values[0].toStdString();
        // A stored folder that is gone leaves the browser in the working folder.
        EXPECT_EQ(window_->dirDirs->Path(), QDir::currentPath());
        for (const QWidget* w : {static_cast<QWidget*>(window_.get()),
                                 static_cast<QWidget*>(window_->ExistingLyrics())}) {
            // The title bar can be grabbed, and the size fits the screen.
            const QRect outer(LeftTwips(w) / 15, TopTwips(w) / 15, WidthTwips(w) / 15,
                              HeightTwips(w) / 15);
            EXPECT_EQ(WithinScreens(outer, {screen}), outer) << values[0].toStdString();
        }
        QStringList written;
        const QStringList corrected = Places(window_.get());
        window_->close();
        for (const char* key : kPlaces) {
            written << Setting(key);
        }
        EXPECT_EQ(written, corrected);
    }
}

// Signals and the end of the session end the program as its close box does.
TEST_F(App, QuitSignalsSaveTypedLyricsAndSettings) {
    for (int i : {SIGTERM, SIGINT, SIGHUP, 0}) {  // 0: the session ends
        SetUp();
        QFile::remove(PathOf("Song.txt"));
        AddRecording(QStringLiteral("Song.mp3"), 100);
        Open("Song.mp3");
        window_->lstCue->SetListIndex(0);
        window_->Command4->click();
        window_->Lyrics()->txtLyrics->insertPlainText(QString::number(i));
        QFile::remove(SettingsFile());
        QTimer::singleShot(0, [i] { i ? void(::raise(i)) : QCoreApplication::quit(); });
        EXPECT_EQ(RunUntilClosed(*window_), 0) << i;
        EXPECT_EQ(ReadBytes(PathOf("Song.txt")), QByteArray::number(i) + "\r\n");
        EXPECT_EQ(Setting("Volume"), QStringLiteral("0")) << i;
        EXPECT_EQ(window_->media, nullptr) << i;
    }
}

// A save never changes what the path is.
TEST_F(App, SavesWriteThroughLinksToFilesAndKeepNamesOwnerGroupAndMode) {
    const mode_t oldMask = ::umask(022);
    ASSERT_EQ(::mkfifo(QFile::encodeName(PathOf("fifo")).constData(), 0600), 0);
    ASSERT_TRUE(QDir(music_.path()).mkdir("folder"));
    // name, where a symbolic link there points, owner and group (-1: as
    // created), mode, why the save fails (none: it goes through)
    const std::tuple<const char*, const char*, uid_t, gid_t, mode_t, const char*> cases[] = {
        {"Linked.cue", nullptr, -1, -1, 0644, nullptr},  // has a second name
        {"link.cue", "Linked.cue", -1, -1, 0644, nullptr},
        {"dangling.cue", "missing.cue", -1, -1, 0, " is a dangling symbolic link"},
        {"fifo", nullptr, -1, -1, 0, " is not a regular file"},
        {"folder", nullptr, -1, -1, 0, " is not a regular file"},
        {"Own.cue", nullptr, -1, -1, 0666, nullptr},
        {"Foreign.cue", nullptr, kNobody, kNobody, 0604, nullptr},  // root only
        {"Group.cue", nullptr, -1, kNobody, 0640, nullptr}};        // root only
    for (const auto& [name, target, owner, group, mode, reason] : cases) {
        const QString path = PathOf(name);
        const QByteArray encoded = QFile::encodeName(path);
        if (target != nullptr) {
            ASSERT_EQ(::symlink(target, encoded.constData()), 0);
        } else if (mode != 0) {
            WriteBytes(path, "old");
            if (::chown(encoded.constData(), owner, group) != 0) {
                continue;  // only root can give a file away
            }
            ASSERT_EQ(::chmod(encoded.constData(), mode), 0);
        }
        if (name[0] == 'L') {
            ASSERT_EQ(::link(encoded.constData(), QFile::encodeName(PathOf("Linked.bak"))), 0);
        }
        const struct stat before = Status(path);
        QString error;
        EXPECT_EQ(WriteFileAtomically(path, "new", &error), reason == nullptr) << name;
        EXPECT_EQ(error, reason ? path + QString::fromUtf8(reason) : QString());
        const struct stat after = Status(path);
        EXPECT_EQ(std::tie(after.st_uid, after.st_gid, after.st_mode, after.st_nlink),
                  std::tie(before.st_uid, before.st_gid, before.st_mode, before.st_nlink))
            << name;
    }
    EXPECT_EQ(ReadBytes(PathOf("Linked.bak")) + ReadBytes(PathOf("Own.cue")), "newnew");
    EXPECT_EQ(Status(PathOf("missing.cue")).st_mode, 0u);
    // A new file gets the mode the umask leaves of 0666.
    EXPECT_TRUE(WriteFileAtomically(PathOf("New.cue"), "x"));
    EXPECT_EQ(Status(PathOf("New.cue")).st_mode & 07777, 0644u);
    ::umask(oldMask);
}

// Root may write anything: as root the save runs in a child that is the
// ordinary user 65534, owner of the file and the folder.
TEST_F(App, SavesRespectThePermissionsOfFolderAndFile) {
    const bool root = ::geteuid() == 0;
    ASSERT_EQ(::chmod(QFile::encodeName(music_.path()).constData(), 0755), 0);
    // folder, its mode, the file's mode, whether the save goes through (in place)
    const std::tuple<const char*, mode_t, mode_t, bool> cases[] = {{"ro", 0555, 0666, true},
                                                                   {"rw", 0755, 0444, false}};
    for (const auto& [name, folderMode, fileMode, saves] : cases) {
        const QByteArray folder = QFile::encodeName(PathOf(name));
        const QString file = PathOf(QString::fromUtf8(name) + QStringLiteral("/Probe.cue"));
        WriteBytes(file, "old");
        ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), fileMode), 0);
        if (root) {
            ASSERT_EQ(::chown(QFile::encodeName(file).constData(), kNobody, kNobody), 0);
            ASSERT_EQ(::chown(folder.constData(), kNobody, kNobody), 0);
        }
        ASSERT_EQ(::chmod(folder.constData(), folderMode), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            if (root && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 ||
                         ::setuid(kNobody) != 0 || ::access(folder.constData(), X_OK) != 0)) {
                ::_exit(2);
            }
            ::_exit(WriteFileAtomically(file, "new") ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ::chmod(folder.constData(), 0755);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 2) << "user 65534 cannot reach it";
        EXPECT_EQ(WEXITSTATUS(status), saves ? 0 : 1) << name;
        EXPECT_EQ(ReadBytes(file), saves ? "new" : "old");
        EXPECT_EQ(Status(file).st_mode & 07777, fileMode);
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }
}

TEST_F(App, SavesRemoveOnlyTheStaleTemporariesOfTheSameFile) {
    const std::tuple<const char*, int, bool> temporaries[] = {
        // name, age in seconds, kept
        {".Probe.cue.AbC123.tembrel-save", 120, false},
        {".Probe.cue.XyZ789.tembrel-save", 30, true},  // a save may still be writing it
        {".Probe.mp3.AbC123.tembrel-save", 120, true},
        {".Probe.cue.AbC1234.tembrel-save", 120, true},
        {".Probe.cue.AbC-12.tembrel-save", 120, true}};
    for (const auto& [name, age, kept] : temporaries) {
        const QByteArray path = QFile::encodeName(PathOf(name));
        WriteBytes(path, "left by a crash");
        const timespec times[2] = {{std::time(nullptr) - age, 0}, {std::time(nullptr) - age, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.constData(), times, AT_SYMLINK_NOFOLLOW), 0);
    }
    ASSERT_TRUE(WriteFileAtomically(PathOf("Probe.cue"), "new"));
    for (const auto& [name, age, kept] : temporaries) {
        EXPECT_EQ(Status(PathOf(name)).st_mode != 0, kept) << name;
    }
}

TEST(ForwardStart, TheRunningPlayerOpensTheFileAndAKilledOneBlocksNothing) {
    QTemporaryDir folder;  // the program, its lock and socket, its settings
    ASSERT_TRUE(QFile::copy(QStringLiteral(TEMBREL_BINARY), folder.filePath("tembrel")));
    ASSERT_TRUE(QDir(folder.path()).mkpath("a b/c"));
    ASSERT_TRUE(WriteWav(folder.filePath("a b/Take 1.wav"), 1));
    const PrivateBus bus;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_RUNTIME_DIR", folder.path());
    environment.insert("DBUS_SESSION_BUS_ADDRESS", bus.Address());
    const auto start = [&](const QStringList& arguments, const char* subfolder = "") {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment);
        process->setWorkingDirectory(folder.filePath(subfolder));
        process->start(folder.filePath("tembrel"), arguments);
        return process;
    };
    const auto listening = [&] {
        for (int i = 0;
             i < 200 && QDir(folder.path()).entryList({"*.socket"}, QDir::System).isEmpty(); ++i) {
            QThread::msleep(50);
        }
    };
    const auto endsAtOnce = [](QProcess& process) {
        EXPECT_TRUE(process.waitForFinished(8000) && process.exitCode() == 0);
    };
    const auto folderShownAtTheEnd = [&](QProcess& process) {
        process.terminate();
        EXPECT_TRUE(process.waitForFinished(10000));
        return ReadSetting(kSection, "Pfad", folder.filePath("tembrel.ini"));
    };

    // A start without even its own name is a player as well: SIGTERM,
    // ignored until it handles it, ends it.
    std::vector<QByteArray> variables;
    std::vector<char*> pointers;
    for (const QString& variable : environment.toStringList()) {
        pointers.push_back(variables.emplace_back(variable.toLocal8Bit()).data());
    }
    pointers.push_back(nullptr);
    char* noArguments[] = {nullptr};
    struct sigaction ignore {
    }, old{};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGTERM, &ignore, &old);
    pid_t bare = -1;
    ASSERT_EQ(::posix_spawn(&bare, QFile::encodeName(folder.filePath("tembrel")).constData(),
                            nullptr, nullptr, noArguments, pointers.data()),
              0);
    ::sigaction(SIGTERM, &old, nullptr);
    listening();
    ::kill(bare, SIGTERM);
    int status = -1;
    ASSERT_EQ(::waitpid(bare, &status, 0), bare);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;

    // The second names the file relative to its own folder, blanks unquoted;
    // the player, started elsewhere, plays it.
    std::unique_ptr<QProcess> first = start({}, "a b/c");
    listening();
    endsAtOnce(*start({"a", "b/take", "1.WAV"}));
    QDBusMessage get =
        QDBusMessage::createMethodCall("org.mpris.MediaPlayer2.tembrel", "/org/mpris/MediaPlayer2",
                                       "org.freedesktop.DBus.Properties", "Get");
    get << "org.mpris.MediaPlayer2.Player"
        << "Metadata";
    QString playing;
    for (int i = 0; i < 200 && playing.isEmpty(); ++i) {
        const QVariant reply = QDBusConnection::connectToBus(bus.Address(), "forward")
                                   .call(get)
                                   .arguments()
                                   .value(0)
                                   .value<QDBusVariant>()
                                   .variant();
        playing = qdbus_cast<QVariantMap>(reply).value("xesam:url").toString();
        QThread::msleep(playing.isEmpty() ? 50 : 0);
    }
    EXPECT_EQ(QUrl(playing).toLocalFile(), folder.filePath("a b/Take 1.wav"));
    EXPECT_EQ(folderShownAtTheEnd(*first), folder.filePath("a b/"));

    // Killed, a player leaves its lock and socket; the next start takes them
    // over and is the one later starts reach. Without a bus all this works.
    environment.insert("DBUS_SESSION_BUS_ADDRESS", "none:");
    first = start({});
    listening();
    first->kill();
    first->waitForFinished();
    std::unique_ptr<QProcess> next = start({folder.filePath("a b/c/none.wav")});
    EXPECT_FALSE(next->waitForFinished(1000));
    endsAtOnce(*start({folder.filePath("a b/Take 1.wav")}));
    EXPECT_EQ(folderShownAtTheEnd(*next), folder.filePath("a b/"));
}
