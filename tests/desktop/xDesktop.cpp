#include "tests/desktop/xDesktop.h"

#include "platform/application.h"
#include "tests/support/windowsLeftOpen.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <signal.h>
#include <sys/prctl.h>

namespace {

QString failure = QStringLiteral("not started");

// Runs xdotool on the desktop to its end: its exit code, none when it could not run.
std::optional<int> xdotool(const QStringList& arguments)
{
    QProcess p;
    p.start("xdotool", arguments);
    if (!p.waitForFinished(5000) || p.exitStatus() != QProcess::NormalExit)
        return std::nullopt;
    return p.exitCode();
}

// The server and the window manager end with the test program, even one that crashed.
bool startWithUs(QProcess& p, const QString& program, const QStringList& arguments)
{
    p.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    p.start(program, arguments);
    return p.waitForStarted(5000);
}

class DesktopEnvironment : public ::testing::Environment {
public:
    DesktopEnvironment(int& argc, char** argv) : argc_(argc), argv_(argv) {}

    void SetUp() override
    {
        failure = startDesktop();
        // Without the desktop the tests skip, but their fixtures still make widgets.
        qputenv("QT_QPA_PLATFORM", failure.isEmpty() ? "xcb" : "offscreen");
        app_ = std::make_unique<Application>(argc_, argv_);
    }

    void TearDown() override
    {
        deleteWindowsLeftOpen();
        app_.reset();
        for (QProcess* p : {&manager_, &server_}) {
            p->terminate();
            if (!p->waitForFinished(3000))
                p->kill();
        }
    }

private:
    // The X server picks a free display and tells its number on its standard output; the window
    // manager is ready once it answers for the desktops it manages. Without xdotool the tests
    // fail at their first click.
    QString startDesktop()
    {
        if (!startWithUs(server_, "Xvfb", {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"}))
            return "Xvfb cannot start: " + server_.errorString();
        QString number;
        while (!number.endsWith('\n') && server_.waitForReadyRead(10000))
            number += QString::fromLatin1(server_.readAllStandardOutput());
        if (number.trimmed().isEmpty())
            return "Xvfb gave no display: " + QString::fromLocal8Bit(server_.readAllStandardError()).trimmed();
        qputenv("DISPLAY", (':' + number.trimmed()).toLatin1());
        if (!startWithUs(manager_, "openbox", {"--sm-disable"}))
            return "openbox cannot start: " + manager_.errorString();
        QElapsedTimer waited;
        waited.start();
        for (auto answer = xdotool({"get_num_desktops"}); answer && *answer != 0; answer = xdotool({"get_num_desktops"})) {
            if (manager_.state() != QProcess::Running || waited.elapsed() > 10000)
                return "openbox does not manage the display: " + QString::fromLocal8Bit(manager_.readAllStandardError()).trimmed();
            QThread::msleep(20);
        }
        return {};
    }

    int& argc_;
    char** argv_;
    QProcess server_, manager_;
    std::unique_ptr<Application> app_;
};

}  // namespace

QString desktopFailure()
{
    return failure;
}

void clickOnDesktop(QPoint global)
{
    EXPECT_EQ(xdotool({"mousemove", QString::number(global.x()), QString::number(global.y()), "click", "1"}), 0)
        << "xdotool cannot click at " << global.x() << "," << global.y();
}

void addDesktopEnvironment(int& argc, char** argv)
{
    ::testing::AddGlobalTestEnvironment(new DesktopEnvironment(argc, argv));
}
