#include "platform/application.h"

#include "platform/msgbox.h"

#include <QMetaObject>

// The program's name is the title of its message boxes. It is not a display name: Qt would add
// that to every window's caption, and the captions are the system's own.
Application::Application(int& argc, char** argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Brennock"));
}

// Only debug mode lets an exception get this far; the user learns what failed and in
// which object, and the message loop goes on.
bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        const QString where = receiver
            ? QStringLiteral("%1 \"%2\"").arg(QString::fromLatin1(receiver->metaObject()->className()),
                                             receiver->objectName())
            : QStringLiteral("(none)");
        msgBox(QStringLiteral("%1\n\n%2").arg(QString::fromUtf8(e.what()), where), vbOKOnly);
        return false;
    }
}

void doEvents()
{
    QCoreApplication::processEvents();
}
