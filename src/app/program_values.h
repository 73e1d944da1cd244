#pragma once

#include <QString>

// Program-wide values fixed once at start-up.
struct ProgramValues {
    QString AppPath;      // folder of the program file, ending in "/"
    QString ExeName;      // program file name without extension
    QString AppTitle;     // settings section and message-box title
    QString IniFile;      // full path of the settings file
    QString CommandPath;  // the command-line argument after clean-up; empty without one
};
