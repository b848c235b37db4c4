// The speed index pass over the loaded race: central runs only with the central file, and a
// missing, unreadable or incomplete track file reported once per race read.
#include "tests/analysis/raceBuilder.h"

#include <QFile>

namespace {

class IndexPass : public RaceTest {
protected:
    // Runners 1..3 with a local run (大井 1500 m) and a central run (東京 1600 m), indexed.
    static void indexRunners()
    {
        redimUma(18, pd.kakoMax);
        for (pd.umaIdx = 1; pd.umaIdx <= 3; ++pd.umaIdx) {
            addRunner(pd.umaIdx, {.waku = pd.umaIdx, .kisyu = "山田"},
                      {{.daysAgo = 20, .kyori = 1500, .time = 89.5f, .hutan = 56},
                       {.daysAgo = 20, .zyo = "Ｊ東京", .time = 95.0f, .hutan = 57}});
            calcUmaSisuu();
        }
    }
    // One standard time of a course and the day's variant.
    static void addStandard(const QString& path, const QString& zyo, int kyori, double time, double variant)
    {
        insertRows(path, "T_sisuu", {"S_date", "S_zyo", "S_siba", "S_sisuu"}, {{kRaceDay.addDays(-20), zyo, 0, variant}});
        insertRows(path, "T_avetime", {"A_zyo", "A_kyori", "A_class", "A_sin_kyu", "A_siba", "A_time"},
                   {{zyo, kyori, "ave", zyo == "05" ? 0 : 1, 0, time}});
    }
};

}

TEST_F(IndexPass, CentralRunsNeedTheCentralFile)
{
    addStandard(createTrackFile(), "大井", 1500, 90.0, 0.5);
    indexRunners();
    EXPECT_NEAR(pd.uSisuu(1, 1), 61.0f, 1e-4);  // ((90.0 - 89.5) + 0.5) x 10 + 50 + 1 (56 kg)
    EXPECT_EQ(pd.uSisuu(1, 2), 0.0f);
    EXPECT_TRUE(msgs_.texts().isEmpty());
}

TEST_F(IndexPass, BrokenTrackFileShownOncePerRaceRead)
{
    pd.jraGraphOn = true;
    addStandard(dir_.createJraGraph(), "05", 1600, 96.0, 0.3);
    const QString path = dir_.filePath("Strevin_data.dat");
    // Missing, locked with another password, and without the standard times.
    const QString tables = "CREATE TABLE T_sisuu (a); CREATE TABLE T_avetime (a); CREATE TABLE T_waku (a); CREATE TABLE T_Kisyu (a);";
    for (const auto& [password, schema, why] : std::vector<std::tuple<QString, QString, QString>>{
             {"", "", "ファイルがありません"}, {"other", tables, "file is encrypted or is not a database"},
             {dbPassword, "CREATE TABLE T_sisuu (S_date TEXT);", "no such table: T_avetime"}}) {
        SCOPED_TRACE(password.toStdString());
        QFile::remove(path);
        if (!schema.isEmpty())
            createDbFile(path, password, schema);
        msgs_.clear();
        beginRaceAnalysis();
        indexRunners();
        analYosou();  // the draw and jockey factors of three runners find no usable file either
        EXPECT_EQ(msgs_.texts(), QStringList{"dataファイルが開けません\n" + path + "\n" + why});
        for (int h = 1; h <= 3; ++h) {
            EXPECT_EQ(pd.uSisuu(h, 1), 0.0f);
            EXPECT_NEAR(pd.uSisuu(h, 2), 99.0f, 1e-4);  // ((96 - 95) + 0.3) x 10 + 84 + 2
            EXPECT_EQ(pd.tekiseiFactor(h, 1) + pd.tekiseiFactor(h, 7), 0.0f);
            EXPECT_NE(pd.yosouSisuu(h), 0.0f);  // from the other factors
        }
    }
}
