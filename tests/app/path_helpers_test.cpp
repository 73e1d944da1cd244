#include "app/path_helpers.h"
#include "support/message_watcher.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <sys/stat.h>

namespace {

struct PathCase {
    const char* path;
    const char* expected;
};

TEST(PathHelpers, AddBackslashAppendsOnceAndStoresBack) {
    const PathCase cases[] = {
        {"/music", "/music/"}, {"/music/", "/music/"}, {"/", "/"}, {"", "/"}, {"a", "a/"}};
    for (const PathCase& c : cases) {
        QString path = QString::fromUtf8(c.path);
        const QString result = AddBackslash(path);
        EXPECT_EQ(result, QString::fromUtf8(c.expected)) << c.path;
        EXPECT_EQ(path, result) << c.path;
    }
}

TEST(PathHelpers, LastPartOf) {
    const PathCase cases[] = {{"/music/a.mp3", "a.mp3"},
                              {"/music/live/", "live"},
                              {"/music/live", "live"},
                              {"a.mp3", "a.mp3"},
                              {"/", ""},
                              {"", ""},
                              {"/music//", ""}};
    for (const PathCase& c : cases) {
        EXPECT_EQ(LastPartOf(QString::fromUtf8(c.path)), QString::fromUtf8(c.expected)) << c.path;
    }
}

TEST(PathHelpers, FolderPartOfKeepsTheRoot) {
    const PathCase cases[] = {{"/music/a.mp3", "/music"},
                              {"/a.mp3", "/"},
                              {"/music/live/", "/music"},
                              {"music/a.mp3", "music"},
                              {"a.mp3", "a.mp3"},
                              {"/", "/"},
                              {"", ""}};
    for (const PathCase& c : cases) {
        EXPECT_EQ(FolderPartOf(QString::fromUtf8(c.path)), QString::fromUtf8(c.expected)) << c.path;
    }
}

TEST(PathHelpers, ParentFolderOfStopsAtTheRoot) {
    const PathCase cases[] = {{"/music/live", "/music/"},
                              {"/music/live/", "/music/"},
                              {"/music", "/"},
                              {"/music/", "/"},
                              {"/", "/"},
                              {"music", "music"},
                              {"", ""}};
    for (const PathCase& c : cases) {
        EXPECT_EQ(ParentFolderOf(QString::fromUtf8(c.path)), QString::fromUtf8(c.expected))
            << c.path;
    }
}

TEST(PathHelpers, StripQuotesRemovesEveryQuoteAndStoresBack) {
    const PathCase cases[] = {{"\"/music/a b.mp3\"", "/music/a b.mp3"},
                              {"/music/a.mp3", "/music/a.mp3"},
                              {"a\"b\"\"c", "abc"},
                              {"\"", ""}};
    for (const PathCase& c : cases) {
        QString text = QString::fromUtf8(c.path);
        EXPECT_EQ(StripQuotes(text), QString::fromUtf8(c.expected)) << c.path;
        EXPECT_EQ(text, QString::fromUtf8(c.expected)) << c.path;
    }
}

class FileHelpers : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    QString Make(const QString& name, const QByteArray& bytes) {
        QFile file(dir_.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }

    QString MakeFifo(const QString& name) {
        const QString path = dir_.filePath(name);
        EXPECT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        return path;
    }

    QTemporaryDir dir_;
};

TEST_F(FileHelpers, LongPathOfCleansExistingPathsOnly) {
    ASSERT_TRUE(QDir(dir_.path()).mkpath(QStringLiteral("Musik/Live")));
    const QString root = QDir(dir_.path()).canonicalPath();
    EXPECT_EQ(LongPathOf(root + QStringLiteral("/Musik/./Live/../Live/")),
              root + QStringLiteral("/Musik/Live"));

    const QString missing = root + QStringLiteral("/MUSIK/nicht da");
    EXPECT_EQ(LongPathOf(missing), missing);
    EXPECT_EQ(LongPathOf(QStringLiteral("\"") + root + QStringLiteral("\"")),
              QStringLiteral("\"") + root + QStringLiteral("\""));
    EXPECT_EQ(LongPathOf(QString()), QString());

    const QString saved = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(root + QStringLiteral("/Musik")));
    EXPECT_EQ(LongPathOf(QStringLiteral("Live")), root + QStringLiteral("/Musik/Live"));
    EXPECT_EQ(LongPathOf(QStringLiteral("..")), root);
    QDir::setCurrent(saved);
}

TEST_F(FileHelpers, FileExistsOnlyForReadableRegularFiles) {
    const QString file = Make(QStringLiteral("a.mp3"), "x");
    const QString empty = Make(QStringLiteral("empty.txt"), QByteArray());
    EXPECT_TRUE(FileExists(file));
    EXPECT_TRUE(FileExists(empty));
    EXPECT_FALSE(FileExists(dir_.path()));
    EXPECT_FALSE(FileExists(dir_.filePath(QStringLiteral("missing.mp3"))));
    EXPECT_FALSE(FileExists(QString()));
    // A FIFO without a writer would block a plain open.
    EXPECT_FALSE(FileExists(MakeFifo(QStringLiteral("pipe"))));
    ASSERT_TRUE(QFile::link(file, dir_.filePath(QStringLiteral("link.mp3"))));
    EXPECT_TRUE(FileExists(dir_.filePath(QStringLiteral("link.mp3"))));
}

TEST_F(FileHelpers, ReadFileBytesKeepsEveryByte) {
    QByteArray all;
    for (int i = 0; i < 256; ++i) {
        all.append(char(i));
    }
    const std::optional<QByteArray> bytes = ReadFileBytes(Make(QStringLiteral("all.bin"), all));
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(*bytes, all);
    EXPECT_FALSE(ReadFileBytes(dir_.path()).has_value());
}

}  // namespace
