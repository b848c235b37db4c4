#pragma once
// The application object, named "Brennock": its top-level handler catches what escapes an event handler
// (debug mode does not trap), shows what failed and where, and keeps the program running.
#include <QApplication>

class Application : public QApplication {
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Lets the message loop run once (DoEvents).
void doEvents();
