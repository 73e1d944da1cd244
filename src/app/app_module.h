#pragma once

#include "app/program_values.h"
#include "engine/media_engine.h"

#include <QStringList>

#include <memory>

class frmTembrel;

// Sets AppPath and ExeName from the program file's path.
void InitPaths(ProgramValues& program, const QString& programFile);
// Sets AppTitle and IniFile: beside the program file, or in the user's
// configuration folder when the program's folder is not writable.
void InitSettingsFile(ProgramValues& program);

// The path named by the command line's arguments, joined by blanks: its long
// form, without quotes. Empty without arguments.
QString CommandPathOf(const QStringList& arguments);

// Start-up after the single-instance check: fixes the program values, builds
// the main window, shows the folder and opens the file named by the
// arguments (or the stored folder), restores volume and window places, and
// creates the lyrics window hidden. The caller runs the event loop.
std::unique_ptr<frmTembrel> Main(const QString& programFile, const QStringList& arguments,
                                 MediaEngineFactory engineFactory);

// Runs the event loop until the main window closes: by its close box,
// SIGTERM, SIGINT, SIGHUP or the end of the desktop session, each through the
// window's exit sequence. Returns the exit code.
int RunUntilClosed(frmTembrel& window);

// The whole program: a second start hands its file to the running instance
// and ends; the first starts, offers its media controls on the session bus
// and runs the event loop until the main window closes. Returns the exit code.
int RunTembrel(int argc, char** argv, MediaEngineFactory engineFactory);
