// Saves two files through the program's safe save in a loop until it is
// killed. Version n of a file is "n;" repeated 1 + n % 500 times.
// Usage: save_loop <file> <file> <first version>
#include "app/safe_save.h"

#include <string>

int main(int argc, char** argv) {
    if (argc != 4) {
        return 2;
    }
    for (int n = std::stoi(argv[3]);; ++n) {
        const QByteArray bytes = QByteArray::number(n).append(';').repeated(1 + n % 500);
        WriteFileAtomically(QString::fromLocal8Bit(argv[1]), bytes);
        WriteFileAtomically(QString::fromLocal8Bit(argv[2]), bytes);
    }
}
