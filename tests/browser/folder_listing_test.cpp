#include "browser/folder_listing.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QStringList kAudio = {QStringLiteral("*.mp3"), QStringLiteral("*.wav")};

TEST(MatchesPattern, WildcardsIgnoreLetterCase) {
    struct Case {
        const char* name;
        bool matches;
    };
    const Case cases[] = {
        {"Probe.MP3", true}, {"probe.mp3", true},  {"a.Wav", true}, {"Probe.ogg", false},
        {".mp3", true},      {"a.mp3.txt", false}, {"a.mp", false}, {"mp3", false},
        {"Ärger.mP3", true}, {"a.mp3.mp3", true},  {"", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MatchesPattern(QString::fromUtf8(c.name), kAudio), c.matches) << c.name;
    }
    EXPECT_TRUE(MatchesPattern(QStringLiteral("x.WAV"), {QStringLiteral("*.mp3;*.wav")}));
    EXPECT_TRUE(MatchesPattern(QStringLiteral("ab"), {QStringLiteral("a?")}));
    EXPECT_FALSE(MatchesPattern(QStringLiteral("abc"), {QStringLiteral("a?")}));
    EXPECT_TRUE(MatchesPattern(QStringLiteral("anything"), {QStringLiteral("*")}));
    EXPECT_FALSE(MatchesPattern(QStringLiteral("a.mp3"), {}));
    // Many stars on a long name must not take exponential time.
    EXPECT_FALSE(MatchesPattern(QString(5000, u'a'), {QStringLiteral("*a*a*a*a*a*a*a*a*b")}));
}

class ListFolderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    QString Path(const QString& name) const { return dir_.filePath(name); }

    void Files(const QStringList& names) {
        for (const QString& name : names) {
            QFile file(Path(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << name.toStdString();
        }
    }

    void Folders(const QStringList& names) {
        for (const QString& name : names) {
            ASSERT_TRUE(QDir(dir_.path()).mkpath(name)) << name.toStdString();
        }
    }

    QTemporaryDir dir_;
};

TEST_F(ListFolderTest, EmptyFolderGivesEmptyLists) {
    const std::optional<FolderListing> listing = ListFolder(dir_.path(), kAudio);
    ASSERT_TRUE(listing.has_value());
    EXPECT_TRUE(listing->subfolders.isEmpty());
    EXPECT_TRUE(listing->files.isEmpty());
}

TEST_F(ListFolderTest, ListsMatchingFilesAndVisibleFoldersSortedCaseBlind) {
    Files({"Probe.MP3", "Probe.ogg", "b.wav", "a.mp3", "B.mp3", "Zeta.Wav", ".hidden.mp3",
           "notes.txt", "Ärger.mp3"});
    Folders({"live", "Archiv", ".git", "alt", "Live2", "folder.mp3"});
    ASSERT_TRUE(QFile::link(Path("Archiv"), Path("link to folder")));
    ASSERT_TRUE(QFile::link(Path("a.mp3"), Path("link.mp3")));
    ASSERT_TRUE(QFile::link(Path("missing"), Path("broken.mp3")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(Path("pipe.mp3")).constData(), 0600), 0);

    const std::optional<FolderListing> listing = ListFolder(dir_.path(), kAudio);
    ASSERT_TRUE(listing.has_value());
    EXPECT_EQ(listing->subfolders,
              QStringList({"alt", "Archiv", "folder.mp3", "link to folder", "live", "Live2"}));
    EXPECT_EQ(listing->files, QStringList({"a.mp3", "B.mp3", "b.wav", "link.mp3", "Probe.MP3",
                                           "Zeta.Wav", "Ärger.mp3"}));
}

TEST_F(ListFolderTest, NamesDifferingOnlyInCaseSortInAFixedOrder) {
    Files({"b.mp3", "B.mp3", "a.MP3", "A.mp3"});
    const std::optional<FolderListing> listing = ListFolder(dir_.path(), kAudio);
    ASSERT_TRUE(listing.has_value());
    EXPECT_EQ(listing->files, QStringList({"A.mp3", "a.MP3", "B.mp3", "b.mp3"}));
}

TEST_F(ListFolderTest, FoldersThatCannotBeListedGiveNothing) {
    Files({"a.mp3"});
    Folders({"gone"});
    const QString gone = Path("gone");
    ASSERT_TRUE(QDir(gone).removeRecursively());
    EXPECT_FALSE(ListFolder(gone, kAudio).has_value());
    EXPECT_FALSE(ListFolder(Path("a.mp3"), kAudio).has_value());
    EXPECT_FALSE(ListFolder(Path("never/there"), kAudio).has_value());
    EXPECT_FALSE(ListFolder(QString(), kAudio).has_value());
}

TEST_F(ListFolderTest, FolderWithoutReadPermissionGivesNothing) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "read permissions do not stop the superuser";
    }
    Folders({"locked"});
    Files({"locked/a.mp3"});
    ASSERT_TRUE(QFile::setPermissions(Path("locked"), QFileDevice::ExeOwner));
    const bool listed = ListFolder(Path("locked"), kAudio).has_value();
    QFile::setPermissions(Path("locked"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_FALSE(listed);
}

}  // namespace
