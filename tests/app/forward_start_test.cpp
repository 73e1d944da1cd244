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
#include <QDir>
#include <QProcess>
#include <QThread>
#include <QUrl>

#include <memory>

namespace {

class Starts {
public:
    explicit Starts(const QTemporaryDir& folder) : folder_(folder) {
        environment_.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder.filePath("run"));
        environment_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment_.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("none:"));
    }

    // A start of the program with the given arguments, in the test's folder
    // or one of its subfolders.
    std::unique_ptr<QProcess> Start(const QStringList& arguments,
                                    const QString& subfolder = {}) const {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment_);
        process->setWorkingDirectory(folder_.filePath(subfolder));
        process->start(folder_.filePath("tembrel"), arguments);
        return process;
    }

    // The session bus of the later starts ("none:" for none).
    void UseBus(const QString& address) {
        environment_.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
    }

    // Whether a start is running and listening for the later ones.
    bool Listening() const {
        for (int i = 0; i < 200; ++i) {
            if (!QDir(folder_.filePath("run")).entryList({"*.socket"}, QDir::System).isEmpty()) {
                return true;
            }
            QThread::msleep(50);
        }
        return false;
    }

    // Ends a start as the desktop does at logout; returns the folder it showed.
    QString EndAndReadFolder(QProcess& process) const {
        process.terminate();
        EXPECT_TRUE(process.waitForFinished(10000));
        return ReadSetting(kSection, QStringLiteral("Pfad"), folder_.filePath("tembrel.ini"));
    }

private:
    const QTemporaryDir& folder_;
    QProcessEnvironment environment_ = QProcessEnvironment::systemEnvironment();
};

// The file the player on the bus has open, once it plays one (empty after
// ten seconds without).
QString PlayingFile(const QString& address) {
    QDBusConnection bus = QDBusConnection::connectToBus(address, QStringLiteral("forward"));
    QDBusMessage get = QDBusMessage::createMethodCall(
        QStringLiteral("org.mpris.MediaPlayer2.tembrel"), QStringLiteral("/org/mpris/MediaPlayer2"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QStringLiteral("org.mpris.MediaPlayer2.Player") << QStringLiteral("Metadata");
    for (int i = 0; i < 200; ++i) {
        const QVariant metadata =
            bus.call(get).arguments().value(0).value<QDBusVariant>().variant();
        const QString url = qdbus_cast<QVariantMap>(metadata).value("xesam:url").toString();
        if (!url.isEmpty()) {
            return QUrl(url).toLocalFile();
        }
        QThread::msleep(50);
    }
    return {};
}

// A later start ends at once with code 0.
void EndsAtOnce(QProcess& process) {
    EXPECT_TRUE(process.waitForFinished(8000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
}

}  // namespace

TEST(ForwardStart, TheRunningPlayerOpensTheFileAndAKilledOneBlocksNothing) {
    QTemporaryDir folder;
    ASSERT_TRUE(QFile::copy(QStringLiteral(TEMBREL_BINARY), folder.filePath("tembrel")));
    ASSERT_TRUE(QDir(folder.path()).mkpath("run") && QDir(folder.path()).mkpath("a b"));
    ASSERT_TRUE(QFile::setPermissions(folder.filePath("run"),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    ASSERT_TRUE(WriteWav(folder.filePath("a b/Take 1.wav"), 1));
    Starts starts(folder);
    const PrivateBus bus;
    starts.UseBus(bus.Address());

    // The second names the file relative to its own folder, blanks unquoted.
    std::unique_ptr<QProcess> first = starts.Start({}, "run");
    ASSERT_TRUE(starts.Listening());
    std::unique_ptr<QProcess> second = starts.Start({"a", "b/take", "1.WAV"});
    EndsAtOnce(*second);
    EXPECT_EQ(PlayingFile(bus.Address()), folder.filePath("a b/Take 1.wav"));
    EXPECT_EQ(starts.EndAndReadFolder(*first), folder.filePath("a b/"));

    // Killed, a player leaves its lock and socket; the next start takes them
    // over and is the one later starts reach. Without a bus all this works.
    starts.UseBus(QStringLiteral("none:"));
    first = starts.Start({});
    ASSERT_TRUE(starts.Listening());
    first->kill();
    first->waitForFinished();
    std::unique_ptr<QProcess> next = starts.Start({folder.filePath("a b")});
    EXPECT_FALSE(next->waitForFinished(1000));
    std::unique_ptr<QProcess> later = starts.Start({folder.filePath("a b/Take 1.wav")});
    EndsAtOnce(*later);
    EXPECT_EQ(starts.EndAndReadFolder(*next), folder.filePath("a b/"));
}
