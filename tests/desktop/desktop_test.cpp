// The player on a session bus of the test's own: each call acts as its
// control does, the properties follow the window, every change and jump is
// announced.
#include "desktop/mpris.h"
#include "support/private_bus.h"
#include "support/program_test.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QUrl>

#include <vector>

namespace {

const QString kPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

class Announcements : public QObject {
    Q_OBJECT
public slots:
    void Changed(const QString&, const QVariantMap& changed, const QStringList&) {
        changes << QStringList(changed.keys()).join(u',');
    }
    void Seeked(qlonglong position) { seeks.push_back(position); }

public:
    QStringList changes;
    std::vector<qlonglong> seeks;
};

class Mpris : public ProgramTest {
protected:
    // The recording with four cues plays the third at 25 seconds, on the bus.
    void StartPlaying() {
        Restart();
        OpenWithCues(QStringLiteral("Song.mp3"), 100, kFourCues);
        Choose(2);
        Play(5);
        ASSERT_NE(StartMpris(*window_, player_), nullptr);
        client_.connect({}, kPath, kProperties, "PropertiesChanged", &heard_,
                        SLOT(Changed(QString, QVariantMap, QStringList)));
        client_.connect({}, kPath, kPlayer, "Seeked", &heard_, SLOT(Seeked(qlonglong)));
    }
    void TearDown() override {
        window_.reset();
        QDBusConnection::disconnectFromBus("player");
        QDBusConnection::disconnectFromBus("client");
    }

    QVariant Call(const QString& interface, const QString& member, const QVariantList& args) {
        QDBusMessage message = QDBusMessage::createMethodCall("org.mpris.MediaPlayer2.tembrel",
                                                              kPath, interface, member);
        message.setArguments(args);
        QDBusPendingCall call = client_.asyncCall(message);
        EXPECT_TRUE(WaitFor([&] { return call.isFinished(); })) << member.toStdString();
        // Signals sent before the answer have been posted to this thread by now.
        QCoreApplication::sendPostedEvents();
        return call.reply().arguments().value(0);
    }
    QVariant Get(const QString& name, const QString& interface = kPlayer) {
        const QVariant value =
            Call(kProperties, "Get", {interface, name}).value<QDBusVariant>().variant();
        return value.canConvert<QDBusArgument>() ? QVariant(qdbus_cast<QVariantMap>(value)) : value;
    }

    PrivateBus bus_;
    QDBusConnection player_ = QDBusConnection::connectToBus(bus_.Address(), "player");
    QDBusConnection client_ = QDBusConnection::connectToBus(bus_.Address(), "client");
    Announcements heard_;
};

}  // namespace

TEST_F(Mpris, EachCallActsAsItsControlDoes) {
    // Calls ("Seek:7" in seconds) and property sets ("=Rate:0.85"); then the
    // engine, the cue, speed, volume and repeat of the window, and what the
    // bus reads: status, loop, rate, volume and position.
    const std::pair<const char*, const char*> cases[] = {
        {"Pause", "halt 25 2 100 0 | Paused None 1 1 25"},
        {"Pause Play", "run 25 2 100 0 | Playing None 1 1 25"},
        {"Stop", "halt 0 2 100 0 | Stopped None 1 1 0"},
        {"Stop PlayPause", "run 0 0 100 0 | Playing None 1 1 0"},
        {"Pause Stop PlayPause Pause", "halt 0 0 100 0 | Paused None 1 1 0"},
        {"Next", "run 30 3 100 0 | Playing None 1 1 30"},
        {"Previous", "run 10 1 100 0 | Playing None 1 1 10"},
        {"Seek:7", "run 32 3 100 0 | Playing None 1 1 32"},
        {"=Rate:0.85 =Volume:0.5 =LoopStatus:Track",
         "run 25 2 85 -2500 repeat | Playing Track 0.85 0.5 25"},
        {"=Rate:5 =LoopStatus:None", "run 25 2 200 0 | Playing None 2 1 25"},
    };
    for (const auto& [calls, after] : cases) {
        SCOPED_TRACE(calls);
        StartPlaying();
        for (const QString& call : QString::fromLatin1(calls).split(u' ')) {
            const QString name = call.section(u':', 0, 0), value = call.section(u':', 1);
            if (name.startsWith(u'=')) {
                const QVariant number = value.toDouble(), text = value;
                Call(kProperties, "Set",
                     {kPlayer, name.mid(1),
                      QVariant::fromValue(QDBusVariant(value[0].isDigit() ? number : text))});
            } else {
                Call(kPlayer, name,
                     value.isEmpty() ? QVariantList{}
                                     : QVariantList{qlonglong(value.toDouble() * 1e6)});
            }
        }
        QStringList seen = {Engine()->running() ? "run" : "halt"};
        for (double value : {Engine()->CurrentPosition().value_or(-1), double(window_->currentCue),
                             double(window_->S1->Value()), double(window_->V1->Value())}) {
            seen << QString::number(value);
        }
        seen << (window_->mnuRepeat->isChecked() ? "repeat |" : "|");
        for (const char* property : {"PlaybackStatus", "LoopStatus", "Rate", "Volume"}) {
            seen << Get(property).toString();
        }
        EXPECT_EQ(seen.join(u' ') + " " + QString::number(Get("Position").toLongLong() / 1e6),
                  after);
    }
}

TEST_F(Mpris, ChangesAndJumpsAreAnnouncedAndTheRecordingDescribed) {
    StartPlaying();
    const QVariantMap metadata = Get("Metadata").toMap();
    EXPECT_EQ(metadata.value("xesam:url"), QUrl::fromLocalFile(PathOf("Song.mp3")).toString());
    EXPECT_EQ(metadata.value("xesam:title"), "Song");
    EXPECT_EQ(metadata.value("xesam:artist"), QStringList{"Refrain"});
    EXPECT_EQ(metadata.value("mpris:length"), 100'000'000);
    EXPECT_EQ(Get("Identity", "org.mpris.MediaPlayer2"), "Vorlane Tembrel");

    // Each change is announced once, each jump is a Seeked with the new
    // position, and nothing else is: the position is no change.
    AddRecording(QStringLiteral("Other.mp3"), 50);
    const QVariant track = metadata.value("mpris:trackid");
    const QVariant elsewhere = QVariant::fromValue(QDBusObjectPath(kPath));
    const auto setPosition = [&](const QVariant& id, qlonglong to) {
        return [&, id, to] { Call(kPlayer, "SetPosition", {id, to}); };
    };
    const struct {
        std::function<void()> act;
        const char* changed;
        std::vector<qlonglong> seeks;
    } steps[] = {
        {setPosition(elsewhere, 5'000'000), "", {}},
        {setPosition(track, 12'000'000), "Metadata", {12'000'000}},
        {[&] { window_->cmdPause1->click(); }, "PlaybackStatus", {}},
        {[&] { window_->Command7->click(); }, "", {14'000'000}},
        {[&] { window_->S1->SetValue(80); }, "Rate", {}},
        {[&] { window_->V1->SetValue(-2500); }, "Volume", {}},
        {[&] { window_->mnuRepeat->trigger(); }, "LoopStatus", {}},
        {[&] { Choose(3); }, "CanGoNext,Metadata,PlaybackStatus", {30'000'000}},
        {[&] { Call(kPlayer, "OpenUri", {QUrl::fromLocalFile(PathOf("Other.mp3")).toString()}); },
         "Metadata",
         {0}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.changed);
        heard_.changes.clear();
        heard_.seeks.clear();
        step.act();
        Get("PlaybackStatus");  // answered after what was sent before it
        EXPECT_EQ(heard_.changes.join(u' '), step.changed);
        EXPECT_EQ(heard_.seeks, step.seeks);
    }
    EXPECT_EQ(window_->currentFile, PathOf("Other.mp3"));
    Call("org.mpris.MediaPlayer2", "Quit", {});  // as the close box: the recording goes
    EXPECT_EQ(window_->media, nullptr);
}

// Keys drive the player from both windows, but never take the keys a list needs for moving or a
// text box needs for typing.
using Keyboard = ProgramTest;

TEST_F(Keyboard, KeysActUnlessTheFocusedControlNeedsThem) {
    const auto focusOf = [this](const QByteArray& name) -> QWidget* {
        if (name == "lyrics") {
            window_->Command4->click();  // the lyrics of the cue playing
            return window_->Lyrics()->txtLyrics;
        }
        return name == "title"   ? window_->txtCueTitle
               : name == "cues"  ? static_cast<QWidget*>(window_->lstCue)
               : name == "files" ? static_cast<QWidget*>(window_->lstPath)
                                 : window_->dummy;
    };
    // Running or halted, the position, the cue playing and the one selected,
    // the speed, the number of cues, repeat mode and the typed texts.
    const auto summary = [this] {
        const QPlainTextEdit* lyrics = window_->Lyrics()->txtLyrics;
        return QStringLiteral("%1 %2 cue %3/%4 %5 cues %6%7 '%8' '%9'")
            .arg(Engine()->running() ? "run" : "halt")
            .arg(Engine()->CurrentPosition().value_or(-1))
            .arg(window_->currentCue)
            .arg(window_->lstCue->ListIndex())
            .arg(window_->S1->Value())
            .arg(window_->lstCue->ListCount())
            .arg(window_->mnuRepeat->isChecked() ? " repeat" : "")
            .arg(window_->txtCueTitle->text(), lyrics->toPlainText())
            .toStdString();
    };
    // The focused control, the keys pressed, the player afterwards.
    const char* const cases[][3] = {
        {"dummy", "Space", "halt 25 cue 2/2 100 cues 4 'Refrain' ''"},
        {"dummy", "Space, Space", "run 25 cue 2/2 100 cues 4 'Refrain' ''"},
        {"dummy", "S", "halt 0 cue 2/2 100 cues 4 'Refrain' ''"},
        {"dummy", "Left, B", "run 21 cue 2/2 100 cues 4 'Refrain' ''"},
        {"dummy", "Shift+Left", "run 15 cue 1/1 100 cues 4 'Vers' ''"},
        {"dummy", "Right, Shift+F", "run 37 cue 3/3 100 cues 4 '' ''"},
        {"dummy", "N", "run 30 cue 3/3 100 cues 4 '' ''"},
        {"dummy", "PgUp", "run 10 cue 1/1 100 cues 4 'Vers' ''"},
        {"dummy", "C, R", "run 25 cue 2/4 100 cues 5 repeat 'Refrain' ''"},
        {"dummy", "-, -, +", "run 25 cue 2/2 95 cues 4 'Refrain' ''"},
        {"dummy", "-, Backspace", "run 25 cue 2/2 100 cues 4 'Refrain' ''"},
        // Media keys act everywhere; the rest types.
        {"title", "S, Space, -, Left", "run 25 cue 2/2 100 cues 4 'Refrains -' ''"},
        {"title", "Toggle Media Play/Pause", "halt 25 cue 2/2 100 cues 4 'Refrain' ''"},
        {"lyrics", "R, Space, C", "run 25 cue 2/2 100 cues 4 'Refrain' 'r c'"},
        // Lists keep their moving keys; the others act.
        {"cues", "Down, Left, PgUp", "run 25 cue 2/0 100 cues 4 'Refrain' ''"},
        {"cues", "Space", "halt 25 cue 2/2 100 cues 4 'Refrain' ''"},
        {"files", "End, Right, Return", "run 25 cue 2/2 100 cues 4 'Refrain' ''"},
    };
    for (const auto& [control, keys, after] : cases) {
        SCOPED_TRACE(std::string(control) + " " + keys);
        Restart();
        OpenWithCues(QStringLiteral("Song.mp3"), 100, kFourCues);
        Choose(2);
        Play(5);
        QWidget* focus = focusOf(control);
        focus->window()->show();
        focus->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(focus->window()));
        focus->setFocus();
        const QKeySequence sequence = QKeySequence::fromString(keys);
        ASSERT_GT(sequence.count(), 0);
        for (int i = 0; i < sequence.count(); ++i) {
            const QKeyCombination key = sequence[i];
            const QString text = key.key() < 0x7f ? QString(QChar(key.key())).toLower() : QString();
            QTest::sendKeyEvent(QTest::Click, focus, key.key(), text, key.keyboardModifiers());
        }
        EXPECT_EQ(summary(), after);
        EXPECT_EQ(window_->windowTitle(), window_->S1->Value() == 100
                                              ? QStringLiteral("Vorlane Tembrel")
                                              : QStringLiteral("Vorlane Tembrel \u2013 95 %"));
    }
}

#include "desktop_test.moc"
