// Signals and the end of the session end the program the way its close box
// does: typed lyrics and the settings are saved.
#include "app/app_module.h"
#include "app/settings_store.h"
#include "support/player_fixture.h"
#include "ui/frm_lyrics.h"
#include "ui/list_box.h"

#include <QCoreApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QThread>

#include <csignal>

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

const QString kSection = QStringLiteral("Kestrin's Tembrel");

class QuitSignals : public PlayerTest {};

}  // namespace

TEST_F(QuitSignals, SaveTypedLyricsAndSettings) {
    const std::vector<std::function<void()>> ends = {
        [] { ::raise(SIGTERM); }, [] { ::raise(SIGINT); }, [] { ::raise(SIGHUP); },
        [] { QCoreApplication::quit(); }};
    for (std::size_t i = 0; i < ends.size(); ++i) {
        SCOPED_TRACE(i);
        SetUp();
        QFile::remove(PathOf(QStringLiteral("Song.txt")));
        AddRecording(QStringLiteral("Song.mp3"), 100);
        Open(QStringLiteral("Song.mp3"));
        window_->lstCue->SetListIndex(0);
        window_->Command4->click();
        window_->Lyrics()->txtLyrics->insertPlainText(QStringLiteral("La la %1").arg(i));
        QFile::remove(program_.SettingsFile());

        QTimer::singleShot(0, ends[i]);
        EXPECT_EQ(RunUntilClosed(*window_), 0);
        QFile lyrics(PathOf(QStringLiteral("Song.txt")));
        ASSERT_TRUE(lyrics.open(QIODevice::ReadOnly));
        EXPECT_EQ(lyrics.readAll(), QStringLiteral("La la %1\r\n").arg(i).toLatin1());
        EXPECT_EQ(ReadSetting(kSection, QStringLiteral("Volume"), program_.SettingsFile()),
                  QStringLiteral("0"));
        EXPECT_EQ(window_->media, nullptr);
    }
}

// The real program, started with no arguments at all (not even its own
// name), runs and ends cleanly on SIGTERM.
TEST(QuitSignalsOfTheProgram, EmptyArgumentListAndSigterm) {
    QTemporaryDir folder;
    const QString program = folder.path() + QStringLiteral("/tembrel");
    ASSERT_TRUE(QFile::copy(QStringLiteral(TEMBREL_BINARY), program));
    const QByteArray runtime = "XDG_RUNTIME_DIR=" + QFile::encodeName(folder.path());
    std::vector<char*> environment = {const_cast<char*>("QT_QPA_PLATFORM=offscreen"),
                                      const_cast<char*>(runtime.constData())};
    for (char** variable = environ; *variable != nullptr; ++variable) {
        if (std::strncmp(*variable, "QT_QPA_PLATFORM=", 16) != 0 &&
            std::strncmp(*variable, "XDG_RUNTIME_DIR=", 16) != 0) {
            environment.push_back(*variable);
        }
    }
    environment.push_back(nullptr);
    char* noArguments[] = {nullptr};
    const QByteArray path = QFile::encodeName(program);
    pid_t child = 0;
    ASSERT_EQ(
        ::posix_spawn(&child, path.constData(), nullptr, nullptr, noArguments, environment.data()),
        0);
    // The settings file appears only at the exit; the lock shows the start.
    for (int i = 0; i < 200 && QDir(folder.path()).entryList({"tembrel-*.lock"}).isEmpty(); ++i) {
        QThread::msleep(50);
    }
    ::kill(child, SIGTERM);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(ReadSetting(kSection, QStringLiteral("Volume"), folder.path() + "/tembrel.ini"),
              QStringLiteral("0"));
}
