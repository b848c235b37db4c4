// demoServer [--port N] [--date yyyy-mm-dd] [--ini path-of-Strevin.ini] [--data program-folder]
// Serves the demo world of the given day (today when none is given) on 127.0.0.1 at the racing
// authority's paths, so that a new user can try the program without the authority's server:
// today's race cards at three tracks, every horse's history and the results of every past race.
// With --ini it points [System] webHost of that settings file at itself, unless the user has set
// a host of their own there (then it exits with status 3 and serves nothing).
// With --data it gives the folder's track information files that hold no standard time (the
// default ones of a new set-up) the world's variants and standard times, so that its runs get
// speed indices and the administration tools work, and brings the variants of files it filled on
// an earlier day up to today; files with other standard times are left alone.
// Prints "127.0.0.1:<port>" once it listens; runs until it is stopped.
#include "tools/demoSite.h"
#include "tools/demoPages.h"
#include "tools/demoTrackFiles.h"

#include <QCoreApplication>
#include <QDate>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    VbDate today = VbDate::fromQDate(QDate::currentDate());
    quint16 port = 0;
    QString ini, dataFolder;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == "--port")
            port = quint16(args[i + 1].toUInt());
        else if (args[i] == "--ini")
            ini = args[i + 1];
        else if (args[i] == "--data")
            dataFolder = args[i + 1];
        else if (args[i] == "--date")
            today = VbDate::fromQDate(QDate::fromString(args[i + 1], Qt::ISODate));
    }
    if (today.isZero()) {
        std::fprintf(stderr, "demoServer: the date must be yyyy-mm-dd\n");
        return 2;
    }
    DemoSite site(today);
    if (!site.listen(port)) {
        std::fprintf(stderr, "demoServer: cannot listen: %s\n", qPrintable(site.errorString()));
        return 1;
    }
    const QString host = QStringLiteral("127.0.0.1:%1").arg(site.port());
    if (!ini.isEmpty() && !pointWebHostAt(ini, host))
        return 3;
    if (!dataFolder.isEmpty()) {
        try {
            for (const QString& file : fillDemoTrackFiles(dataFolder, site.world()))
                std::fprintf(stderr, "demoServer: the demo's track tables are in %s\n", qPrintable(file));
        } catch (const std::exception& e) {
            std::fprintf(stderr, "demoServer: the track files of %s are left as they were: %s\n", qPrintable(dataFolder), e.what());
        }
    }
    std::printf("%s\n", qPrintable(host));
    std::fflush(stdout);
    return app.exec();
}
