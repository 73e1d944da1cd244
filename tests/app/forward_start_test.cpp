// A later start hands its file to the running player and ends; a killed
// player leaves nothing that keeps the next start from running.
#include "app/settings_store.h"
#include "support/private_bus.h"
#include "support/program_test.h"
#include "support/test_audio.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QProcess>
#include <QThread>
#include <QUrl>

#include <memory>

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
