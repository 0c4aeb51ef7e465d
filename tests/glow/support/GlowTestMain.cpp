// main of the window tests: GLUT is initialised once, before any test.
#include <gtest/gtest.h>

#include "tests/glow/support/GlowTestSupport.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    glowtest::InitGlut();
    return RUN_ALL_TESTS();
}
