#pragma once
// A desktop of the tests' own: a virtual X server (Xvfb) with a window manager (openbox) that
// frames and places the windows as on a user's screen, and the mouse of that server.
#include <QPoint>
#include <QString>

// Why the desktop could not start; empty while the tests run on it.
QString desktopFailure();

// A real click of the left button at that point of the screen, through the X server.
void clickOnDesktop(QPoint global);

// Starts the desktop and the application on it (on the offscreen platform when the desktop cannot
// start) before the first test, and ends them after the last; nothing starts when tests are
// only listed.
void addDesktopEnvironment(int& argc, char** argv);
