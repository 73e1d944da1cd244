// The player on a session bus of the test's own: each method acts as its
// button does, the properties follow the window, and every change and jump
// is announced.
#include "desktop/mpris.h"
#include "support/private_bus.h"
#include "support/program_test.h"
#include "support/real_time.h"
#include "ui/list_box.h"
#include "ui/scroll_bar.h"

#include <QAction>
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QPushButton>
#include <QUrl>

#include <functional>

namespace {

const QString kName = QStringLiteral("org.mpris.MediaPlayer2.tembrel");
const QString kPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

// What the player announced on the bus.
class Announcements : public QObject {
    Q_OBJECT
public slots:
    void Changed(const QString&, const QVariantMap& changed, const QStringList&) {
        changes.append(changed);
    }
    void Seeked(qlonglong position) { seeks.append(position); }

public:
    QList<QVariantMap> changes;
    QList<qlonglong> seeks;
};

class Mpris : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        ASSERT_FALSE(bus_.Address().isEmpty());
        client_.connect(QString(), kPath, kProperties, QStringLiteral("PropertiesChanged"), &heard_,
                        SLOT(Changed(QString, QVariantMap, QStringList)));
        client_.connect(QString(), kPath, kPlayer, QStringLiteral("Seeked"), &heard_,
                        SLOT(Seeked(qlonglong)));
    }

    void TearDown() override {
        window_.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("player"));
        QDBusConnection::disconnectFromBus(QStringLiteral("client"));
    }

    // The recording with four cues, playing the third at 25 seconds, on the bus.
    void StartPlaying() {
        Restart();
        OpenWithCues(QStringLiteral("Song.mp3"), 100, kFourCues);
        Choose(2);
        Play(5);
        ASSERT_NE(StartMpris(*window_, player_), nullptr);
        WaitFor([] { return false; }, 50);
        heard_.changes.clear();
        heard_.seeks.clear();
    }

    QDBusMessage Call(const QString& interface, const QString& member, const QVariantList& args) {
        QDBusMessage message = QDBusMessage::createMethodCall(kName, kPath, interface, member);
        message.setArguments(args);
        QDBusPendingCall call = client_.asyncCall(message);
        EXPECT_TRUE(WaitFor([&] { return call.isFinished(); })) << member.toStdString();
        // Signals sent before the answer have been posted to this thread by now.
        QCoreApplication::sendPostedEvents();
        return call.reply();
    }
    QVariant Get(const QString& name, const QString& interface = kPlayer) {
        const QVariant value = Call(kProperties, QStringLiteral("Get"), {interface, name})
                                   .arguments()
                                   .value(0)
                                   .value<QDBusVariant>()
                                   .variant();
        return value.canConvert<QDBusArgument>() ? QVariant(qdbus_cast<QVariantMap>(value)) : value;
    }
    // A method call ("Pause") or, with "=", a property set ("=Rate").
    void Do(const QString& what, const QVariant& argument) {
        if (what.startsWith(u'=')) {
            Call(kProperties, QStringLiteral("Set"),
                 {kPlayer, what.mid(1), QVariant::fromValue(QDBusVariant(argument))});
        } else {
            Call(kPlayer, what, argument.isValid() ? QVariantList{argument} : QVariantList{});
        }
    }

    PrivateBus bus_;
    QDBusConnection player_ = QDBusConnection::connectToBus(bus_.Address(), "player");
    QDBusConnection client_ = QDBusConnection::connectToBus(bus_.Address(), "client");
    Announcements heard_;
};

struct Step {
    const char* what;
    QVariant argument;
};

}  // namespace

TEST_F(Mpris, EachCallActsAsItsControlDoes) {
    const struct {
        QList<Step> steps;
        const char* after;  // the engine, the window and what the bus reads
    } cases[] = {
        {{{"Pause", {}}}, "halt 25 cue 2 speed 100 volume 0 | Paused None 1 1 25"},
        {{{"Pause", {}}, {"Play", {}}}, "run 25 cue 2 speed 100 volume 0 | Playing None 1 1 25"},
        {{{"PlayPause", {}}, {"Play", {}}, {"PlayPause", {}}},
         "halt 25 cue 2 speed 100 volume 0 | Paused None 1 1 25"},
        {{{"Stop", {}}}, "halt 0 cue 2 speed 100 volume 0 | Stopped None 1 1 0"},
        {{{"Stop", {}}, {"PlayPause", {}}}, "run 0 cue 0 speed 100 volume 0 | Playing None 1 1 0"},
        {{{"Pause", {}}, {"Stop", {}}, {"PlayPause", {}}, {"Pause", {}}},
         "halt 0 cue 0 speed 100 volume 0 | Paused None 1 1 0"},
        {{{"Next", {}}}, "run 30 cue 3 speed 100 volume 0 | Playing None 1 1 30"},
        {{{"Previous", {}}}, "run 10 cue 1 speed 100 volume 0 | Playing None 1 1 10"},
        {{{"Seek", qlonglong(7e6)}}, "run 32 cue 3 speed 100 volume 0 | Playing None 1 1 32"},
        {{{"Seek", qlonglong(-40e6)}}, "run 0 cue 2 speed 100 volume 0 | Playing None 1 1 0"},
        {{{"=Rate", 0.85}, {"=Volume", 0.5}, {"=LoopStatus", "Track"}},
         "run 25 cue 2 speed 85 volume -2500 repeat | Playing Track 0.85 0.5 25"},
        {{{"=Rate", 5.0}, {"=LoopStatus", "None"}},
         "run 25 cue 2 speed 200 volume 0 | Playing None 2 1 25"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.after);
        StartPlaying();
        for (const Step& step : c.steps) {
            Do(QString::fromLatin1(step.what), step.argument);
        }
        const QString after =
            QStringLiteral("%1 %2 cue %3 speed %4 volume %5%6 | %7 %8 %9 %10 %11")
                .arg(Engine()->running() ? "run" : "halt")
                .arg(Engine()->CurrentPosition().value_or(-1))
                .arg(window_->currentCue)
                .arg(window_->S1->Value())
                .arg(window_->V1->Value())
                .arg(window_->mnuRepeat->isChecked() ? " repeat" : "")
                .arg(Get("PlaybackStatus").toString(), Get("LoopStatus").toString())
                .arg(Get("Rate").toDouble())
                .arg(Get("Volume").toDouble())
                .arg(Get("Position").toLongLong() / 1e6);
        EXPECT_EQ(after.toStdString(), c.after);
    }
}

TEST_F(Mpris, ChangesAndJumpsAreAnnouncedAndTheRecordingDescribed) {
    StartPlaying();
    const QVariantMap metadata = Get("Metadata").toMap();
    EXPECT_EQ(metadata.value("xesam:url").toString(),
              QUrl::fromLocalFile(PathOf("Song.mp3")).toString());
    EXPECT_EQ(metadata.value("xesam:title").toString(), "Song");
    EXPECT_EQ(metadata.value("xesam:artist").toStringList(), QStringList{"Refrain"});
    EXPECT_EQ(metadata.value("mpris:length").toLongLong(), 100'000'000);
    EXPECT_EQ(Get("Identity", "org.mpris.MediaPlayer2").toString(), "Vorlane Tembrel");

    // Each change is announced once, each jump is a Seeked with the new
    // position, and nothing else is: the position is no change.
    AddRecording(QStringLiteral("Other.mp3"), 50);
    const QVariant track = metadata.value("mpris:trackid");
    const QVariant elsewhere = QVariant::fromValue(QDBusObjectPath(kPath));
    const QString other = QUrl::fromLocalFile(PathOf("Other.mp3")).toString();
    const struct {
        std::function<void()> act;
        const char* changed;
        QList<qlonglong> seeks;
    } steps[] = {
        {[&] {
             Call(kPlayer, "SetPosition", {elsewhere, qlonglong(5e6)});
         },
         "",
         {}},
        {[&] {
             Call(kPlayer, "SetPosition", {track, qlonglong(12e6)});
         },
         "Metadata",
         {12'000'000}},
        {[&] { window_->cmdPause1->click(); }, "PlaybackStatus", {}},
        {[&] { window_->Command7->click(); }, "", {14'000'000}},
        {[&] { window_->S1->SetValue(80); }, "Rate", {}},
        {[&] { window_->V1->SetValue(-2500); }, "Volume", {}},
        {[&] { window_->mnuRepeat->trigger(); }, "LoopStatus", {}},
        {[&] { Choose(3); }, "CanGoNext,Metadata,PlaybackStatus", {30'000'000}},
        {[&] { Call(kPlayer, "OpenUri", {other}); }, "Metadata", {0}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.changed);
        heard_.changes.clear();
        heard_.seeks.clear();
        step.act();
        Get("PlaybackStatus");  // answered after what was sent before it
        QStringList changed;
        for (const QVariantMap& change : heard_.changes) {
            changed << QStringList(change.keys()).join(u',');
        }
        EXPECT_EQ(changed.join(u' ').toStdString(), step.changed);
        EXPECT_EQ(heard_.seeks, step.seeks);
    }
    EXPECT_EQ(window_->currentFile, PathOf("Other.mp3"));
}

#include "mpris_test.moc"
