#include "desktop/mpris.h"

#include "cues/cue_line.h"
#include "cues/cue_rules.h"
#include "desktop/desktop_commands.h"
#include "ui/frm_tembrel.h"
#include "ui/list_box.h"
#include "ui/scroll_bar.h"

#include <QAction>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QFileInfo>
#include <QMetaProperty>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace {

const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
constexpr double kMicroseconds = 1e6;

// The player as a whole: its name, the files it takes, raising and quitting.
class RootAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ Yes)
    Q_PROPERTY(bool CanRaise READ Yes)
    Q_PROPERTY(bool HasTrackList READ No)
    Q_PROPERTY(QString Identity READ Identity)
    Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes)
public:
    RootAdaptor(QObject* service, frmTembrel& window)
        : QDBusAbstractAdaptor(service), window_(window) {}

    bool Yes() const { return true; }
    bool No() const { return false; }
    QString Identity() const { return QStringLiteral("Vorlane Tembrel"); }
    QString DesktopEntry() const { return QStringLiteral("tembrel"); }
    QStringList SupportedUriSchemes() const { return {QStringLiteral("file")}; }
    // As the desktop entry declares them.
    QStringList SupportedMimeTypes() const {
        return {QStringLiteral("audio/mpeg"), QStringLiteral("audio/x-wav"),
                QStringLiteral("audio/wav")};
    }

public slots:
    void Raise() { RaiseWindow(&window_); }
    // Ends the program as the close box does.
    void Quit() {
        if (!WindowBusy()) {
            window_.close();
        }
    }

private:
    frmTembrel& window_;
};

// Playback: the transport, the position, the speed and volume sliders,
// repeat mode and what plays.
class PlayerAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
    Q_PROPERTY(QString LoopStatus READ LoopStatus WRITE SetLoopStatus)
    Q_PROPERTY(double Rate READ Rate WRITE SetRate)
    Q_PROPERTY(QVariantMap Metadata READ Metadata)
    Q_PROPERTY(double Volume READ Volume WRITE SetVolume)
    Q_PROPERTY(qlonglong Position READ Position)
    Q_PROPERTY(double MinimumRate READ MinimumRate)
    Q_PROPERTY(double MaximumRate READ MaximumRate)
    Q_PROPERTY(bool CanGoNext READ CanGoNext)
    Q_PROPERTY(bool CanGoPrevious READ CanGoPrevious)
    Q_PROPERTY(bool CanPlay READ Open)
    Q_PROPERTY(bool CanPause READ Open)
    Q_PROPERTY(bool CanSeek READ Open)
    Q_PROPERTY(bool CanControl READ CanControl)
public:
    PlayerAdaptor(QObject* service, frmTembrel& window, const QDBusConnection& bus)
        : QDBusAbstractAdaptor(service), window_(window), bus_(bus) {
        connect(&window, &frmTembrel::PlayStateChanged, this, &PlayerAdaptor::Announce);
        connect(&window, &frmTembrel::PositionMoved, this, [this] {
            seeked_ = true;
            Announce();
        });
        for (ScrollBar* slider : {window.V1, window.S1}) {
            connect(slider, &ScrollBar::Change, this, &PlayerAdaptor::Announce);
            connect(slider, &ScrollBar::Scroll, this, &PlayerAdaptor::Announce);
        }
        connect(window.H1, &ScrollBar::rangeChanged, this, &PlayerAdaptor::Announce);
        connect(window.mnuRepeat, &QAction::toggled, this, &PlayerAdaptor::Announce);
        connect(window.lstCue, &ListBox::itemSelectionChanged, this, &PlayerAdaptor::Announce);
        const QAbstractItemModel* cues = window.lstCue->model();
        connect(cues, &QAbstractItemModel::dataChanged, this, &PlayerAdaptor::Announce);
        connect(cues, &QAbstractItemModel::rowsInserted, this, &PlayerAdaptor::Announce);
        connect(cues, &QAbstractItemModel::rowsRemoved, this, &PlayerAdaptor::Announce);
        connect(cues, &QAbstractItemModel::modelReset, this, &PlayerAdaptor::Announce);
        announced_ = Changing();
    }

    QString PlaybackStatus() const {
        switch (window_.State()) {
            case frmTembrel::PlayState::kPlaying:
                return QStringLiteral("Playing");
            case frmTembrel::PlayState::kPaused:
                return QStringLiteral("Paused");
            case frmTembrel::PlayState::kStopped:
                break;
        }
        return QStringLiteral("Stopped");
    }
    // "Track" while repeat mode loops the current section.
    QString LoopStatus() const {
        return window_.mnuRepeat->isChecked() ? QStringLiteral("Track") : QStringLiteral("None");
    }
    // "Playlist" (a loop over more than the one recording) switches the mode
    // too, so that a control stepping through all three values reaches both.
    void SetLoopStatus(const QString& status) {
        if (WindowBusy()) {
            return;
        }
        if (status == QLatin1String("Playlist")) {
            window_.mnuRepeat->trigger();
        } else if (status == QLatin1String("Track") || status == QLatin1String("None")) {
            SetRepeat(window_, status == QLatin1String("Track"));
        }
    }
    double Rate() const { return window_.S1->Value() / 100.0; }
    void SetRate(double rate) {
        if (WindowBusy() || std::isnan(rate)) {
            return;
        }
        if (rate <= 0) {
            return PauseIfPlaying(window_);  // no speed at all is a pause
        }
        SetSpeed(window_, int(std::lround(std::min(rate, 10.0) * 100)));
    }
    double MinimumRate() const { return 0.1; }
    double MaximumRate() const { return 2.0; }
    // The volume slider's place from the bottom (0) to the top (1), as the
    // window's "0%" to "100%" read.
    double Volume() const { return (window_.V1->Value() + 5000) / 5000.0; }
    void SetVolume(double volume) {
        if (!WindowBusy() && !std::isnan(volume)) {
            window_.V1->SetValue(int(std::lround(std::clamp(volume, 0.0, 1.0) * 5000)) - 5000);
        }
    }
    qlonglong Position() const {
        return window_.media ? Micro(window_.media->CurrentPosition().value_or(0)) : 0;
    }
    // The open recording; desktop widgets show its name as the title and
    // the cue playing in the artist's place.
    QVariantMap Metadata() const {
        if (!window_.media) {
            return {{QStringLiteral("mpris:trackid"),
                     QVariant::fromValue(QDBusObjectPath(
                         QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack")))}};
        }
        QVariantMap metadata = {
            {QStringLiteral("mpris:trackid"), QVariant::fromValue(TrackId())},
            {QStringLiteral("mpris:length"), Micro(window_.media->Duration().value_or(0))},
            {QStringLiteral("xesam:url"), QUrl::fromLocalFile(window_.currentFile).toString()},
            {QStringLiteral("xesam:title"), QFileInfo(window_.currentFile).completeBaseName()},
        };
        const int cue = window_.currentCue;
        if (cue >= 0 && cue < window_.lstCue->ListCount()) {
            metadata.insert(QStringLiteral("xesam:artist"),
                            QStringList{CueTitleOf(window_.lstCue->List(cue))});
        }
        return metadata;
    }
    bool CanGoNext() const {
        return Open() &&
               NextLine(window_.lstCue->ListIndex(), window_.lstCue->ListCount()).has_value();
    }
    bool CanGoPrevious() const { return Open() && window_.lstCue->ListCount() > 0; }
    bool Open() const { return window_.media != nullptr; }
    bool CanControl() const { return true; }

public slots:
    void Play() { Act(PlayOrResume); }
    void Pause() { Act(PauseIfPlaying); }
    void PlayPause() { Act(TogglePlayPause); }
    void Stop() {
        Act([](frmTembrel& window) { window.cmdStop1_Click(); });
    }
    void Next() {
        Act([](frmTembrel& window) { window.cmdNext1_Click(); });
    }
    void Previous() {
        Act([](frmTembrel& window) { window.cmdPrev1_Click(); });
    }
    void Seek(qlonglong offset) {
        Act([offset](frmTembrel& window) {
            MoveTo(window, window.media->CurrentPosition().value_or(0) + offset / kMicroseconds);
        });
    }
    void SetPosition(const QDBusObjectPath& trackId, qlonglong position) {
        const double length = window_.media ? window_.media->Duration().value_or(0) : 0;
        if (trackId == TrackId() && position >= 0 && position / kMicroseconds <= length) {
            Act([position](frmTembrel& window) { MoveTo(window, position / kMicroseconds); });
        }
    }
    void OpenUri(const QString& uri) {
        const QUrl url(uri);
        if (url.isLocalFile()) {
            OpenFromDesktop(window_, QString(), url.toLocalFile());
        }
    }

signals:
    void Seeked(qlonglong position);

private:
    static qlonglong Micro(double seconds) { return std::llround(seconds * kMicroseconds); }

    // The same recording keeps its id across opens.
    QDBusObjectPath TrackId() const {
        const QByteArray hash =
            QCryptographicHash::hash(window_.currentFile.toUtf8(), QCryptographicHash::Sha1);
        return QDBusObjectPath(QStringLiteral("/org/mpris/MediaPlayer2/tembrel/track/") +
                               QString::fromLatin1(hash.toHex().left(16)));
    }

    // Runs a command on an open recording unless a message box or menu waits.
    template <typename Command>
    void Act(Command command) {
        if (Open() && !WindowBusy()) {
            command(window_);
        }
    }

    // The properties whose changes are announced (the position is not: it
    // moves all the time, and jumps are announced by Seeked).
    QVariantMap Changing() const {
        QVariantMap values;
        const QMetaObject* meta = metaObject();
        for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
            const QMetaProperty property = meta->property(i);
            if (qstrcmp(property.name(), "Position") != 0) {
                values.insert(QString::fromLatin1(property.name()), property.read(this));
            }
        }
        return values;
    }

    // Announces what changed once the handler now running has finished.
    void Announce() {
        if (!pending_) {
            pending_ = true;
            QTimer::singleShot(0, this, &PlayerAdaptor::SendChanges);
        }
    }

    void SendChanges() {
        pending_ = false;
        const QVariantMap now = Changing();
        QVariantMap changed;
        for (auto it = now.cbegin(); it != now.cend(); ++it) {
            if (announced_.value(it.key()) != it.value()) {
                changed.insert(it.key(), it.value());
            }
        }
        announced_ = now;
        if (!changed.isEmpty()) {
            QDBusMessage message = QDBusMessage::createSignal(
                kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                QStringLiteral("PropertiesChanged"));
            message << kPlayerInterface << changed << QStringList();
            bus_.send(message);
        }
        if (std::exchange(seeked_, false)) {
            emit Seeked(Position());
        }
    }

    frmTembrel& window_;
    QDBusConnection bus_;
    QVariantMap announced_;
    bool pending_ = false;
    bool seeked_ = false;
};

// The object on the bus; it leaves the bus with the window.
class MprisService : public QObject {
public:
    MprisService(frmTembrel& window, const QDBusConnection& bus, const QString& name)
        : QObject(&window), bus_(bus), name_(name) {
        new RootAdaptor(this, window);
        new PlayerAdaptor(this, window, bus);
    }
    ~MprisService() override {
        bus_.unregisterObject(kObjectPath);
        bus_.unregisterService(name_);
    }

private:
    QDBusConnection bus_;
    QString name_;
};

}  // namespace

QObject* StartMpris(frmTembrel& window, const QDBusConnection& bus) {
    if (!bus.isConnected()) {
        return nullptr;
    }
    QDBusConnection connection = bus;
    QString name = QStringLiteral("org.mpris.MediaPlayer2.tembrel");
    if (!connection.registerService(name)) {
        name += QStringLiteral(".instance") + QString::number(QCoreApplication::applicationPid());
        if (!connection.registerService(name)) {
            return nullptr;
        }
    }
    auto* service = new MprisService(window, bus, name);
    if (!connection.registerObject(kObjectPath, service, QDBusConnection::ExportAdaptors)) {
        delete service;
        return nullptr;
    }
    return service;
}

#include "mpris.moc"
