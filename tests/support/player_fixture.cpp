#include "support/player_fixture.h"

#include "ui/folder_list.h"
#include "ui/list_box.h"

#include <QFile>
#include <QTimer>

void PlayerTest::SetUp() {
    ASSERT_TRUE(music_.isValid());
    program_.WriteSettings("[Kestrin's Tembrel]\nPfad=" + music_.path().toUtf8() + "/\n");
    window_ = program_.Start({}, FakeEngineFactory(control_));
    window_->Timer1->stop();
}

QString PlayerTest::PathOf(const QString& name) const {
    return music_.path() + QLatin1Char('/') + name;
}

void PlayerTest::AddRecording(const QString& name, double seconds, const QByteArray* cueFile) {
    TouchFile(music_.path(), name);
    control_->lengths[PathOf(name)] = seconds;
    if (cueFile) {
        QFile file(PathOf(name.left(name.size() - 3) + QStringLiteral("cue")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(*cueFile);
    }
    window_->dirDirs_Change();
}

void PlayerTest::Open(const QString& name) {
    const int index = Lines(window_->lstPath).indexOf(name);
    ASSERT_GE(index, 0) << name.toStdString();
    window_->lstPath->SetListIndex(index);
    window_->lstPath_DblClick();
}

void PlayerTest::OpenWithCues(const QString& name, double seconds, const QByteArray& cueFile) {
    AddRecording(name, seconds, &cueFile);
    Open(name);
    ASSERT_NE(Engine(), nullptr) << name.toStdString();
}

void PlayerTest::Play(double seconds) {
    if (FakeEngine* engine = Engine()) {
        engine->Advance(seconds);
    }
    window_->Timer1_Timer();
}

QList<std::pair<qint32, QString>> PlayerTest::Cues() const {
    QList<std::pair<qint32, QString>> cues;
    for (int i = 0; i < window_->lstCue->ListCount(); ++i) {
        cues.append({window_->lstCue->ItemData(i), window_->lstCue->List(i)});
    }
    return cues;
}
