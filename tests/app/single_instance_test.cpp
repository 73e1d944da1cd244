#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

namespace {

// Two real program processes sharing one program file and one runtime folder.
class TwoInstances : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(programFolder_.isValid());
        ASSERT_TRUE(runtime_.isValid());
        program_ = programFolder_.path() + QStringLiteral("/tembrel");
        ASSERT_TRUE(QFile::copy(QStringLiteral(TEMBREL_BINARY), program_));
        environment_ = QProcessEnvironment::systemEnvironment();
        environment_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment_.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_.path());
    }

    void TearDown() override {
        for (QProcess* process : {&first_, &second_, &third_}) {
            process->kill();
            process->waitForFinished(5000);
        }
    }

    void Start(QProcess& process) {
        process.setProcessEnvironment(environment_);
        process.setWorkingDirectory(programFolder_.path());
        process.start(program_, {programFolder_.path() + QStringLiteral("/x.mp3")});
        ASSERT_TRUE(process.waitForStarted(5000));
    }

    // Waits until a running instance holds its lock.
    bool LockTaken() const {
        for (int i = 0; i < 200; ++i) {
            if (!QDir(runtime_.path()).entryList({QStringLiteral("tembrel-*.lock")}).isEmpty()) {
                return true;
            }
            QThread::msleep(50);
        }
        return false;
    }

    QTemporaryDir programFolder_;
    QTemporaryDir runtime_;
    QString program_;
    QProcessEnvironment environment_;
    QProcess first_;
    QProcess second_;
    QProcess third_;
};

}  // namespace

TEST_F(TwoInstances, SecondStartEndsAtOnceAndAStaleLockDoesNotBlock) {
    Start(first_);
    ASSERT_TRUE(LockTaken());

    Start(second_);
    ASSERT_TRUE(second_.waitForFinished(5000));
    EXPECT_EQ(second_.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second_.exitCode(), 0);
    EXPECT_EQ(first_.state(), QProcess::Running);
    // The second start wrote nothing.
    EXPECT_FALSE(QFile::exists(programFolder_.path() + QStringLiteral("/tembrel.ini")));

    // A killed instance leaves its lock file behind; the next start takes it over.
    ::kill(static_cast<pid_t>(first_.processId()), SIGKILL);
    ASSERT_TRUE(first_.waitForFinished(5000));
    Start(third_);
    EXPECT_FALSE(third_.waitForFinished(1500));
    EXPECT_EQ(third_.state(), QProcess::Running);
}
