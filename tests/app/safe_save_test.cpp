// A save never changes what the path is and removes only its own stale temporaries.
#include "app/safe_save.h"
#include "support/program_test.h"

#include <QDir>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>

using SafeSave = ProgramTest;
constexpr uid_t kNobody = 65534;

// What is at the path itself, not what a link there names; zeros when nothing.
struct stat Status(const QString& path) {
    struct stat status {};
    ::lstat(QFile::encodeName(path).constData(), &status);
    return status;
}

TEST_F(SafeSave, WritesThroughLinksToFilesAndKeepsNamesOwnerGroupAndMode) {
    const mode_t oldMask = ::umask(022);
    ASSERT_EQ(::mkfifo(QFile::encodeName(PathOf("fifo")).constData(), 0600), 0);
    ASSERT_TRUE(QDir(music_.path()).mkdir(QStringLiteral("folder")));
    // name, where a symbolic link there points, owner and group (-1: as
    // created), mode, why the save fails (none: it goes through)
    const std::tuple<const char*, const char*, uid_t, gid_t, mode_t, const char*> cases[] = {
        {"Linked.cue", nullptr, -1, -1, 0644, nullptr},  // has a second name
        {"link.cue", "Linked.cue", -1, -1, 0644, nullptr},
        {"dangling.cue", "missing.cue", -1, -1, 0, " is a dangling symbolic link"},
        {"fifo", nullptr, -1, -1, 0, " is not a regular file"},
        {"folder", nullptr, -1, -1, 0, " is not a regular file"},
        {"Own.cue", nullptr, -1, -1, 0666, nullptr},
        {"Foreign.cue", nullptr, kNobody, kNobody, 0604, nullptr},  // root only
        {"Group.cue", nullptr, -1, kNobody, 0640, nullptr}};        // root only
    for (const auto& [name, target, owner, group, mode, reason] : cases) {
        const QString path = PathOf(QString::fromUtf8(name));
        if (target != nullptr) {
            ASSERT_EQ(::symlink(target, QFile::encodeName(path).constData()), 0);
        } else if (mode != 0) {
            WriteBytes(path, "old");
            if (::chown(QFile::encodeName(path).constData(), owner, group) != 0) {
                continue;  // only root can give a file away
            }
            ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
        }
        if (name[0] == 'L') {
            ASSERT_EQ(::link(QFile::encodeName(path).constData(),
                             QFile::encodeName(PathOf("Linked.bak")).constData()),
                      0);
        }
        const struct stat before = Status(path);
        QString error;
        EXPECT_EQ(WriteFileAtomically(path, "new", &error), reason == nullptr) << name;
        EXPECT_EQ(error, reason ? path + QString::fromUtf8(reason) : QString());
        const struct stat after = Status(path);
        EXPECT_EQ(std::tie(after.st_uid, after.st_gid, after.st_mode, after.st_nlink),
                  std::tie(before.st_uid, before.st_gid, before.st_mode, before.st_nlink))
            << name;
    }
    EXPECT_EQ(ReadBytes(PathOf("Linked.bak")) + ReadBytes(PathOf("Own.cue")), "newnew");
    EXPECT_EQ(Status(PathOf("missing.cue")).st_mode, 0u);
    // A new file gets the mode the umask leaves of 0666.
    EXPECT_TRUE(WriteFileAtomically(PathOf("New.cue"), "x"));
    EXPECT_EQ(Status(PathOf("New.cue")).st_mode & 07777, 0644u);
    ::umask(oldMask);
}

TEST_F(SafeSave, PermissionsOfFolderAndFileAreRespected) {
    // Root may write anything: as root the save runs in a child that is the
    // ordinary user 65534, owner of the file and the folder.
    const bool root = ::geteuid() == 0;
    ASSERT_EQ(::chmod(QFile::encodeName(music_.path()).constData(), 0755), 0);
    // folder, its mode, the file's mode, whether the save goes through (in place)
    const std::tuple<const char*, mode_t, mode_t, bool> cases[] = {{"ro", 0555, 0666, true},
                                                                   {"rw", 0755, 0444, false}};
    for (const auto& [name, folderMode, fileMode, saves] : cases) {
        const QByteArray folder = QFile::encodeName(PathOf(QString::fromUtf8(name)));
        const QString file = PathOf(QString::fromUtf8(name) + QStringLiteral("/Probe.cue"));
        WriteBytes(file, "old");
        ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), fileMode), 0);
        if (root) {
            ASSERT_EQ(::chown(QFile::encodeName(file).constData(), kNobody, kNobody), 0);
            ASSERT_EQ(::chown(folder.constData(), kNobody, kNobody), 0);
        }
        ASSERT_EQ(::chmod(folder.constData(), folderMode), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            if (root && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 ||
                         ::setuid(kNobody) != 0 || ::access(folder.constData(), X_OK) != 0)) {
                ::_exit(2);
            }
            ::_exit(WriteFileAtomically(file, "new") ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ::chmod(folder.constData(), 0755);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 2) << "user 65534 cannot reach it";
        EXPECT_EQ(WEXITSTATUS(status), saves ? 0 : 1) << name;
        EXPECT_EQ(ReadBytes(file), saves ? "new" : "old");
        EXPECT_EQ(Status(file).st_mode & 07777, fileMode);
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }
}

TEST_F(SafeSave, RemovesOnlyTheStaleTemporariesOfTheSameFile) {
    const std::tuple<const char*, int, bool> temporaries[] = {
        // name, age in seconds, kept
        {".Probe.cue.AbC123.tembrel-save", 120, false},
        {".Probe.cue.XyZ789.tembrel-save", 30, true},  // a save may still be writing it
        {".Probe.mp3.AbC123.tembrel-save", 120, true},
        {".Probe.cue.AbC1234.tembrel-save", 120, true},
        {".Probe.cue.AbC-12.tembrel-save", 120, true}};
    for (const auto& [name, age, kept] : temporaries) {
        const QByteArray path = QFile::encodeName(PathOf(QString::fromUtf8(name)));
        WriteBytes(path, "left by a crash");
        const timespec times[2] = {{std::time(nullptr) - age, 0}, {std::time(nullptr) - age, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.constData(), times, AT_SYMLINK_NOFOLLOW), 0);
    }
    ASSERT_TRUE(WriteFileAtomically(PathOf("Probe.cue"), "new"));
    for (const auto& [name, age, kept] : temporaries) {
        EXPECT_EQ(Status(PathOf(QString::fromUtf8(name))).st_mode != 0, kept) << name;
    }
}
