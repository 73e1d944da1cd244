#include "app/show_message.h"
#include "support/message_watcher.h"

#include <gtest/gtest.h>

TEST(ShowMessage, ShowsTheFourKindsWithTheProgramTitleAndNothingElse) {
    const std::pair<int, QMessageBox::Icon> kinds[] = {{1, QMessageBox::Information},
                                                       {2, QMessageBox::Warning},
                                                       {3, QMessageBox::Critical},
                                                       {4, QMessageBox::Question}};
    for (const auto& [kind, icon] : kinds) {
        MessageWatcher messages;
        QString title;
        ShowMessage(QStringLiteral("Text "), kind, title);
        EXPECT_EQ(title, QStringLiteral("Kestrin's Tembrel"));
        ASSERT_EQ(messages.texts(), QStringList{QStringLiteral("Text ")});
        EXPECT_EQ(messages.titles(), QStringList{QStringLiteral("Kestrin's Tembrel")});
        EXPECT_EQ(messages.lastIcon(), icon);
    }
    MessageWatcher messages;
    QString title = QStringLiteral("Eigener Titel");
    ShowMessage(QStringLiteral("nichts"), 5, title);
    ShowMessage(QStringLiteral("nichts"), 0, title);
    EXPECT_TRUE(messages.texts().isEmpty());
    EXPECT_EQ(title, QStringLiteral("Eigener Titel"));
}
