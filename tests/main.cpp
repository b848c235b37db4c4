#include "platform/application.h"
#include <QPointer>
#include <QWidget>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Widget tests never need a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    Application app(argc, argv);
    const int result = RUN_ALL_TESTS();
    // Windows a test left open (sheets shown and never closed) go before the application, so that
    // a leak check at the end sees only what the program lost. Each window takes its own children.
    QList<QPointer<QWidget>> windows;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (!window->parentWidget())
            windows.append(window);
    for (const QPointer<QWidget>& window : windows)
        delete window.data();
    return result;
}
