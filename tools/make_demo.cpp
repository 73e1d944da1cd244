// Writes the demo rehearsal (recording, cue file, lyrics) into the folder
// named on the command line; the build runs it.
#include "demo_rehearsal.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2) {
        QTextStream(stderr) << "usage: make_demo FOLDER\n";
        return 2;
    }
    if (!WriteDemo(arguments[1])) {
        QTextStream(stderr) << "make_demo: could not write the demo into " << arguments[1] << "\n";
        return 1;
    }
    return 0;
}
