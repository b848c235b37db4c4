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
        addAveTimes("CalSisuu.mdb", "大井 1200 C1 0 75, 大井 1200 C1 1 70, 大井 1600 A1 0 100, 大井 1400 B1 0 0");
    }
    void result(const QString& code, int kyori, const QString& cls, double time, int siba = 0, int baba = 1)
    {
        addRace(code,
            DbRow()
                .set("R_flag", "Seiseki")
                .set("R_kyori", kyori)
                .set("R_class", cls)
                .set("R_time", time)
                .set("R_siba", siba)
                .set("R_baba", baba)
                .set("R_sisuu", 0));
    }
    bool build(const QString& year = "2008", bool all = false) { return runKanriOperation(kBuild, [&] { makeBabaFile(year, all); }); }
    QStringList days() { return rows("CalSisuu.mdb", "SELECT * FROM T_sisuu ORDER BY S_date, S_zyo, S_siba"); }
    QStringList deviations() { return rows("NAR_data.dat", "SELECT R_code, R_sisuu FROM T_Rdata ORDER BY R_code"); }
};

}

// Hand-worked day at 大井, 24 March 2008: one day row keeping race 1's going (turf makes none).
// Deviations 10.0 (out), 2.9, -2.9, 3.0 (out, strict), turf 0.5 from the dirt row; a zero standard
// time keeps its deviation; day mean (2.9 - 2.9 + 0.5) / 3. Central races and earlier years untouched.
TEST_F(BabaFileBuild, HandWorkedDayAndExport)
{
    for (const auto& [code, kyori, cls, time, siba, baba] : std::vector<std::tuple<QString, int, QString, double, int, int>> {
             {"大井08032402", 1200, "C1", 85.0, 0, 3}, {"大井08032401", 1200, "C1", 77.9, 0, 2}, {"大井08032403", 1200, "C1", 72.1, 0, 1},
             {"大井08032404", 1600, "A1", 103.0, 0, 1}, {"大井08032405", 1200, "C1", 75.5, 1, 1}, {"大井08032406", 1400, "B1", 90.0, 0, 1},
             {"Ｊ東京08032401", 1200, "C1", 70.0, 0, 1}, {"大井07123101", 1200, "C1", 76.0, 0, 1}})
        result(code, kyori, cls, time, siba, baba);
    EXPECT_TRUE(build());
    EXPECT_EQ(msgs_.texts(), QStringList {"馬場情報ファイルを作成しました"});
    EXPECT_EQ(deviations(), (QStringList {"大井07123101|0", "大井08032401|" + QString::number(float(77.9 - 75.0)), "大井08032402|10", "大井08032403|"
                                          + QString::number(float(72.1 - 75.0)), "大井08032404|3", "大井08032405|0.5", "大井08032406|0", "Ｊ東京08032401|0"}));
    ASSERT_EQ(days().size(), 1);
    const QStringList f = days()[0].split('|');
    EXPECT_EQ(f.mid(0, 3) + f.mid(4), (QStringList {"2008-03-24", "大井", "0", "2", "3"}));
    const double sum = double(float(float(float(77.9 - 75.0) + float(72.1 - 75.0)) + 0.5f));
    EXPECT_NEAR(f[3].toDouble(), sum / 3, 1e-12);

    // Template stamped with the newest day; the dated copy is its bytes and is accepted.
    EXPECT_EQ(rows("motofile.mdb", "SELECT S_date, S_zyo, S_siba, S_taisyo, (SELECT \"date\" FROM version) FROM T_sisuu"),
        QStringList {"2008-03-24|大井|0|3|2008-03-24"});
    const QString dated = path("情報ファイル/地方馬場ファイル080324版.dat");
    EXPECT_EQ(readTestFile(dated), readTestFile(path("motofile.mdb")));
    EXPECT_EQ(QDir(dir_.path()).entryList({"*.tmp"}, QDir::Files), QStringList {});
    setBabaFilePicker([&](const QString&, const QString&) { return dated; });
    EXPECT_TRUE(updateNarBabaFile());
    setBabaFilePicker({});
}

// A day whose second race runs on the other surface gets a row for each surface, each with the going of its own first
// race; both take the variant of all the day's races (1.0, 2.0 and, from race 3, 0.5). A surface first used in race 3
// gets no row (川崎, which has no standard time). The template receives both rows of each day.
TEST_F(BabaFileBuild, SecondRaceOnTheOtherSurface)
{
    for (const auto& [code, time, siba, baba] : std::vector<std::tuple<QString, double, int, int>> {
             {"大井08040101", 76.0, 0, 2}, {"大井08040102", 77.0, 1, 1}, {"大井08040103", 75.5, 0, 4},
             {"大井08040201", 76.0, 1, 3}, {"大井08040202", 77.0, 0, 4}, {"川崎08040201", 76.0, 0, 1}, {"川崎08040203", 77.0, 1, 1}})
        result(code, 1200, "C1", time, siba, baba);
    ASSERT_TRUE(build());
    EXPECT_EQ(days(), (QStringList {"2008-04-01|大井|0|1.1666666666666667|2|3", "2008-04-01|大井|1|1.1666666666666667|1|3",
                                    "2008-04-02|大井|0|1.5|4|2", "2008-04-02|大井|1|1.5|3|2", "2008-04-02|川崎|0|0|1|0"}));
    EXPECT_EQ(rows("motofile.mdb", "SELECT S_date, S_zyo, S_siba, S_baba, S_taisyo FROM T_sisuu ORDER BY S_date, S_zyo, S_siba"),
              (QStringList {"2008-04-01|大井|0|2|3", "2008-04-01|大井|1|1|3", "2008-04-02|大井|0|4|2", "2008-04-02|大井|1|3|2",
                            "2008-04-02|川崎|0|1|0"}));
}

// Band edges: -3.0 never counts (as 3.0 above), ±2.9999 does; an all-outside day keeps 0, is looked at again.
TEST_F(BabaFileBuild, BandEdgesAndOutsideDays)
{
    for (const auto& [code, sisuu] : std::vector<std::pair<QString, double>> {{"大井08030101", -3.0}, {"大井08030201", 2.9999}, {"大井08030301", -2.9999}})
        addRace(code, DbRow().set("R_flag", "Seiseki").set("R_sisuu", sisuu).set("R_kyori", 1200).set("R_class", "X"));
    ASSERT_TRUE(build());
    EXPECT_EQ(days(), (QStringList {"2008-03-01|大井|0|0|0|0", "2008-03-02|大井|0|2.9999|0|1", "2008-03-03|大井|0|-2.9999|0|1"}));
    exec("NAR_data.dat", "UPDATE T_Rdata SET R_sisuu = 1.5 WHERE R_code = '大井08030101'");
    ASSERT_TRUE(build());
    EXPECT_EQ(days()[0], "2008-03-01|大井|0|1.5|0|1");
}

// Failures change no file; one message each naming the build and cause. Without results the empty
// template gives no edition day. (The start year is checked in the window's tests.)
TEST_F(BabaFileBuild, RefusalsAndFailuresLeaveEveryFile)
{
    const QString dated = path("情報ファイル/地方馬場ファイル080324版.dat");
    for (const auto& [damage, cause] : std::vector<std::pair<std::function<void()>, QString>> {
             {[] {}, "motofile.mdbに馬場指数の行がないため、版の日付が決まりません"},
             {[this] {
                  result("大井08032401", 1200, "C1", 76.0);
                  QDir(path("情報ファイル")).removeRecursively();
              },
                 "フォルダ「情報ファイル」がありません"},
             {[&] { QDir().mkpath(dated); }, "ファイルを書き込めません: " + dated},
             {[this] { exec("CalSisuu.mdb", "DROP TABLE T_avetime"); }, "CalSisuu.mdbに「T_avetime」がありません"},
             {[this] { QFile::remove(path("CalSisuu.mdb")); }, "ファイル「CalSisuu.mdb」がありません"}}) {
        damage();
        const auto damaged = snapshot();
        msgs_.clear();
        EXPECT_FALSE(build());
        EXPECT_EQ(msgs_.texts(), QStringList {kBuild + "を中止しました\n" + cause});
        EXPECT_EQ(snapshot(), damaged) << cause.toStdString();
        QDir(dir_.path()).mkpath("情報ファイル");
        QDir(dated).removeRecursively();
    }
}

// A Cancel rolls back. Unchecked, a second build leaves computed races and days alone; checked, it recomputes them all.
TEST_F(BabaFileBuild, CancelAndIncremental)
{
    result("大井08032401", 1200, "C1", 76.0);
    const auto before = snapshot();
    cancelSoon();
    EXPECT_FALSE(build());
    EXPECT_EQ(msgs_.texts(), QStringList {kBuild + "をキャンセルしました"});
    EXPECT_EQ(snapshot(), before);
    ASSERT_TRUE(build());
    exec("CalSisuu.mdb", "UPDATE T_avetime SET A_time = 75.5 WHERE A_zyo = '大井' AND A_kyori = 1200 AND A_siba = 0");
    ASSERT_TRUE(build("2008", false));
    EXPECT_EQ(deviations() + days(), (QStringList {"大井08032401|1", "2008-03-24|大井|0|1|1|1"}));
    ASSERT_TRUE(build("2008", true));
    EXPECT_EQ(deviations() + days(), (QStringList {"大井08032401|0.5", "2008-03-24|大井|0|0.5|1|1"}));
}

