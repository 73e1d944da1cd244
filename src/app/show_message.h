#pragma once

#include <QString>

// Title of every message box and name of the settings section.
inline constexpr const char* kAppTitle = "Kestrin's Tembrel";

// Message kinds (the icon of the box).
enum MessageKind { kInformation = 1, kExclamation = 2, kCritical = 3, kQuestion = 4 };

// The program's one message box: modal, one OK button. An empty title becomes
// the program title (also in the caller's variable). Kinds other than the four
// above show nothing and return at once.
void ShowMessage(const QString& message, int kind, QString& title);

// Shows a message with the exclamation icon and the program title, the way
// every file error is reported.
void ShowFileError(const QString& message);
