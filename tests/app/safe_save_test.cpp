// A save never changes what the path is: links stay links, another owner's
// file keeps owner and mode, a writable file in a read-only folder is written
// in place, nothing is created through a dangling link, and only the save's
// own stale temporaries are removed.
#include "app/safe_save.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <ctime>

namespace {

constexpr uid_t kNobody = 65534;

class SafeSave : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    QString Path(const char* name) const { return dir_.filePath(QString::fromUtf8(name)); }
    QByteArray Native(const char* name) const { return QFile::encodeName(Path(name)); }

    void Put(const char* name, const QByteArray& bytes) {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    QByteArray Bytes(const char* name) const {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
    }

    // What is at the path itself, not what a link there names; zeros when nothing.
    struct stat Status(const char* name) const {
        struct stat status {};
        ::lstat(Native(name).constData(), &status);
        return status;
    }

    QTemporaryDir dir_;
};

TEST_F(SafeSave, WritesThroughLinksToFilesAndIntoNothingElse) {
    Put("real.cue", "old");
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("folder")));
    ASSERT_EQ(::mkfifo(Native("fifo.cue").constData(), 0600), 0);
    ASSERT_EQ(::symlink("real.cue", Native("link.cue").constData()), 0);
    ASSERT_EQ(::symlink("missing.cue", Native("dangling.cue").constData()), 0);
    ASSERT_EQ(::symlink("folder", Native("folderlink.cue").constData()), 0);
    const struct {
        const char* name;
        const char* reason;  // empty when the save goes through
        mode_t typeAfter;
    } cases[] = {{"link.cue", "", S_IFLNK},
                 {"dangling.cue", " is a dangling symbolic link", S_IFLNK},
                 {"folderlink.cue", " is not a regular file", S_IFLNK},
                 {"fifo.cue", " is not a regular file", S_IFIFO},
                 {"folder", " is not a regular file", S_IFDIR}};
    for (const auto& c : cases) {
        const bool saves = *c.reason == '\0';
        QString error;
        EXPECT_EQ(WriteFileAtomically(Path(c.name), "new", &error), saves) << c.name;
        EXPECT_EQ(error.toStdString(), saves ? "" : (Path(c.name) + c.reason).toStdString());
        EXPECT_EQ(Status(c.name).st_mode & S_IFMT, c.typeAfter) << c.name;
    }
    EXPECT_EQ(Bytes("real.cue"), "new");
    EXPECT_EQ(Status("missing.cue").st_mode, 0u);
    EXPECT_TRUE(QDir(Path("folder")).isEmpty());
    EXPECT_EQ(QDir(dir_.path())
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
                  .size(),
              6);
}

TEST_F(SafeSave, KeepsHardLinksOwnerGroupAndMode) {
    const mode_t oldMask = ::umask(022);
    const bool root = ::geteuid() == 0;
    const struct {
        const char* name;
        uid_t owner;  // -1: the saving user's
        gid_t group;  // -1: as created
        mode_t mode;
        const char* secondName;
    } cases[] = {{"Linked.cue", uid_t(-1), gid_t(-1), 0644, "Linked.bak"},
                 {"Own.cue", uid_t(-1), gid_t(-1), 0666, nullptr},
                 {"Foreign.cue", kNobody, kNobody, 0604, nullptr},
                 {"Group.cue", uid_t(-1), kNobody, 0640, nullptr}};
    for (const auto& c : cases) {
        const bool changesOwner = c.owner != uid_t(-1) || c.group != gid_t(-1);
        if (changesOwner && !root) {
            continue;
        }
        Put(c.name, "old");
        ASSERT_EQ(::chown(Native(c.name).constData(), c.owner, c.group), 0);
        ASSERT_EQ(::chmod(Native(c.name).constData(), c.mode), 0);
        if (c.secondName != nullptr) {
            ASSERT_EQ(::link(Native(c.name).constData(), Native(c.secondName).constData()), 0);
        }
        const struct stat before = Status(c.name);
        ASSERT_TRUE(WriteFileAtomically(Path(c.name), "new bytes")) << c.name;
        const struct stat after = Status(c.name);
        EXPECT_EQ(Bytes(c.name), "new bytes");
        EXPECT_EQ(after.st_uid, before.st_uid) << c.name;
        EXPECT_EQ(after.st_gid, before.st_gid) << c.name;
        EXPECT_EQ(after.st_mode, before.st_mode) << c.name;
        EXPECT_EQ(after.st_nlink, before.st_nlink) << c.name;
        if (c.secondName != nullptr) {
            EXPECT_EQ(Bytes(c.secondName), "new bytes");
        }
    }
    // A new file gets the mode the umask leaves of 0666.
    EXPECT_TRUE(WriteFileAtomically(Path("New.cue"), "x"));
    EXPECT_EQ(Status("New.cue").st_mode & 07777, 0644u);
    ::umask(oldMask);
    if (!root) {
        GTEST_SKIP() << "only root can give a file to another owner or group; those cases were "
                        "left out";
    }
}

TEST_F(SafeSave, PermissionsOfFolderAndFileAreRespected) {
    // Root may write anything: as root the save runs in a child that is the
    // ordinary user 65534, owner of the file and the folder.
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chmod(QFile::encodeName(dir_.path()).constData(), 0755), 0);
    }
    const struct {
        const char* folder;
        mode_t folderMode;
        mode_t fileMode;
        const char* bytesAfter;
    } cases[] = {{"ro", 0555, 0666, "new"},  // written in place
                 {"rw", 0755, 0444, "old bytes"}};
    for (const auto& c : cases) {
        const QByteArray file = QByteArray(c.folder) + "/Probe.cue";
        ASSERT_TRUE(QDir(dir_.path()).mkdir(QString::fromUtf8(c.folder)));
        Put(file.constData(), "old bytes");
        ASSERT_EQ(::chmod(Native(file.constData()).constData(), c.fileMode), 0);
        if (root) {
            ASSERT_EQ(::chown(Native(file.constData()).constData(), kNobody, kNobody), 0);
            ASSERT_EQ(::chown(Native(c.folder).constData(), kNobody, kNobody), 0);
        }
        ASSERT_EQ(::chmod(Native(c.folder).constData(), c.folderMode), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (root &&
                (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0 ||
                 ::access(Native(c.folder).constData(), X_OK) != 0)) {
                ::_exit(2);
            }
            ::_exit(WriteFileAtomically(Path(file.constData()), "new") ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ::chmod(Native(c.folder).constData(), 0755);
        ASSERT_TRUE(WIFEXITED(status));
        if (WEXITSTATUS(status) == 2) {
            GTEST_SKIP() << "user " << kNobody << " cannot reach the temporary folder "
                         << dir_.path().toStdString();
        }
        EXPECT_EQ(WEXITSTATUS(status), strcmp(c.bytesAfter, "new") == 0 ? 0 : 1) << c.folder;
        EXPECT_EQ(Bytes(file.constData()), c.bytesAfter);
        EXPECT_EQ(Status(file.constData()).st_mode & 07777, c.fileMode);
        EXPECT_EQ(QDir(Path(c.folder)).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }
}

TEST_F(SafeSave, RemovesOnlyTheStaleTemporariesOfTheSameFile) {
    const struct {
        const char* name;
        int ageSeconds;
        bool kept;
    } temporaries[] = {
        {".Probe.cue.AbC123.tembrel-save", 120, false},
        {".Probe.cue.XyZ789.tembrel-save", 30, true},  // a save may still be writing it
        {".Probe.mp3.AbC123.tembrel-save", 120, true},
        {".Probe.cue.AbC123.tembrel-safe", 120, true},
        {".Probe.cue.AbC1234.tembrel-save", 120, true},
        {".Probe.cue.AbC-12.tembrel-save", 120, true},
        {"Probe.cue.AbC123.tembrel-save", 120, true},
        {".Probe.cue.Lnk456.tembrel-save", 120, true},  // a link to the old file above
    };
    for (const auto& t : temporaries) {
        if (QByteArray(t.name).startsWith(".Probe.cue.Lnk")) {
            ASSERT_EQ(::symlink(".Probe.mp3.AbC123.tembrel-save", Native(t.name).constData()), 0);
        } else {
            Put(t.name, "left by a crash");
        }
        const timespec times[2] = {{std::time(nullptr) - t.ageSeconds, 0},
                                   {std::time(nullptr) - t.ageSeconds, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, Native(t.name).constData(), times, AT_SYMLINK_NOFOLLOW), 0);
    }
    ASSERT_TRUE(WriteFileAtomically(Path("Probe.cue"), "new"));
    for (const auto& t : temporaries) {
        EXPECT_EQ(Status(t.name).st_mode != 0, t.kept) << t.name;
    }
}

}  // namespace
