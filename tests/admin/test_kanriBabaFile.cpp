#include "admin/kanriBabaFile.h"
#include "admin/kanriCommon.h"
#include "core/mainBabaFile.h"
#include "tests/admin/kanriFixture.h"

namespace {

const QString kBuild = "馬場情報ファイルの作成";

class BabaFileBuild : public KanriFixture {
protected:
    void SetUp() override
    {
        KanriFixture::SetUp();
        for (const auto& [zyo, kyori, cls, siba, time] : std::vector<std::tuple<QString, int, QString, int, double>> {
                 {"大井", 1200, "C1", 0, 75.0}, {"大井", 1200, "C1", 1, 70.0}, {"大井", 1600, "A1", 0, 100.0},
                 {"大井", 1400, "B1", 0, 0.0}, {"川崎", 1500, "C2", 0, 95.5}})
            insert("CalSisuu.mdb", "T_avetime", DbRow().set("A_zyo", zyo).set("A_kyori", kyori).set("A_class", cls)
                                                    .set("A_sin_kyu", 1).set("A_siba", siba).set("A_time", time));
    }
    // A results race at 大井 on 24 March 2008 (or another day) with its deviation to be.
    void result(const QString& code, int kyori, const QString& cls, double time, int siba = 0, int baba = 1,
                double sisuu = 0)
    {
        addRace(code, DbRow().set("R_flag", "Seiseki").set("R_kyori", kyori).set("R_class", cls).set("R_time", time)
                          .set("R_siba", siba).set("R_baba", baba).set("R_sisuu", sisuu));
    }
    bool build(const QString& year = "2008", bool all = false)
    {
        return runKanriOperation(kBuild, [&] { makeBabaFile(year, all); });
    }
    QStringList days() { return rows("CalSisuu.mdb", "SELECT * FROM T_sisuu ORDER BY S_date, S_zyo, S_siba"); }
    QStringList deviations() { return rows("NAR_data.dat", "SELECT R_code, R_sisuu FROM T_Rdata ORDER BY R_code"); }
};

}

// Hand-worked day at 大井, 24 March 2008: race 1 dirt going 2 and race 2 dirt going 3 make one day
// row that keeps race 1's going; race 5 on turf makes none. Deviations: 85.0 - 75.0 = 10.0 (outside
// the band), 77.9 - 75.0 = 2.9, 72.1 - 75.0 = -2.9 (both in), 103.0 - 100.0 = 3.0 (out, strict),
// turf race 5 uses the dirt row (first row, the lookup ignores surface): 75.5 - 75.0 = 0.5; a race
// whose standard time is 0 keeps its deviation. Day mean over 2.9, -2.9, 0.5: 0.5 / 3. A central
// race makes no day row and gets no deviation; a day before the start year is left alone.
TEST_F(BabaFileBuild, HandWorkedDayAndExport)
{
    result("大井08032402", 1200, "C1", 85.0, 0, 3);
    result("大井08032401", 1200, "C1", 77.9, 0, 2);
    result("大井08032403", 1200, "C1", 72.1);
    result("大井08032404", 1600, "A1", 103.0);
    result("大井08032405", 1200, "C1", 75.5, 1);
    result("大井08032406", 1400, "B1", 90.0, 0, 1, 0);
    result("Ｊ東京08032401", 1200, "C1", 70.0);
    result("大井07123101", 1200, "C1", 76.0);
    ASSERT_TRUE(build()) << msgs_.texts().join('\n').toStdString();
    EXPECT_EQ(msgs_.texts(), QStringList {"馬場情報ファイルを作成しました"});
    const float in = 2.9f + -2.9f + 0.5f;  // 77.9 - 75 etc. are stored as singles; summed as singles
    EXPECT_EQ(deviations(), (QStringList {"大井07123101|0", "大井08032401|" + QString::number(float(77.9 - 75.0)),
                                          "大井08032402|10", "大井08032403|" + QString::number(float(72.1 - 75.0)),
                                          "大井08032404|3", "大井08032405|0.5", "大井08032406|0", "Ｊ東京08032401|0"}));
    const QStringList day = days();
    ASSERT_EQ(day.size(), 1);
    const QStringList f = day[0].split('|');
    EXPECT_EQ(f.mid(0, 3) + f.mid(4), (QStringList {"2008-03-24", "大井", "0", "2", "3"}));
    const double sum = double(float(float(float(77.9 - 75.0) + float(72.1 - 75.0)) + 0.5f));
    EXPECT_NEAR(f[3].toDouble(), sum / 3, 1e-12);
    EXPECT_NEAR(sum, double(in), 1e-5);

    // The template holds the day row and is stamped with the newest day; the dated copy is its
    // bytes and is accepted by the track-file replacement.
    EXPECT_EQ(rows("motofile.mdb", "SELECT S_date, S_zyo, S_siba, S_taisyo FROM T_sisuu"),
              QStringList {"2008-03-24|大井|0|3"});
    EXPECT_EQ(rows("motofile.mdb", "SELECT \"date\" FROM version"), QStringList {"2008-03-24"});
    const QString dated = path("情報ファイル/地方馬場ファイル080324版.dat");
    EXPECT_EQ(readTestFile(dated), readTestFile(path("motofile.mdb")));
    EXPECT_EQ(QDir(dir_.path()).entryList({"*.tmp"}, QDir::Files), QStringList {});
    setBabaFilePicker([&](const QString&, const QString&) { return dated; });
    EXPECT_TRUE(updateNarBabaFile());
    setBabaFilePicker({});
}

// The band's edges as stored singles: a deviation of exactly ±3.0 never counts, ±2.9999 does; a day
// whose races all lie outside keeps its new row at 0, and the next build looks at it again.
TEST_F(BabaFileBuild, BandEdgesAndOutsideDays)
{
    const std::vector<std::tuple<QString, double, bool>> cases {
        {"大井08030101", 3.0, false}, {"大井08030201", -3.0, false}, {"大井08030301", 2.9999, true},
        {"大井08030401", -2.9999, true}, {"大井08030501", 3.0001, false}};
    for (const auto& [code, sisuu, counted] : cases)
        addRace(code, DbRow().set("R_flag", "Seiseki").set("R_sisuu", sisuu).set("R_kyori", 1200).set("R_class", "X"));
    ASSERT_TRUE(build());
    QStringList expected;
    for (const auto& [code, sisuu, counted] : cases)
        expected << "20" + code.mid(2, 2) + "-" + code.mid(4, 2) + "-" + code.mid(6, 2) + "|大井|0|"
                        + (counted ? QString::number(double(float(sisuu))) : "0") + "|0|" + (counted ? "1" : "0");
    EXPECT_EQ(days(), expected);
    // A later result on an outside day is picked up because its row still reads 0.
    exec("NAR_data.dat", "UPDATE T_Rdata SET R_sisuu = 1.5 WHERE R_code = '大井08030101'");
    ASSERT_TRUE(build());
    EXPECT_EQ(days()[0], "2008-03-01|大井|0|1.5|0|1");
}

// Unchecked, a second build leaves computed races and days alone; checked, it recomputes them all
// from the standard times as they are now.
TEST_F(BabaFileBuild, IncrementalAgainstRecomputeAll)
{
    result("大井08032401", 1200, "C1", 76.0);
    ASSERT_TRUE(build());
    exec("CalSisuu.mdb", "UPDATE T_avetime SET A_time = 75.5 WHERE A_zyo = '大井' AND A_kyori = 1200 AND A_siba = 0");
    ASSERT_TRUE(build("2008", false));
    EXPECT_EQ(deviations(), QStringList {"大井08032401|1"});
    EXPECT_EQ(days(), QStringList {"2008-03-24|大井|0|1|1|1"});
    ASSERT_TRUE(build("2008", true));
    EXPECT_EQ(deviations(), QStringList {"大井08032401|0.5"});
    EXPECT_EQ(days(), QStringList {"2008-03-24|大井|0|0.5|1|1"});
    // The same build twice gives the same template and dated file (as rows: the cipher's pages
    // differ at every write).
    const auto dated = [this] {
        return rows("情報ファイル/地方馬場ファイル080324版.dat", "SELECT * FROM T_sisuu")
            + rows("情報ファイル/地方馬場ファイル080324版.dat", "SELECT * FROM version");
    };
    const QStringList first = dated();
    ASSERT_TRUE(build("2008", true));
    EXPECT_EQ(dated(), first);
}

// Bad input and failures change nothing at all: each gets one message naming the build and cause.
TEST_F(BabaFileBuild, RefusalsAndFailuresLeaveEveryFile)
{
    result("大井08032401", 1200, "C1", 76.0);
    const std::vector<std::pair<std::function<void()>, QString>> cases {
        {[] {}, "開始年は西暦4桁で指定してください: 08"},
        {[this] { QDir(path("情報ファイル")).removeRecursively(); }, "フォルダ「情報ファイル」がありません"},
        {[this] { QDir(dir_.path()).mkpath("情報ファイル/地方馬場ファイル080324版.dat"); },
         "ファイルを書き込めません"},
        {[this] { exec("CalSisuu.mdb", "DROP TABLE T_avetime"); }, "CalSisuu.mdbに「T_avetime」がありません"},
        {[this] { QFile::remove(path("CalSisuu.mdb")); }, "ファイル「CalSisuu.mdb」がありません"},
    };
    for (const auto& [damage, cause] : cases) {
        damage();
        const auto damaged = snapshot();
        msgs_.clear();
        EXPECT_FALSE(build(cause.contains("西暦") ? "08" : "2008"));
        ASSERT_EQ(msgs_.texts().size(), 1);
        EXPECT_TRUE(msgs_.texts()[0].startsWith(kBuild + "を中止しました\n" + cause)) << msgs_.texts()[0].toStdString();
        EXPECT_EQ(snapshot(), damaged) << cause.toStdString();
        EXPECT_FALSE(isDbOpen(1) || isDbOpen(2) || isDbOpen(3) || isDialogSincyokuLoaded());
        QDir(dir_.path()).mkpath("情報ファイル");
        QDir(path("情報ファイル/地方馬場ファイル080324版.dat")).removeRecursively();
    }
}

// No results and an empty template: no edition day, so no stamp and no copy. A Cancel rolls back.
TEST_F(BabaFileBuild, EmptyTemplateAndCancel)
{
    const auto empty = snapshot();
    EXPECT_FALSE(build());
    EXPECT_EQ(msgs_.texts(), QStringList {kBuild + "を中止しました\nmotofile.mdbに馬場指数の行がないため、版の日付が決まりません"});
    EXPECT_EQ(snapshot(), empty);
    result("大井08032401", 1200, "C1", 76.0);
    const auto before = snapshot();
    msgs_.clear();
    cancelSoon();
    EXPECT_FALSE(build());
    EXPECT_EQ(msgs_.texts(), QStringList {kBuild + "をキャンセルしました"});
    EXPECT_EQ(snapshot(), before);
}
