#include "platform/inifile.h"
#include "tests/mainwindow/frmMainFixture.h"

// The settings point at the demo only where no host of the user's own is set; the rest of the file
// stays; a missing file is written.
TEST(DemoServer, SettingsAndTrackFileChangedOnlyWhereNothingOfTheUsersIs)
{
    TestAppDir dir;
    const QString ini = dir.filePath("Strevin.ini");
    const std::tuple<QString, bool, QString> table[] = {
        {"", true, "127.0.0.1:4321"}, {"localhost", true, "127.0.0.1:4321"}, {"127.0.0.1:1234", true, "127.0.0.1:4321"},
        {"keiba.example.jp", false, "keiba.example.jp"}, {"192.168.1.5:8080", false, "192.168.1.5:8080"}};
    for (const auto& [before, pointed, after] : table) {
        const IniFile settings(ini);
        ASSERT_TRUE(settings.writeString("System", "webHost", before) && settings.writeString("System", "Zyo", "川崎"));
        const bool done = pointWebHostAt(ini, "127.0.0.1:4321");
        QString host, zyo;
        settings.getString("System", "webHost", "", host);
        settings.getString("System", "Zyo", "", zyo);
        EXPECT_EQ(std::tuple(done, host, zyo), std::tuple(pointed, after, QString("川崎"))) << before.toStdString();
    }
    QFile::remove(ini);
    EXPECT_TRUE(pointWebHostAt(ini, "127.0.0.1:4321"));
    // The default track file of a new set-up gets the demo's standard times; a real edition keeps every byte.
    DemoRace race {VbDate::fromYmd(2026, 12, 6)};
    const QString path = dir.createStrevinData();
    const auto count = [&](const QString& table) {
        openDbOrThrow(0, path, dbPassword);
        const DbSlotCloser closer(0);
        return RecordSet(0, "SELECT COUNT(*) FROM " + table).field(0).toInt();
    };
    ASSERT_EQ(count("T_avetime"), 0);
    EXPECT_TRUE(fillEmptyTrackFile(path, race) && count("T_avetime") > 0 && count("T_sisuu") > 0);
    const QByteArray filled = readTestFile(path);
    race.date = race.date.addDays(7);
    EXPECT_EQ(std::pair(fillEmptyTrackFile(path, race), readTestFile(path)), std::pair(false, filled));
}
