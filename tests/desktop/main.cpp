#include "tests/desktop/xDesktop.h"

#include <gtest/gtest.h>

// The application runs on a desktop of its own, which starts only when tests run.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    addDesktopEnvironment(argc, argv);
    return RUN_ALL_TESTS();
}
