#include "platform/application.h"
#include "tests/support/windowsLeftOpen.h"
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Widget tests never need a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    Application app(argc, argv);
    const int result = RUN_ALL_TESTS();
    deleteWindowsLeftOpen();
    return result;
}
