#include "app/app_module.h"

#include "app/path_helpers.h"
#include "app/quit_signals.h"
#include "app/settings_store.h"
#include "app/show_message.h"
#include "app/single_instance.h"
#include "desktop/desktop_commands.h"
#include "desktop/keyboard.h"
#include "desktop/mpris.h"
#include "ui/drive_list.h"
#include "ui/folder_list.h"
#include "ui/frm_lyrics.h"
#include "ui/frm_tembrel.h"
#include "ui/list_box.h"
#include "ui/scroll_bar.h"
#include "ui/window_geometry.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QStandardPaths>

#include <cmath>

namespace {

// The number a setting holds, or its default when missing or empty.
double NumberSetting(const ProgramValues& program, const char* key, const char* defaultValue) {
    return SettingNumber(ReadSetting(program.AppTitle, QString::fromLatin1(key), program.IniFile,
                                     QString::fromLatin1(defaultValue)));
}

void RestoreVolume(frmTembrel& window, const ProgramValues& program) {
    // Whole hundredths of a decibel, halves to the even neighbour; a value
    // outside the slider's range leaves it at full volume.
    const double volume = std::nearbyint(NumberSetting(program, "Volume", "0"));
    if (volume >= -5000 && volume <= 0) {
        window.V1->SetValue(static_cast<int>(volume));
    }
}

// True for the folders installed programs live in, which a user's settings
// must not go to even when root could write there.
bool IsSystemFolder(const QString& folder) {
    for (const char* prefix : {"/usr/", "/bin/", "/sbin/", "/opt/", "/snap/"}) {
        if (folder.startsWith(QLatin1String(prefix))) {
            return true;
        }
    }
    return false;
}

// Whether the settings file lies beside the program file: not for an
// installed copy, whose folder the user may not (or must not) write.
bool SettingsBesideProgram(const QString& appPath) {
    return QFileInfo(appPath).isWritable() && !IsSystemFolder(appPath);
}

// The folder shown before any is stored: the program's own, or for an
// installed copy the user's music folder (the home folder without one).
QString FirstFolder(const ProgramValues& program) {
    if (SettingsBesideProgram(program.AppPath)) {
        return program.AppPath;
    }
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    return !music.isEmpty() && QFileInfo(music).isDir() ? music : QDir::homePath();
}

}  // namespace

void InitPaths(ProgramValues& program, const QString& programFile) {
    const QFileInfo file(programFile);
    program.AppPath = file.absolutePath();
    AddBackslash(program.AppPath);
    program.ExeName = file.completeBaseName();
}

void InitSettingsFile(ProgramValues& program) {
    program.AppTitle = QString::fromUtf8(kAppTitle);
    const QString name = program.ExeName + QStringLiteral(".ini");
    if (SettingsBesideProgram(program.AppPath)) {
        program.IniFile = program.AppPath + name;
        return;
    }
    // An installed copy keeps its settings in the user's configuration folder.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                           QStringLiteral("/tembrel");
    QDir().mkpath(folder);
    program.IniFile = folder + QLatin1Char('/') + name;
}

QString CommandPathOf(const QStringList& arguments) {
    // The arguments are one path, even when it holds blanks; its long form
    // is asked for before the quotes go.
    QString path = LongPathOf(arguments.join(QLatin1Char(' ')));
    return StripQuotes(path);
}

std::unique_ptr<frmTembrel> Main(const QString& programFile, const QStringList& arguments,
                                 MediaEngineFactory engineFactory) {
    ProgramValues program;
    InitPaths(program, programFile);
    InitSettingsFile(program);

    QString folderToShow;
    QString fileToSelect;
    if (!arguments.join(QLatin1Char(' ')).isEmpty()) {
        program.CommandPath = CommandPathOf(arguments);
        folderToShow = FolderPartOf(program.CommandPath);
        fileToSelect = LastPartOf(program.CommandPath);
    } else {
        folderToShow = ReadSetting(program.AppTitle, QStringLiteral("Pfad"), program.IniFile,
                                   FirstFolder(program));
    }

    auto window = std::make_unique<frmTembrel>(program, std::move(engineFactory));
    // A folder that cannot be entered leaves the browser in the working folder.
    window->ShowFolderAndOpen(folderToShow, fileToSelect);
    InstallKeyboard(*window);

    RestoreVolume(*window, program);
    SetTopTwips(window.get(), NumberSetting(program, "Y", "1400"));
    SetLeftTwips(window.get(), NumberSetting(program, "X", "200"));
    window->show();
    window->dummy->setFocus();

    frmLyrics* lyrics = window->Lyrics();
    SetTopTwips(lyrics, NumberSetting(program, "Top", "600"));
    SetWidthTwips(lyrics, NumberSetting(program, "Width", "6000"));
    SetHeightTwips(lyrics, NumberSetting(program, "Height", "8000"));
    return window;
}

int RunTembrel(int argc, char** argv, MediaEngineFactory engineFactory) {
    QApplication app(argc, argv);
    const QString programFile = QCoreApplication::applicationFilePath();
    QStringList arguments = QCoreApplication::arguments();
    if (!arguments.isEmpty()) {
        arguments.removeFirst();  // the program's own name, when it was given one
    }
    SingleInstance instance(programFile);
    if (!instance.Acquire()) {
        // The running instance shows the file (or just its window); this
        // start ends at once. A relative path means one from here.
        QString path = CommandPathOf(arguments);
        if (!path.isEmpty()) {
            path = QDir::current().absoluteFilePath(path);
        }
        ForwardStart(programFile, QDir::currentPath(), path);
        return 0;
    }
    CatchQuitSignals();
    std::unique_ptr<frmTembrel> window = Main(programFile, arguments, std::move(engineFactory));
    QObject::connect(&instance, &SingleInstance::StartForwarded, window.get(),
                     [&window](const QString& workingFolder, const QString& path) {
                         RaiseWindow(window.get());
                         OpenFromDesktop(*window, workingFolder, path);
                     });
    // Without a session bus the player simply has no media controls.
    StartMpris(*window, QDBusConnection::sessionBus());
    return RunUntilClosed(*window);
}

int RunUntilClosed(frmTembrel& window) {
    CloseOnQuitSignals(&window);
    // The desktop session asks to keep what matters before it may end the
    // program; when the program is made to quit, it ends as its window does.
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, &window,
                     [&window] { window.SaveForSessionEnd(); });
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &window,
                     [&window] { window.Form_Unload(); });
    return QApplication::exec();
}
