#include "app/app_module.h"
#include "playback/gst_engine.h"

int main(int argc, char** argv) {
    return RunTembrel(argc, argv, GstEngineFactory());
}
