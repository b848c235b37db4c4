#include "admin/kanriCommon.h"
#include "admin/kanriZyunkai.h"
#include "platform/textcodec.h"
#include "tests/admin/kanriFixture.h"
#include "tests/admin/zyunkaiRaces.h"

namespace {

const VbDate kDay = VbDate::fromYmd(2008, 3, 24);

// The main window's race read as the batch sees it, over a day whose races are given per track.
class FakeDay {
public:
    std::map<QString, int> races;  // races run at a track; tracks not named run none
    QString cancelAt, failAt;      // "川崎-02": that read is cancelled, or fails
    QString throwAt;               // that read fails with an error, as in debug mode
    QStringList reads;             // "track-nn" of every read, in order
    QStringList dates;             // the selector date of every read
    int32_t kikanSeen = 0;

    RaceReader reader()
    {
        return {[this](int i, const QString& text) { selectors_[size_t(i)] = text; }, [this] { return read(); }};
    }

private:
    RaceReadOutcome read()
    {
        const QString key = selectors_[3] + "-" + selectors_[4];
        reads << key;
        dates << selectors_[0] + "/" + selectors_[1] + "/" + selectors_[2];
        kikanSeen = pd.kakoKikan;
        if (key == cancelAt)
            return RaceReadOutcome::Cancelled;
        if (key == failAt)
            return RaceReadOutcome::Failed;
        if (key == throwAt)
            throw VbError(vbErrDatabase, "disk I/O error");
        const int n = selectors_[4].toInt();
        if (n > races[selectors_[3]]) {
            pd.raceExists = false;
            return RaceReadOutcome::NoCard;
        }
        const QString z = selectors_[3];
        // At Nagoya the third runner has no predicted index: the race is marked "out".
        loadTestRace(z, kDay, n, {{z + "A", 70, 0.995f, 0.9f}, {z + "B", 60, 0.004f, 0.8f},
                                  {z + "C", z == "名古" ? 0.0f : 50.0f, 0.001f, 0.1f}});
        return RaceReadOutcome::Read;
    }
    std::array<QString, 5> selectors_;
};

class Zyunkai : public KanriFixture {
protected:
    bool run(FakeDay& day, const QString& date = "2008/03/24")
    {
        return runKanriOperation("予想巡回", [&] {
            runZyunkai(date, day.reader(), [this](const QString& info) { infos_ << info; });
        });
    }
    QStringList outFiles() const { return QDir(path("予想出力")).entryList(QDir::Files, QDir::Name); }
    QStringList infos_;
};

}

// Two runs of a day: the output folder loses its files (not folders) at each start, index and memo
// list only that run's races, the archive keeps both runs' pages; kakoKikan is 550 during a run only.
TEST_F(Zyunkai, TwoRunsAddToTheDaysArchive)
{
    writeTestFile(path("予想出力/a"), "old");
    writeTestFile(path("予想出力/keep/x.txt"), "kept");
    pd.kakoKikan = 730;
    std::map<std::string, QByteArray> archived {{"keep/x.txt", "kept"}};
    for (const std::map<QString, int>& races : {std::map<QString, int> {{"大井", 2}, {"名古", 1}},
                                                 std::map<QString, int> {{"佐賀", 1}}}) {
        FakeDay day;
        day.races = races;
        msgs_.clear();
        ASSERT_TRUE(run(day));
        EXPECT_EQ(msgs_.texts(), QStringList {"巡回を完了"});
        EXPECT_EQ(std::tuple(day.kikanSeen, pd.kakoKikan, pd.raceExists), std::tuple(550, 730, true));
        QStringList pages;
        for (const auto& [zyo, n] : races)
            for (int r = 1; r <= n; ++r)
                pages << raceHtmlName(zyo, kDay, r);
        pages.sort();
        EXPECT_EQ(outFiles(), (QStringList {"index.html", "memo推奨.txt"} + pages));
        for (const QString& file : outFiles())
            archived[toCp932(file).toStdString()] = readTestFile(path("予想出力/" + file));
        const QByteArray memo = readTestFile(path("予想出力/memo推奨.txt"));
        EXPECT_EQ(memo.count(toCp932("■鉄板レース")), 1);
        EXPECT_EQ(readTestFile(path("予想出力/index.html")).count("target='_blank'"), pages.size());
        ASSERT_TRUE(lhaTestPasses(path("予想/0324.lzh")));
        EXPECT_EQ(lhaExtract(path("予想/0324.lzh"), path("extracted")), archived);
    }
    EXPECT_EQ(readTestFile(path("予想出力/keep/x.txt")), "kept");
    EXPECT_EQ(infos_.first(), "門別-1R");
}

// A cancelled or failed (quietly, or with an error) read ends the run: earlier races keep rows and
// pages, nothing of that race is stored, no index or archive follows; a failure names the race.
TEST_F(Zyunkai, CancelOrFailureEndsTheRun)
{
    const QString failed = "予想巡回を中止しました\nレースを読み込めませんでした: 川崎-2R";
    for (const auto& [end, said] : std::vector<std::pair<QString FakeDay::*, QStringList>> {
             {&FakeDay::cancelAt, {}}, {&FakeDay::failAt, {failed}}, {&FakeDay::throwAt, {failed + "\ndisk I/O error"}}}) {
        QDir(path("予想出力")).removeRecursively();
        QDir(dir_.path()).mkdir("予想出力");
        exec("Rana.mdb", "DELETE FROM T_Rana");
        pd.kakoKikan = 365;
        FakeDay day;
        day.races = {{"大井", 5}, {"川崎", 3}};
        day.*end = "川崎-02";
        msgs_.clear();
        EXPECT_FALSE(run(day));
        EXPECT_EQ(msgs_.texts(), said);
        EXPECT_EQ(day.reads.last(), "川崎-02");
        EXPECT_EQ(rows("Rana.mdb", "SELECT COUNT(*) FROM T_Rana"), QStringList {"6"});
        EXPECT_EQ(rows("Rana.mdb", "SELECT R_code FROM T_Rana WHERE R_code LIKE '川崎%'"), QStringList {"川崎08032401"});
        EXPECT_EQ(outFiles().size(), 6);
        EXPECT_FALSE(outFiles().contains("index.html") || QFileInfo::exists(path("予想/0324.lzh")));
        EXPECT_EQ(pd.kakoKikan, 365);
    }
}

// A date that is no date, a missing folder or view: refused before a file is deleted or a race read.
TEST_F(Zyunkai, RefusedBeforeAnythingChanges)
{
    writeTestFile(path("予想出力/old.html"), "old");
    const std::vector<std::tuple<QString, std::function<void()>, QString>> cases {
        {"2008-03-24", [] {}, "巡回の日付は yyyy/mm/dd の形で指定してください: 2008-03-24"},
        {"2008/02/30", [] {}, "巡回の日付は yyyy/mm/dd の形で指定してください: 2008/02/30"},
        {"08/03/24", [] {}, "巡回の日付は yyyy/mm/dd の形で指定してください: 08/03/24"},
        {"2008/03/24", [this] { QDir(path("予想")).removeRecursively(); }, "フォルダ「予想」がありません"},
        {"2008/03/24", [this] { QDir(dir_.path()).mkdir("予想"); exec("Rana.mdb", "DROP VIEW Q_date"); }, "Rana.mdbに「Q_date」がありません"},
        {"2008/03/24", [this] { exec("Rana.mdb", "DROP TABLE T_Rana"); }, "Rana.mdbに「T_Rana」がありません"},
    };
    for (const auto& [date, damage, cause] : cases) {
        damage();
        FakeDay day;
        msgs_.clear();
        EXPECT_FALSE(run(day, date));
        EXPECT_EQ(msgs_.texts(), QStringList {"予想巡回を中止しました\n" + cause});
        EXPECT_TRUE(day.reads.isEmpty());
        EXPECT_EQ(outFiles(), QStringList {"old.html"});
    }
}

// The short date form is taken; an archive that cannot be written or parsed ends the run with the
// archiver's message only, and stays as it was.
TEST_F(Zyunkai, ShortDateFormAndArchiveFailures)
{
    for (const bool folderInTheWay : {true, false}) {
        QDir(path("予想")).removeRecursively();
        if (folderInTheWay)
            QDir(dir_.path()).mkpath("予想/0324.lzh");
        else
            writeTestFile(path("予想/0324.lzh"), "not an archive at all");
        FakeDay day;
        day.races = {{"大井", 1}};
        msgs_.clear();
        EXPECT_FALSE(run(day, "2008/3/24"));
        EXPECT_EQ(day.dates.first(), "2008/03/24");
        ASSERT_EQ(msgs_.texts().size(), 1);
        EXPECT_TRUE(msgs_.texts()[0].startsWith("LZHファイルの作成に失敗しました")) << msgs_.texts()[0].toStdString();
        EXPECT_TRUE(outFiles().contains("大井0324-01R.html"));
        if (!folderInTheWay) {
            EXPECT_EQ(readTestFile(path("予想/0324.lzh")), "not an archive at all");
        }
    }
}
