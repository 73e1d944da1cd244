// Saves survive a crash at any moment: a process saving the cue file, a
// lyrics file and the settings in a loop is killed again and again, and each
// file always holds the version it had before the save or the one after.
#include "app/safe_save.h"
#include "app/settings_store.h"
#include "app/text_codec.h"
#include "hardening/save_file_versions.h"
#include "lyrics/lyrics_naming.h"

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
#include <functional>

namespace {

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// One of the saved files: where it lies, how to read its version, and the
// word the save loop reports it by.
struct SavedFile {
    QString path;
    std::function<std::optional<int>(const QByteArray&)> versionOf;
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
    std::array<SavedFile, 3> files = {{
        {dir.filePath(QStringLiteral("Probe.cue")), CueFileVersionOf, "cue"},
        {dir.filePath(QStringLiteral("Vers 1.txt")), LyricsVersionOf, "lyrics"},
        {dir.filePath(QStringLiteral("tembrel.ini")), SettingsVersionOf, "settings"},
    }};
    ASSERT_TRUE(WriteFileAtomically(files[0].path, CueFileVersion(0)));
    ASSERT_TRUE(WriteFileAtomically(files[1].path, EncodeText(LyricsFileText(LyricsVersion(0)))));
    ASSERT_TRUE(WriteFileAtomically(files[2].path, kForeignSettings));
    ASSERT_TRUE(
        WriteSettings(QString::fromLatin1(kVersionSection), SettingsVersion(0), files[2].path));

    QRandomGenerator random(20261206);
    int next = 1;
    int savesSeen = 0;
    for (int run = 0; run < 200; ++run) {
        QProcess loop;
        loop.start(QStringLiteral(SAVE_LOOP_BINARY),
                   {files[0].path, files[1].path, files[2].path, QString::number(next)});
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
            const std::optional<int> found = file.versionOf(ReadBytes(file.path));
            ASSERT_TRUE(found == done || found == underWay)
                << file.word.constData() << " after run " << run << ": expected " << done << " or "
                << underWay << ", found " << found.value_or(-1);
            file.version = *found;
            next = std::max(next, *found + 1);
        }
    }
    // The kills came at different moments: many saves were done in between.
    EXPECT_GT(savesSeen, 200) << savesSeen;
    // A kill during a save leaves its temporary file (named after the file,
    // with a random suffix) behind; only the three files count.
    const QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    std::printf("%d saves seen; %lld temporary files left by the kills\n", savesSeen,
                static_cast<long long>(left.size() - 3));
}
