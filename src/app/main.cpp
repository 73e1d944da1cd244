#include "app/app_module.h"
#include "engine/gst_engine.h"

int main(int argc, char** argv) {
    return RunTembrel(argc, argv, GstEngineFactory());
}
