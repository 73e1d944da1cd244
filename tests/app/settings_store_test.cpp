#include "app/settings_store.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

const QString kSection = QStringLiteral("Kestrin's Tembrel");

TEST(IniText, LookupIsCaseBlindAndTrimmed) {
    const QString text = QStringLiteral(
        "; comment=not a key\r\n"
        "top=outside any section\r\n"
        "  [ kestrin's TEMBREL ]  \r\n"
        "  Pfad =  /music/live/  \r\n"
        "VOLUME=-2500\r\n"
        "Empty=\r\n"
        "Equals=a=b\r\n"
        "#Y=1\r\n"
        "[Other]\r\n"
        "Y=999\r\n"
        "[Kestrin's Tembrel]\r\n"
        "Y=second section is not read\r\n");
    struct Case {
        const char* key;
        std::optional<QString> expected;
    };
    const Case cases[] = {
        {"pfad", QStringLiteral("/music/live/")},
        {"Volume", QStringLiteral("-2500")},
        {" volume ", QStringLiteral("-2500")},
        {"empty", QString()},
        {"equals", QStringLiteral("a=b")},
        {"Y", std::nullopt},
        {"top", std::nullopt},
        {"; comment", std::nullopt},
        {"#Y", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IniLookup(text, kSection, QString::fromUtf8(c.key)), c.expected) << c.key;
    }
    EXPECT_EQ(IniLookup(text, QStringLiteral("other"), QStringLiteral("y")), QStringLiteral("999"));
    EXPECT_EQ(IniLookup(text, QStringLiteral("missing"), QStringLiteral("Y")), std::nullopt);
    EXPECT_EQ(IniLookup(QString(), kSection, QStringLiteral("Y")), std::nullopt);
}

TEST(IniText, WriteKeepsEveryOtherByte) {
    struct Case {
        const char* name;
        QString before;
        const char* key;
        const char* value;
        QString after;
    };
    const Case cases[] = {
        {"new file", "", "Pfad", "/m/", "[Kestrin's Tembrel]\nPfad=/m/\n"},
        {"replace in place, keep CR LF and neighbours",
         "; mine\r\n[KESTRIN'S TEMBREL]\r\nX=1\r\n  volume = 5 \r\nY=2\r\n", "Volume", "-2500",
         "; mine\r\n[KESTRIN'S TEMBREL]\r\nX=1\r\nVolume=-2500\r\nY=2\r\n"},
        {"new key after the section's last key, before blanks and the next section",
         "[Kestrin's Tembrel]\nX=1\n\n; next\n[Other]\nA=1\n", "Y", "2",
         "[Kestrin's Tembrel]\nX=1\nY=2\n\n; next\n[Other]\nA=1\n"},
        {"new key in an empty section", "[Kestrin's Tembrel]\r\n[B]\r\n", "Y", "2",
         "[Kestrin's Tembrel]\r\nY=2\r\n[B]\r\n"},
        {"last line without ending", "[Kestrin's Tembrel]\nX=1", "Y", "2",
         "[Kestrin's Tembrel]\nX=1\nY=2"},
        {"new section at the end", "[Other]\r\nA=1", "Y", "2",
         "[Other]\r\nA=1\r\n[Kestrin's Tembrel]\r\nY=2\r\n"},
        {"empty value", "[Kestrin's Tembrel]\nY=2\n", "Y", "", "[Kestrin's Tembrel]\nY=\n"},
    };
    for (const Case& c : cases) {
        const QString after =
            IniWithValue(c.before, kSection, QString::fromUtf8(c.key), QString::fromUtf8(c.value));
        EXPECT_EQ(after, c.after) << c.name;
        EXPECT_EQ(IniLookup(after, kSection, QString::fromUtf8(c.key)), QString::fromUtf8(c.value))
            << c.name;
    }
}

TEST(IniText, EntriesThatCouldNotBeReadBackAreRefused) {
    const QString text = QStringLiteral("[A]\nk=v\n");
    const QString bad[][3] = {
        {"", "k", "v"},    {"A", "", "v"},   {"A", "k", "two\nlines"}, {"A]", "k", "v"},
        {"A", "k=x", "v"}, {"A", ";k", "v"}, {"A", "[k", "v"},         {"A\r", "k", "v"},
    };
    for (const auto& entry : bad) {
        EXPECT_FALSE(IsStorableSetting(entry[0], entry[1], entry[2])) << entry[1].toStdString();
        EXPECT_EQ(IniWithValue(text, entry[0], entry[1], entry[2]), text);
    }
}

TEST(SettingNumber, TakesTheLeadingDecimalNumber) {
    struct Case {
        const char* text;
        double number;
    };
    const Case cases[] = {
        {"-2500", -2500}, {"1400", 1400}, {"12abc", 12},  {"abc", 0}, {"", 0},  {"1e3", 1},
        {"2.5", 2.5},     {".5", 0.5},    {"-.5", -0.5},  {"3.", 3},  {"-", 0}, {"--1", 0},
        {"+5", 0},        {" 5", 0},      {"1.2.3", 1.2}, {"٣", 0},  // digits of other scripts are
                                                                     // not decimal digits here
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(SettingNumber(QString::fromUtf8(c.text)), c.number) << c.text;
    }
    EXPECT_TRUE(std::isfinite(SettingNumber(QString(400, u'9'))));
}

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        file_ = dir_.filePath(QStringLiteral("tembrel.ini"));
    }

    void Put(const QByteArray& bytes) {
        QFile f(file_);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QByteArray Bytes() {
        QFile f(file_);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    QString Read(const QString& key, const QString& fallback = QStringLiteral("default")) {
        return ReadSetting(kSection, key, file_, fallback);
    }

    QTemporaryDir dir_;
    QString file_;
};

TEST_F(SettingsFile, ReadGivesTheDefaultWhenMissingOrEmpty) {
    EXPECT_EQ(Read(QStringLiteral("Y")), QStringLiteral("default"));
    EXPECT_EQ(ReadSetting(kSection, QStringLiteral("Y"), file_), QString());
    Put("[kestrin's tembrel]\nY=  \nX=200\n");
    EXPECT_EQ(Read(QStringLiteral("y")), QStringLiteral("default"));
    EXPECT_EQ(Read(QStringLiteral("x")), QStringLiteral("200"));
    EXPECT_EQ(Read(QStringLiteral("Top")), QStringLiteral("default"));
    EXPECT_EQ(ReadSetting(QStringLiteral("other"), QStringLiteral("X"), file_, QStringLiteral("d")),
              QStringLiteral("d"));
}

TEST_F(SettingsFile, GarbageAndOddFilesGiveTheDefault) {
    QByteArray garbage("\x00\xff\xfe[\x00=\n\x80\x81=\x9d\r\r\n", 14);
    for (int i = 0; i < 5000; ++i) {
        garbage.append(char(i * 37));
    }
    Put(garbage);
    EXPECT_EQ(Read(QStringLiteral("Y")), QStringLiteral("default"));
    // The settings "file" is a folder or a FIFO without a writer.
    EXPECT_EQ(ReadSetting(kSection, QStringLiteral("Y"), dir_.path(), QStringLiteral("d")),
              QStringLiteral("d"));
    const QString fifo = dir_.filePath(QStringLiteral("fifo.ini"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(ReadSetting(kSection, QStringLiteral("Y"), fifo, QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_FALSE(WriteSetting(kSection, QStringLiteral("Y"), QStringLiteral("1"), fifo));
}

TEST_F(SettingsFile, LongValuesAreCutTo2047Characters) {
    const QString longValue = QString(3000, u'a');
    ASSERT_TRUE(WriteSetting(kSection, QStringLiteral("Pfad"), longValue, file_));
    EXPECT_EQ(Read(QStringLiteral("Pfad")), longValue.left(2047));
    ASSERT_TRUE(WriteSetting(kSection, QStringLiteral("Pfad"), QString(2047, u'b'), file_));
    EXPECT_EQ(Read(QStringLiteral("Pfad")).size(), 2047);
    // A character outside the basic plane is never cut in half.
    ASSERT_TRUE(WriteSetting(kSection, QStringLiteral("Pfad"),
                             QString(2046, u'c') + QStringLiteral("😀"), file_));
    EXPECT_EQ(Read(QStringLiteral("Pfad")), QString(2046, u'c'));
}

TEST_F(SettingsFile, WriteCreatesTheFileAndKeepsOtherContent) {
    ASSERT_TRUE(WriteSettings(kSection,
                              {{QStringLiteral("Pfad"), QStringLiteral("/home/ü/Musik/")},
                               {QStringLiteral("Volume"), QStringLiteral("-2500")}},
                              file_));
    EXPECT_EQ(Bytes(),
              QByteArray("[Kestrin's Tembrel]\nPfad=/home/\xc3\xbc/Musik/\nVolume=-2500\n"));
    EXPECT_EQ(Read(QStringLiteral("pfad")), QStringLiteral("/home/ü/Musik/"));

    Put("\xef\xbb\xbf; keep me\r\n[A]\r\nk = v \r\n\r\n[KESTRIN'S TEMBREL]\r\nvolume=1\r\n");
    ASSERT_TRUE(WriteSetting(kSection, QStringLiteral("Volume"), QStringLiteral("-5000"), file_));
    EXPECT_EQ(Bytes(),
              QByteArray("\xef\xbb\xbf; keep me\r\n[A]\r\nk = v \r\n\r\n[KESTRIN'S TEMBREL]\r\n"
                         "Volume=-5000\r\n"));
}

TEST_F(SettingsFile, LegacyBytesOfOtherLinesSurviveAWrite) {
    const QByteArray legacy("[Andere]\nName=M\xfcller\n");
    Put(legacy);
    ASSERT_TRUE(WriteSetting(kSection, QStringLiteral("X"), QStringLiteral("200"), file_));
    EXPECT_EQ(Bytes(), legacy + "[Kestrin's Tembrel]\nX=200\n");
    ASSERT_TRUE(WriteSetting(kSection, QStringLiteral("Pfad"), QStringLiteral("/中/"), file_));
    EXPECT_EQ(ReadSetting(QStringLiteral("andere"), QStringLiteral("name"), file_),
              QStringLiteral("Müller"));
    EXPECT_EQ(Read(QStringLiteral("Pfad")), QStringLiteral("/中/"));
}

TEST_F(SettingsFile, FailedWritesReturnFalseAndLeaveTheOldFile) {
    EXPECT_FALSE(WriteSetting(kSection, QStringLiteral("X"), QStringLiteral("1"),
                              dir_.filePath(QStringLiteral("missing/tembrel.ini"))));
    EXPECT_FALSE(WriteSetting(kSection, QStringLiteral("X"), QStringLiteral("1"), dir_.path()));
    EXPECT_TRUE(QFileInfo(dir_.path()).isDir());

    Put("[Kestrin's Tembrel]\nX=1\n");
    EXPECT_FALSE(WriteSetting(kSection, QStringLiteral("X=2"), QStringLiteral("1"), file_));
    EXPECT_EQ(Bytes(), QByteArray("[Kestrin's Tembrel]\nX=1\n"));
    // A value that cannot be stored is skipped; the others are written.
    EXPECT_FALSE(WriteSettings(kSection,
                               {{QStringLiteral("Y"), QStringLiteral("bad\nvalue")},
                                {QStringLiteral("X"), QStringLiteral("2")}},
                               file_));
    EXPECT_EQ(Bytes(), QByteArray("[Kestrin's Tembrel]\nX=2\n"));
    Put("[Kestrin's Tembrel]\nX=1\n");

    // The replacement cannot be created beside a file whose name is at the
    // length limit; this fails for the superuser too.
    file_ = dir_.filePath(QString(250, u'n') + QStringLiteral(".ini"));
    Put("[Kestrin's Tembrel]\nX=1\n");
    EXPECT_FALSE(WriteSetting(kSection, QStringLiteral("X"), QStringLiteral("2"), file_));
    EXPECT_EQ(Bytes(), QByteArray("[Kestrin's Tembrel]\nX=1\n"));
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden).size(),
              2);  // no temporary left
}

}  // namespace
