#include "support/program_test.h"

#include "app/app_module.h"
#include "app/path_helpers.h"
#include "app/settings_store.h"
#include "engine/gst_engine.h"
#include "support/test_audio.h"

void ProgramTest::SetUp() {
    ASSERT_TRUE(music_.isValid() && programFolder_.isValid());
    factory_ = FakeEngineFactory(control_);
    WriteBytes(SettingsFile(), "[Kestrin's Tembrel]\nPfad=" + music_.path().toUtf8() + "/\n");
    Restart();
}

void ProgramTest::Restart(const QStringList& arguments) {
    window_.reset();
    window_ = Main(programFolder_.path() + QStringLiteral("/tembrel"), arguments, factory_);
    // The timer still starts and stops as the program wants, but never fires.
    window_->Timer1->installEventFilter(&timerEvents_);
}

void ProgramTest::LetTickRun() {
    window_->Timer1->removeEventFilter(&timerEvents_);
    window_->Timer1->start(10);
}

void ProgramTest::UseRealEngine() {
    ASSERT_TRUE(InitGstreamer());
    factory_ = [] { return CreateGstEngine(MakeClockSink()); };
    Restart();
}

QByteArray ProgramTest::ReadBytes(const QString& path) const {
    return ReadFileBytes(path).value_or(QByteArray("<missing>"));
}

void ProgramTest::WriteBytes(const QString& path, const QByteArray& bytes) const {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

QString ProgramTest::Setting(const char* key) const {
    return ReadSetting(kSection, QString::fromLatin1(key), SettingsFile());
}

void ProgramTest::AddRecording(const QString& name, double seconds, const QByteArray* cueFile) {
    WriteBytes(PathOf(name), QByteArray());
    control_->lengths[PathOf(name)] = seconds;
    if (cueFile != nullptr) {
        WriteBytes(PathOf(name.left(name.lastIndexOf(u'.')) + QStringLiteral(".cue")), *cueFile);
    }
    window_->dirDirs_Change();
}

void ProgramTest::Open(const QString& name) {
    const int line = Lines(window_->lstPath).indexOf(name);
    ASSERT_GE(line, 0) << name.toStdString();
    DoubleClick(window_->lstPath, line);
}

void ProgramTest::OpenWithCues(const QString& name, double seconds, const QByteArray& cueFile) {
    AddRecording(name, seconds, &cueFile);
    Open(name);
    ASSERT_NE(window_->media, nullptr) << name.toStdString();
}

void ProgramTest::DoubleClick(ListBox* list, int line) {
    ASSERT_TRUE(line >= 0 && line < list->ListCount()) << line;
    list->scrollToItem(list->item(line));
    const QPoint at = list->visualItemRect(list->item(line)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

void ProgramTest::DragTo(int second) {
    ScrollBar* slider = window_->H1;
    slider->setSliderDown(true);
    slider->setValue(second);
    slider->setSliderDown(false);
}

void ProgramTest::Play(double seconds) {
    if (FakeEngine* engine = Engine()) {
        engine->Advance(seconds);
    }
    window_->Timer1->timeout({});
}

QList<std::pair<qint32, QString>> ProgramTest::Cues() const {
    QList<std::pair<qint32, QString>> cues;
    for (int i = 0; i < window_->lstCue->ListCount(); ++i) {
        cues.append({window_->lstCue->ItemData(i), window_->lstCue->List(i)});
    }
    return cues;
}

QStringList Lines(const ListBox* list) {
    QStringList lines;
    for (int i = 0; i < list->ListCount(); ++i) {
        lines << list->List(i);
    }
    return lines;
}
