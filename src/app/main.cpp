#include "app/app_module.h"

int main(int argc, char** argv) {
    return RunTembrel(argc, argv, [] { return std::unique_ptr<MediaEngine>(); });
}
