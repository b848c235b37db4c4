// The speed index pass over the loaded race: local, turf and central runs, the bounds of the
// pass, and a missing, unreadable or incomplete track file reported once per race read.
#include "analysis/mainAnalSisuu.h"
#include "analysis/mainAnalSisuu02.h"
#include "tests/analysis/raceBuilder.h"

#include <QDir>
#include <QFile>

namespace {

const QString kCannotOpen = QStringLiteral("dataファイルが開けません");

class IndexPass : public RaceTest {
protected:
    // Local file: 大井 1500 m dirt standard 90.0 s, turf standard 92.0 s, variant 0.5 s that day.
    void createLocalFile()
    {
        const QString path = dir_.createStrevinData();
        openDbOrThrow(1, path, dbPassword);
        for (int siba : {0, 1}) {
            insertRow(1, "T_sisuu",
                      DbRow().set("S_date", kRaceDay.addDays(-20)).set("S_zyo", "大井").set("S_siba", siba)
                          .set("S_sisuu", 0.5));
            insertRow(1, "T_avetime",
                      DbRow().set("A_zyo", "大井").set("A_kyori", 1500).set("A_class", "ave").set("A_sin_kyu", 1)
                          .set("A_siba", siba).set("A_time", siba ? 92.0 : 90.0));
        }
        closeDb(1);
    }
    // Central file: 東京 (code 05) 1600 m dirt standard 96.0 s, variant 0.3 s.
    void createCentralFile()
    {
        const QString path = dir_.createJraGraph();
        openDbOrThrow(2, path, dbPassword);
        insertRow(2, "T_sisuu",
                  DbRow().set("S_date", kRaceDay.addDays(-20)).set("S_zyo", "05").set("S_siba", 0).set("S_sisuu", 0.3));
        insertRow(2, "T_avetime",
                  DbRow().set("A_zyo", "05").set("A_kyori", 1600).set("A_class", "ave").set("A_sin_kyu", 0)
                      .set("A_siba", 0).set("A_time", 96.0));
        closeDb(2);
    }
    // Run k of runner h 20 days ago: 1500 m local (or 1600 m central) with a time.
    static void timedRun(int h, int k, const QString& zyo, float time, float f3, float hutan, int siba = 0)
    {
        setRun(h, k, {.daysAgo = 20, .zyo = zyo, .kyori = zyo.startsWith(QChar(0xFF2A)) ? 1600 : 1500, .siba = siba});
        pd.uTime(h, k) = time;
        pd.u3f(h, k) = f3;
        pd.uHutan(h, k) = hutan;
    }
    static void indexRunners(int count)
    {
        for (pd.umaIdx = 1; pd.umaIdx <= count; ++pd.umaIdx)
            calcUmaSisuu();
    }
};

}

TEST_F(IndexPass, LocalTurfAndCentralRuns)
{
    createLocalFile();
    createCentralFile();
    pd.jraGraphOn = true;
    addRunner(1);
    // ((90.0 - 89.5) / 1500 x 1500 + 0.5) x 10 + 50 + 1 x 1500 / 1500 = 61.0;
    // ((90 x 600 / 1500 - 38.0) / 1500 x 1500 + 0.2) x 10 + 60 + 0.35 = 42.35.
    timedRun(1, 1, "大井", 89.5f, 38.0f, 56.0f);
    // Turf reads the turf standard: ((92.0 - 91.0) + 0.5) x 10 + 50 = 65.0; 3F: (36.8 - 37.0 + 0.2) x 10 + 60 = 60.0.
    timedRun(1, 2, "大井", 91.0f, 37.0f, 55.0f, 1);
    // Central: ((96 - 95) + 0.3) x 10 + 84 + 2 = 99.0; 3F: (36 - 35.5 + 0.12) x 10 + 74.9 + 0.7 = 81.8.
    timedRun(1, 3, "Ｊ東京", 95.0f, 35.5f, 57.0f);
    // No time: keeps what it holds.
    timedRun(1, 4, "大井", 0.0f, 38.0f, 55.0f);
    pd.uSisuu(1, 4) = 12.5f;
    // Beyond the hundredth run nothing is indexed, though the run table holds 150.
    timedRun(1, 101, "大井", 89.5f, 38.0f, 56.0f);

    indexRunners(1);

    EXPECT_NEAR(pd.uSisuu(1, 1), 61.0f, 1e-4);
    EXPECT_NEAR(pd.uSisuu3f(1, 1), 42.35f, 1e-4);
    EXPECT_FLOAT_EQ(pd.uFile(1, 1), 0.5f);
    EXPECT_NEAR(pd.uSisuu(1, 2), 65.0f, 1e-4);
    EXPECT_NEAR(pd.uSisuu3f(1, 2), 60.0f, 1e-4);
    EXPECT_NEAR(pd.uSisuu(1, 3), 99.0f, 1e-4);
    EXPECT_NEAR(pd.uSisuu3f(1, 3), 81.8f, 1e-4);
    EXPECT_FLOAT_EQ(pd.uSisuu(1, 4), 12.5f);
    EXPECT_EQ(pd.uSisuu(1, 101), 0.0f);
    EXPECT_TRUE(msgs_.texts().isEmpty());
    EXPECT_FALSE(isDbOpen(1));
    EXPECT_FALSE(isDbOpen(2));
}

TEST_F(IndexPass, CentralRunsWithoutCentralFileStayZero)
{
    createLocalFile();
    addRunner(1);
    timedRun(1, 1, "Ｊ東京", 95.0f, 35.5f, 57.0f);
    timedRun(1, 2, "大井", 89.5f, 38.0f, 56.0f);
    indexRunners(1);
    EXPECT_EQ(pd.uSisuu(1, 1), 0.0f);
    EXPECT_EQ(pd.uSisuu3f(1, 1), 0.0f);
    EXPECT_NEAR(pd.uSisuu(1, 2), 61.0f, 1e-4);
    EXPECT_TRUE(msgs_.texts().isEmpty());
}

TEST_F(IndexPass, MissingTrackFileShownOncePerRaceRead)
{
    createCentralFile();
    pd.jraGraphOn = true;
    for (int h = 1; h <= 3; ++h) {
        addRunner(h, {.waku = h, .kisyu = "山田"});
        timedRun(h, 1, "大井", 89.5f, 38.0f, 56.0f);
        timedRun(h, 2, "Ｊ東京", 95.0f, 35.5f, 57.0f);
    }

    indexRunners(3);
    analYosou();  // the draw and jockey factors of three runners find no file either

    EXPECT_EQ(msgs_.texts(), QStringList{kCannotOpen});
    for (int h = 1; h <= 3; ++h) {
        EXPECT_EQ(pd.uSisuu(h, 1), 0.0f) << h;
        EXPECT_NEAR(pd.uSisuu(h, 2), 99.0f, 1e-4) << h;  // the central file is there
        EXPECT_EQ(pd.tekiseiFactor(h, 1), 0.0f) << h;
        EXPECT_EQ(pd.tekiseiFactor(h, 7), 0.0f) << h;
        EXPECT_NE(pd.yosouSisuu(h), 0.0f) << h;  // predicted from the other factors
    }

    // The same read does not repeat it; the next read shows it again, once.
    msgs_.clear();
    indexRunners(3);
    EXPECT_TRUE(msgs_.texts().isEmpty());
    beginRaceAnalysis();
    indexRunners(3);
    EXPECT_EQ(msgs_.texts(), QStringList{kCannotOpen});
}

TEST_F(IndexPass, TrackFileHeldFromTheFirstRunnerToThePrediction)
{
    if (!QDir("/proc/self/fd").exists())
        GTEST_SKIP() << "no /proc to count open files";
    const auto openCount = [this] {
        int n = 0;
        for (const QFileInfo& fd : QDir("/proc/self/fd").entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
            n += fd.symLinkTarget() == QFileInfo(dir_.filePath("Strevin_data.dat")).canonicalFilePath();
        return n;
    };
    createLocalFile();
    for (int h = 1; h <= 3; ++h) {
        addRunner(h);
        timedRun(h, 1, "大井", 89.5f, 38.0f, 56.0f);
    }
    indexRunners(3);
    EXPECT_EQ(openCount(), 1);  // one connection for every runner, in no slot
    EXPECT_FALSE(isDbOpen(1));
    analYosou();
    EXPECT_EQ(openCount(), 0);

    // A read that stops before the prediction leaves it to the next read.
    beginRaceAnalysis();
    indexRunners(2);
    EXPECT_EQ(openCount(), 1);
    beginRaceAnalysis();
    EXPECT_EQ(openCount(), 0);
    EXPECT_NEAR(pd.uSisuu(3, 1), 61.0f, 1e-4);
    EXPECT_TRUE(msgs_.texts().isEmpty());
}

TEST_F(IndexPass, UnreadableOrIncompleteTrackFileShownOnce)
{
    for (int h = 1; h <= 3; ++h) {
        addRunner(h);
        timedRun(h, 1, "大井", 89.5f, 38.0f, 56.0f);
    }
    {
        QFile file(dir_.filePath("Strevin_data.dat"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(8192, 'x'));
    }
    indexRunners(3);
    EXPECT_EQ(msgs_.texts(), QStringList{kCannotOpen});
    EXPECT_EQ(pd.uSisuu(2, 1), 0.0f);

    // A file without its standard times is no better.
    QFile::remove(dir_.filePath("Strevin_data.dat"));
    createDbFile(dir_.filePath("Strevin_data.dat"), dbPassword,
                 "CREATE TABLE T_sisuu (S_date TEXT, S_zyo TEXT, S_siba INTEGER, S_sisuu REAL);");
    msgs_.clear();
    beginRaceAnalysis();
    indexRunners(3);
    EXPECT_EQ(msgs_.texts(), QStringList{kCannotOpen});
    EXPECT_EQ(pd.uSisuu(3, 1), 0.0f);
    EXPECT_FALSE(isDbOpen(1));
}

TEST_F(IndexPass, DebugModeLetsTheFailureThrough)
{
    addRunner(1);
    timedRun(1, 1, "大井", 89.5f, 38.0f, 56.0f);
    debugMode = true;
    pd.umaIdx = 1;
    EXPECT_ANY_THROW(calcUmaSisuu());
    EXPECT_TRUE(msgs_.texts().isEmpty());
    EXPECT_FALSE(isDbOpen(1));
}
