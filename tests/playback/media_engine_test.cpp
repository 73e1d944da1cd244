#include "playback/media_engine.h"

#include <gtest/gtest.h>

TEST(MediaEngineInterface, Compiles) {
    SUCCEED();
}
