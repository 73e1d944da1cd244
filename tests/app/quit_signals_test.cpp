// Signals and the end of the session end the program as its close box does,
// saving typed lyrics and the settings; only one instance runs.
#include "app/app_module.h"
#include "app/settings_store.h"
#include "support/program_test.h"
#include "ui/frm_lyrics.h"
#include "ui/list_box.h"

#include <QCoreApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QThread>

#include <csignal>

#include <spawn.h>
#include <sys/wait.h>

using QuitSignals = ProgramTest;

TEST_F(QuitSignals, SaveTypedLyricsAndSettings) {
    const std::function<void()> ends[] = {[] { ::raise(SIGTERM); }, [] { ::raise(SIGINT); },
                                          [] { ::raise(SIGHUP); },
                                          [] { QCoreApplication::quit(); }};
    for (int i = 0; i < 4; ++i) {
        SetUp();
        QFile::remove(PathOf(QStringLiteral("Song.txt")));
        AddRecording(QStringLiteral("Song.mp3"), 100);
        Open(QStringLiteral("Song.mp3"));
        window_->lstCue->SetListIndex(0);
        window_->Command4->click();
        window_->Lyrics()->txtLyrics->insertPlainText(QString::number(i));
        QFile::remove(SettingsFile());
        QTimer::singleShot(0, ends[i]);
        EXPECT_EQ(RunUntilClosed(*window_), 0) << i;
        EXPECT_EQ(ReadBytes(PathOf(QStringLiteral("Song.txt"))), QByteArray::number(i) + "\r\n");
        EXPECT_EQ(Setting("Volume"), QStringLiteral("0")) << i;
        EXPECT_EQ(window_->media, nullptr) << i;
    }
}

// Starts the program with an argument list (none, not even its name, when
// empty). SIGTERM stays ignored until the program sets its own handler.
pid_t Spawn(const QByteArray& program, std::vector<char*> arguments) {
    arguments.push_back(nullptr);
    struct sigaction ignore {
    }, old{};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGTERM, &ignore, &old);
    pid_t child = -1;
    ::posix_spawn(&child, program.constData(), nullptr, nullptr, arguments.data(), environ);
    ::sigaction(SIGTERM, &old, nullptr);
    return child;
}

// The wait status once the process ends (-1 when it is killed after 20 s),
// sending it the signal every 50 ms meanwhile.
int WaitForEnd(pid_t child, int signal) {
    int status = -1;
    for (int i = 0; i < 400 && ::waitpid(child, &status, WNOHANG) == 0; ++i) {
        ::kill(child, signal);
        QThread::msleep(50);
    }
    return ::kill(child, SIGKILL) == 0 && ::waitpid(child, nullptr, 0) > 0 ? -1 : status;
}

// A second start ends at once and writes nothing; a killed instance's lock
// does not stop the next, which, started without even its own name, ends
// cleanly on SIGTERM.
TEST(RealProgram, OneInstanceAtATimeAndSigtermEndsIt) {
    QTemporaryDir folder;
    const QByteArray program = QFile::encodeName(folder.filePath(QStringLiteral("tembrel")));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TEMBREL_BINARY), program));
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder.path()));
    char name[] = "tembrel";
    const pid_t first = Spawn(program, {name});
    for (int i = 0; i < 400 && QDir(folder.path()).entryList({"*.lock"}).isEmpty(); ++i) {
        QThread::msleep(50);
    }
    const int second = WaitForEnd(Spawn(program, {name}), 0);
    EXPECT_TRUE(WIFEXITED(second) && WEXITSTATUS(second) == 0) << second;
    EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("tembrel.ini"))));
    ::kill(first, SIGKILL);
    EXPECT_EQ(::waitpid(first, nullptr, 0), first);
    const int last = WaitForEnd(Spawn(program, {}), SIGTERM);
    qputenv("XDG_RUNTIME_DIR", runtime);
    EXPECT_TRUE(WIFEXITED(last) && WEXITSTATUS(last) == 0) << last;
    EXPECT_EQ(ReadSetting(kSection, QStringLiteral("Volume"), folder.filePath("tembrel.ini")), "0");
}
