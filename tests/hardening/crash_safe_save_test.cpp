// Saves survive a crash at any moment: a process saving the cue file, a
// lyrics file and the settings in a loop is killed again and again; each file
// always holds the version it had before the save or the one after, and no
// visible file but these three is ever left in the folder.
#include "app/safe_save.h"
#include "hardening/save_file_versions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>

namespace {

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// One of the saved files: its name, the bytes of each version, the word the
// save loop reports it by, and the version it holds.
struct SavedFile {
    QString name;
    QByteArray (*bytesOf)(int);
    QByteArray word;
    int version = 0;
};

}  // namespace

TEST(CrashSafeSave, EveryFileHoldsItsOldOrNewVersionAfterAKill) {
    // Memory-backed when the system has such a place: syncs cost nothing
    // there, so the kills fall on many more saves in the same time.
    const QString shared = QStringLiteral("/dev/shm");
    QTemporaryDir dir(QFileInfo(shared).isWritable() ? shared + QStringLiteral("/tembrel-XXXXXX")
                                                     : QString());
    ASSERT_TRUE(dir.isValid());
    std::array<SavedFile, 3> files = {
        {{QStringLiteral("Probe.cue"), CueFileVersion, "cue"},
         {QStringLiteral("Vers 1.txt"), LyricsFileVersion, "lyrics"},
         {QStringLiteral("tembrel.ini"), SettingsFileVersion, "settings"}}};
    QStringList paths;
    for (const SavedFile& file : files) {
        paths.append(dir.filePath(file.name));
        ASSERT_TRUE(WriteFileAtomically(paths.last(), file.bytesOf(0)));
    }

    QRandomGenerator random(20261206);
    int next = 1;
    int savesSeen = 0;
    for (int run = 0; run < 30; ++run) {
        QProcess loop;
        loop.start(QStringLiteral(SAVE_LOOP_BINARY), paths + QStringList{QString::number(next)});
        ASSERT_TRUE(loop.waitForReadyRead(10000)) << "run " << run;
        QThread::usleep(random.bounded(8000));
        loop.kill();
        ASSERT_TRUE(loop.waitForFinished(10000));
        ASSERT_EQ(loop.exitStatus(), QProcess::CrashExit)
            << loop.readAllStandardError().constData();

        const QList<QByteArray> lines = loop.readAllStandardOutput().split('\n');
        const int first = next;
        for (SavedFile& file : files) {
            // The last save reported done, and the one that may have been under way.
            int done = file.version;
            int underWay = first;
            for (const QByteArray& line : lines) {
                if (line.startsWith(file.word + ' ')) {
                    done = line.mid(file.word.size() + 1).toInt();
                    underWay = done + 1;
                    ++savesSeen;
                }
            }
            const QByteArray found = ReadBytes(dir.filePath(file.name));
            file.version = found == file.bytesOf(underWay) ? underWay : done;
            ASSERT_EQ(found, file.bytesOf(file.version))
                << file.word.constData() << " after run " << run << ": neither version " << done
                << " nor " << underWay;
            next = std::max(next, file.version + 1);
        }
    }
    // The kills came at different moments: many saves were done in between.
    EXPECT_GT(savesSeen, 30) << savesSeen;
    // A kill during a save may leave its hidden temporary, and nothing else.
    QStringList visible =
        QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
    visible.sort();
    EXPECT_EQ(visible.join(u'|').toStdString(), "Probe.cue|Vers 1.txt|tembrel.ini");
    const QStringList hidden =
        QDir(dir.path())
            .entryList({QStringLiteral(".*")},
                       QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : hidden) {
        EXPECT_TRUE(name.endsWith(QStringLiteral(".tembrel-save"))) << name.toStdString();
    }
    std::printf("%d saves seen; %lld hidden temporaries left by the kills\n", savesSeen,
                static_cast<long long>(hidden.size()));
}
