#pragma once
// Windows a test left open (sheets shown and never closed) go before the application, so that a
// leak check at the end sees only what the program lost. Each window takes its own children.
#include <QApplication>
#include <QPointer>
#include <QWidget>

inline void deleteWindowsLeftOpen()
{
    QList<QPointer<QWidget>> windows;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (!window->parentWidget())
            windows.append(window);
    for (const QPointer<QWidget>& window : windows)
        delete window.data();
}
