#include "core/publicFunction.h"
#include "platform/database.h"
#include "platform/inifile.h"
#include "tests/support/dataFiles.h"
#include "tests/support/pageServer.h"
#include "tools/demoPages.h"
#include "platform/msgbox.h"
#include "webimport/ReadWebSeiseki.h"
#include "webimport/dialogWeb.h"

#include <QFile>
#include <gtest/gtest.h>

// The demo points the program at itself only where no host of the user's own is set, and keeps
// the rest of the settings file.
TEST(DemoServer, PointsWebHostAtItselfUnlessTheUserSetAHost)
{
    TestAppDir dir;
    const QString ini = dir.filePath("Strevin.ini");
    const std::tuple<QString, bool, QString> table[] = {
        {"", true, "127.0.0.1:4321"},
        {"localhost", true, "127.0.0.1:4321"},
        {"127.0.0.1:1234", true, "127.0.0.1:4321"},
        {"keiba.example.jp", false, "keiba.example.jp"},
        {"192.168.1.5:8080", false, "192.168.1.5:8080"},
    };
    for (const auto& [before, pointed, after] : table) {
        const IniFile settings(ini);
        ASSERT_TRUE(settings.writeString("System", "webHost", before));
        ASSERT_TRUE(settings.writeString("System", "Zyo", "川崎"));
        EXPECT_EQ(pointWebHostAt(ini, "127.0.0.1:4321"), pointed) << before.toStdString();
        QString host, zyo;
        settings.getString("System", "webHost", "", host);
        settings.getString("System", "Zyo", "", zyo);
        EXPECT_EQ(std::tuple(host, zyo), std::tuple(after, QString("川崎"))) << before.toStdString();
    }
    QFile::remove(ini);
    EXPECT_TRUE(pointWebHostAt(ini, "127.0.0.1:4321"));
}

// The demo gives the default track file of a new set-up its days and standard times, so that the
// demo race gets indices; a file that has standard times (a real edition) keeps every byte.
TEST(DemoServer, FillsOnlyATrackFileWithoutStandardTimes)
{
    TestAppDir dir;
    DemoRace race;
    race.date = VbDate::fromYmd(2026, 12, 6);
    const QString path = dir.createStrevinData();
    const auto count = [&](const char* table) {
        openDbOrThrow(0, path, dbPassword);
        const DbSlotCloser closer(0);
        return RecordSet(0, QString("SELECT COUNT(*) FROM ") + table).field(0).toInt();
    };
    ASSERT_EQ(count("T_avetime"), 0);
    EXPECT_TRUE(fillEmptyTrackFile(path, race));
    const int times = count("T_avetime"), days = count("T_sisuu");
    EXPECT_TRUE(times > 0 && days > 0);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    race.date = race.date.addDays(7);
    EXPECT_FALSE(fillEmptyTrackFile(path, race));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    EXPECT_EQ(std::pair(count("T_avetime"), count("T_sisuu")), std::pair(times, days));
}

// The results page reads as one: every runner of the last race is stored with its placing.
TEST(DemoServer, ResultsPageReadsAndStores)
{
    TestAppDir dir;
    dir.createNarData();
    dir.createStrevinData();
    PageServer server;
    ASSERT_TRUE(server.start());
    DemoRace race {VbDate::fromYmd(2008, 3, 24)};
    server.addPage(demoResultsTarget(race), demoResults(race), "text/html; charset=Shift_JIS");
    MsgBoxRecorder messages;
    // The results import keeps the track file on slot 1 and the race database on slot 2.
    openDbOrThrow(1, appPath() + "Strevin_data.dat", dbPassword);
    openDbOrThrow(2, appPath() + "NAR_data.dat", dbPassword);
    EXPECT_EQ(readSeisekiPage(server.baseUrl() + demoResultsTarget(race)), SeisekiPage::Saved);
    closeDb(1), closeDb(2);
    unloadDialogWeb();
    openDbOrThrow(0, appPath() + "NAR_data.dat", dbPassword);
    QStringList placings;
    for (RecordSet rs(0, "SELECT U_cyaku, U_name FROM T_Useiseki WHERE R_code = ? ORDER BY U_cyaku", {"大井08022511"});
         !rs.eof(); rs.moveNext())
        placings << rs.field(0).toString() + rs.field(1).toString();
    closeDb(0);
    EXPECT_EQ(std::tuple(placings.size(), placings.value(0), messages.texts()),
              std::tuple(12LL, "1" + demoHorseName(2), QStringList()));
}
