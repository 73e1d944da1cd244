#include "app/settings_store.h"
#include "support/program_test.h"

#include <QDir>

#include <sys/stat.h>

using SettingsStore = ProgramTest;

TEST(IniText, NamesAreCaseBlindAndTrimmedAndOnlyTheFirstSectionCounts) {
    const QString text = QStringLiteral(
        " [ kestrin's TEMBREL ] \r\n Pfad = /m/ \r\n#Y=1\r\n[B]\r\nY=9\r\n"
        "[Kestrin's Tembrel]\r\nY=2\r\n");
    EXPECT_EQ(IniLookup(text, kSection, QStringLiteral("pfad")), QStringLiteral("/m/"));
    EXPECT_EQ(IniLookup(text, kSection, QStringLiteral("Y")), std::nullopt);
    EXPECT_EQ(IniWithValue(text, kSection, QStringLiteral("k=x"), QStringLiteral("v")), text);
}

TEST_F(SettingsStore, ReadsAndWritesKeepToTheRulesAndFailuresLeaveTheOldFile) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("t.ini"));
    const QString fifo = dir.filePath(QStringLiteral("fifo.ini"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // A file from an older system keeps its code page; a value that cannot be
    // stored is skipped and the others are written.
    WriteBytes(file, "[Andere]\nName=M\xfcller\n");
    EXPECT_FALSE(WriteSettings(kSection, {{"Y", "a\nb"}, {"X", "ä"}}, file));
    EXPECT_EQ(ReadBytes(file), "[Andere]\nName=M\xfcller\n[Kestrin's Tembrel]\nX=\xe4\n");
    const QString pfad = QString(2046, u'c') + QStringLiteral("😀");
    ASSERT_TRUE(
        WriteSettings(kSection, {{"Y", "  "}, {"Pfad", pfad}, {"Top", QString(3000, u'a')}}, file));
    const auto read = [&](const char* key, const QString& where) {
        return ReadSetting(kSection, QString::fromUtf8(key), where, QStringLiteral("d"));
    };
    // Empty values give the default; values are cut to 2047 characters, never
    // inside a character.
    EXPECT_EQ(
        QStringList({read("y", file), read("x", file), read("PFAD", file), read("top", file)}),
        QStringList({"d", "ä", QString(2046, u'c'), QString(2047, u'a')}));
    for (const QString& where : {fifo, dir.path(), dir.filePath(QStringLiteral("missing"))}) {
        EXPECT_EQ(read("X", where), QStringLiteral("d"));
    }
    // No temporary fits beside a name at the length limit; a folder is no file.
    const QString longName = dir.filePath(QString(250, u'n') + QStringLiteral(".ini"));
    WriteBytes(longName, "[B]\n");
    for (const QString& path : {longName, dir.filePath(QStringLiteral("no/t.ini")), dir.path()}) {
        EXPECT_FALSE(WriteSetting(kSection, QStringLiteral("X"), QStringLiteral("1"), path));
    }
    EXPECT_EQ(ReadBytes(longName), "[B]\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 3);
}
