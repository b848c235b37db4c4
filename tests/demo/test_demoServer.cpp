// What the demo server changes in the program folder, and how it answers the program's addresses.
#include "core/publicFunction.h"
#include "platform/inifile.h"
#include "platform/textcodec.h"
#include "tests/demo/demoFixture.h"
#include "tests/support/dataFiles.h"
#include "tests/support/qtPrinters.h"
#include "tests/support/lhaTool.h"
#include "tools/demoHtml.h"
#include "tools/demoPages.h"
#include "tools/demoTrackFiles.h"

// The settings point at the demo only where no host of the user's own is set; the rest of the file
// stays; a missing file is written. The track files get the world's tables only where nothing of the
// user's is.
TEST(DemoServer, SettingsAndTrackFilesChangedOnlyWhereNothingOfTheUsersIs)
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
    // The default track files of a new set-up get the world's standard times, and the local one and the work file
    // the same variants of every day of the year up to today, the local one with today's edition; a missing one
    // stays missing.
    const DemoWorld world(kDemoToday);
    for (const DataFileKind kind : {DataFileKind::StrevinData, DataFileKind::CalSisuu})
        dir.create(kind);
    const auto query = [&](const QString& file, const QString& sql, const DbParams& params = {}) {
        openDbOrThrow(0, dir.filePath(file), file == "CalSisuu.mdb" ? QString() : dbPassword);
        const DbSlotCloser closer(0);
        if (!sql.startsWith("SELECT")) {
            slotConnection(0).execute(sql, params);
            return QString::number(slotConnection(0).changes());
        }
        const RecordSet rs(0, sql, params);
        return rs.eof() ? QString() : rs.field(0).toString();
    };
    const QString times = "SELECT COUNT(*) || group_concat(A_zyo || A_kyori || A_class || A_time) FROM T_avetime";
    const QString variants = "SELECT COUNT(*) || ':' || group_concat(S_date || S_zyo || S_sisuu) FROM T_sisuu";
    const QString edition = "SELECT group_concat(\"date\") FROM version";
    EXPECT_EQ(query("Strevin_data.dat", edition), "");
    EXPECT_EQ(fillDemoTrackFiles(dir.path(), world), QStringList({"Strevin_data.dat", "CalSisuu.mdb"}));
    EXPECT_EQ(std::tuple(query("Strevin_data.dat", "SELECT COUNT(*) FROM T_avetime"), query("Strevin_data.dat", "SELECT COUNT(*) FROM T_sisuu"),
                         query("Strevin_data.dat", "SELECT MAX(S_date) FROM T_sisuu"), query("Strevin_data.dat", edition),
                         query("CalSisuu.mdb", times), query("CalSisuu.mdb", variants)),
              std::tuple(QString::number(3 * 4 * 6), QString::number(367 * 3), QString("2026-12-07"), QString("2026-12-07"),
                         query("Strevin_data.dat", times), query("Strevin_data.dat", variants)));
    // Ten days later: the new template gets its standard times, the two files the variants of the ten days, and
    // the demo of that day, whose races fall on other days, finds each race day's variant in both.
    dir.create(DataFileKind::Motofile);
    const DemoWorld later(kDemoToday.addDays(10));
    EXPECT_EQ(fillDemoTrackFiles(dir.path(), later), QStringList({"Strevin_data.dat", "CalSisuu.mdb", "motofile.mdb"}));
    EXPECT_EQ(std::pair(query("Strevin_data.dat", edition), query("motofile.mdb", edition)), std::pair(QString("2026-12-17"), QString()));
    for (const QString file : {"Strevin_data.dat", "CalSisuu.mdb"}) {
        int found = 0;
        for (const DemoWorldRace& race : later.races()) {
            const QString value = query(file, "SELECT S_sisuu FROM T_sisuu WHERE S_date = ? AND S_zyo = ? AND S_siba = 0",
                                        {race.date, later.tracks()[size_t(race.track)].name});
            found += !value.isEmpty() && std::abs(value.toDouble() - later.variant(race.date, race.track)) < 1e-6 ? 1 : 0;
        }
        EXPECT_EQ(std::pair(found, query(file, "SELECT COUNT(*) FROM T_sisuu").toInt()), std::pair(int(later.races().size()), 377 * 3))
            << file.toStdString();
    }
    EXPECT_EQ(fillDemoTrackFiles(dir.path(), later), QStringList());
    // Standard times that are not the world's (a real edition, or corrected ones) keep every byte of their file.
    EXPECT_EQ(query("Strevin_data.dat", "UPDATE T_avetime SET A_time = A_time + 0.5 WHERE A_zyo = '川崎' AND A_class = 'ave'"), "4");
    const QByteArray real = readTestFile(dir.filePath("Strevin_data.dat"));
    EXPECT_EQ(fillDemoTrackFiles(dir.path(), DemoWorld(kDemoToday.addDays(20))), QStringList({"CalSisuu.mdb"}));
    EXPECT_EQ(readTestFile(dir.filePath("Strevin_data.dat")), real);
}

// Pages by the program's addresses, the card's race number padded or not; anything else is the
// authority's whole page without data.
TEST(DemoServer, AnswersByTheProgramsAddresses)
{
    const DemoSite site(kDemoToday);
    const DemoWorldRace& race = site.world().races().end()[-12];  // 園田 1R today
    const QByteArray card = demoCard(site.world(), race);
    const QString target = demoCardTarget(site.world(), race);
    const auto body = [&](const QString& t) { const QByteArray r = site.response(t.toLatin1()); return r.mid(r.indexOf("\r\n\r\n") + 4); };
    EXPECT_EQ(std::pair(race.raceNo, race.today), std::pair(1, true));
    EXPECT_EQ(QList({body(target), body(QString(target).replace("k_raceNo=01", "k_raceNo=1")),
                     body(QString(target).replace("%2F12%2F07", "%2F12%2F7"))}),
              QList({card, card, card}));
    const QByteArray missing = demoMissingPage();
    EXPECT_TRUE(fromCp932(missing).contains("HOME</a> ＞ エラー"));
    for (const QString& other : {QString(target).replace("k_raceNo=01", "k_raceNo=13"), QString(target).replace("k_babaCode=27", "k_babaCode=20")
                                     .replace("%2F07", "%2F06"), QString("/keibaWeb/"), QString(kDemoHorsePath + "0000000000")})
        EXPECT_EQ(body(other), missing) << other.toStdString();
    const QByteArray answer = site.response(target.toLatin1());
    EXPECT_TRUE(answer.startsWith("HTTP/1.1 200 OK\r\n") && answer.contains("Content-Length: " + QByteArray::number(card.size()) + "\r\n"));
}
