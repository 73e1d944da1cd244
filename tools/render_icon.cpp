// Writes the program's icon as PNG pictures in the desktop's usual sizes,
// laid out as an icon theme folder: FOLDER/<size>x<size>/apps/tembrel.png.
#include "ui/pictures.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QSaveFile>
#include <QTextStream>

namespace {

constexpr int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

// Saves one size of the icon, replacing an older picture in one step.
bool SaveIcon(const QString& folder, int side) {
    const QString size = QStringLiteral("%1x%1").arg(side);
    const QString appsFolder = folder + QLatin1Char('/') + size + QStringLiteral("/apps");
    if (!QDir().mkpath(appsFolder)) {
        return false;
    }
    QSaveFile file(appsFolder + QStringLiteral("/tembrel.png"));
    if (!file.open(QIODevice::WriteOnly) || !MainWindowPicture(side).save(&file, "PNG")) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace

int main(int argc, char** argv) {
    // Pictures need a GUI application, never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2) {
        QTextStream(stderr) << "usage: render_icon FOLDER\n";
        return 2;
    }
    for (int side : kSizes) {
        if (!SaveIcon(arguments[1], side)) {
            QTextStream(stderr) << "render_icon: could not write the " << side << " pixel icon\n";
            return 1;
        }
    }
    return 0;
}
