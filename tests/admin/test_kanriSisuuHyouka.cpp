#include "admin/kanriCommon.h"
#include "admin/kanriSisuuHyouka.h"
#include "core/publicSisuu.h"
#include "tests/admin/kanriFixture.h"

#include <QProgressBar>
#include <QRegularExpression>

using StandardTimes = KanriFixture;
using Recalculation = KanriFixture;
using Evaluation = KanriFixture;

// A correction that is no finite single, or a distance that is no integer, is refused before any change.
// Each kind shifts the rows its pattern selects by h x distance / 1500 (a single), an unknown kind none;
// both copies then get every work time, a copy's row without counterpart is named and kept. Shifts add up.
TEST_F(StandardTimes, RefusalsThenEachKindShiftsItsRowsAndBothCopiesFollow)
{
    // The work file's times (90) differ from the copies' (80); the copies have a row the work file lacks.
    const QString keys = "大井 1400 ave 0 %1,大井 1400 C1 0 %1,大井 1400 ave 1 %1,大井 1200 ave 0 %1,川崎 1500 ave 0 %1,川崎 "
                         "1500 C2 0 %1,船橋 1600 ave 0 %1,浦和 1400 ave 0 %1,盛岡 1200 ave 0 %1";
    addAveTimes("CalSisuu.mdb", keys.arg(90));
    for (const char* copy : {"motofile.mdb", "Strevin_data.dat"})
        addAveTimes(copy, keys.arg(80) + ",高知 1400 ave 0 85");
    const auto times = [this](const QString& file) { return rows(file, "SELECT A_zyo, A_kyori, A_class, A_siba, A_time FROM T_avetime "
                                                                       "WHERE A_zyo <> '高知' ORDER BY A_zyo, A_kyori, A_class, A_siba"); };
    const auto before = snapshot();
    const QString number = "補正値には数値を入力してください: ";
    for (const auto& [target, hosei, cause] : std::vector<std::tuple<HyoukaTarget, QString, QString>> {
             {{"場間", "大井", "", ""}, "abc", number + "abc"}, {{"場間", "大井", "", ""}, "inf", number + "inf"},
             {{"場間", "大井", "", ""}, "1e40", number + "1e40"}, {{"距離間", "1400.5", "", "大井"}, "0.5", "対象1には距離（m）を整数で入力してください: 1400.5"}}) {
        msgs_.clear();
        EXPECT_FALSE(runKanriOperation("基準タイムの書換", [&] { changeAveTime(target, hosei); }));
        EXPECT_EQ(msgs_.texts(), QStringList {"基準タイムの書換を中止しました\n" + cause});
        EXPECT_EQ(snapshot(), before) << hosei.toStdString();
    }
    for (const auto& [target, hosei, selected] :
        std::vector<std::tuple<HyoukaTarget, QString, QString>> {{{"他", "大井", "", ""}, "1", "none"},
            {{"距離間", "1400", "", "大井"}, "0.5", "大井\\|1400\\|"}, {{"場間", "川崎", "", ""}, "1.5", "川崎\\|\\d+\\|ave\\|"},
            {{"地区間", "南関", "", ""}, "-0.3", "(大井|川崎|船橋|浦和)\\|\\d+\\|ave\\|"},
            {{"地区間", "大井", "", ""}, "1", "none"}}) {
        QStringList expected;
        for (const QString& row : times("CalSisuu.mdb")) {
            const QStringList f = row.split('|');
            const float t = f[4].toFloat(),
                        shifted = row.contains(QRegularExpression("^" + selected))
                ? float(double(t) + double(hosei.toFloat()) * f[1].toDouble() / 1500.0)
                : t;
            expected << (f.mid(0, 4) << floatText(shifted)).join('|');
        }
        msgs_.clear();
        ASSERT_TRUE(runKanriOperation("基準タイムの書換", [&] { changeAveTime(target, hosei); }));
        EXPECT_EQ(times("CalSisuu.mdb"), expected) << selected.toStdString();
        EXPECT_EQ(std::pair(times("motofile.mdb"), times("Strevin_data.dat")), std::pair(expected, expected));
        EXPECT_EQ(msgs_.texts(), (QStringList {"高知1400ave-コピー先が見つかりません", "高知1400ave-コピー先が見つかりません", "書き換え終了"}));
    }
    EXPECT_EQ(rows("motofile.mdb", "SELECT A_time FROM T_avetime WHERE A_zyo = '高知'"), QStringList {"85"});
}

// Of the three files a correction writes, the one that refuses it is named (the track file, read-only while the
// folder and the other two are open to everyone: the user nobody writes those), and none of them changes.
TEST_F(StandardTimes, TheRefusingFileIsNamedAndNoneChanges)
{
    using P = QFileDevice;
    for (const char* file : {"CalSisuu.mdb", "motofile.mdb", "Strevin_data.dat"})
        addAveTimes(file, "大井 1400 ave 0 90");
    const P::Permissions readable = P::ReadOwner | P::ReadGroup | P::ReadOther, everyone = readable | P::WriteOwner | P::WriteGroup | P::WriteOther;
    ASSERT_TRUE(QFile::setPermissions(dir_.path(), everyone | P::ExeOwner | P::ExeGroup | P::ExeOther)
                && QFile::setPermissions(path("Strevin_data.dat"), readable));
    for (const QString& file : QDir(dir_.path()).entryList({"CalSisuu.mdb*", "motofile.mdb*"}, QDir::Files))  // with the logs
        ASSERT_TRUE(QFile::setPermissions(path(file), everyone));
    const auto before = snapshot();
    asNobody([] { EXPECT_FALSE(runKanriOperation("基準タイムの書換", [] { changeAveTime({"場間", "大井", "", ""}, "1"); })); });
    EXPECT_EQ(msgs_.texts(), QStringList {"基準タイムの書換を中止しました\nStrevin_data.datに書き込めません（ファイルが読み取り専用です）"});
    EXPECT_EQ(std::pair(snapshot() == before, rows("CalSisuu.mdb", "SELECT A_time FROM T_avetime")), std::pair(true, QStringList {"90"}));
}

// A region without tracks or an unknown kind recomputes nothing, nor does a Cancel. Else runs of the target's tracks
// (距離間: the whole track) get what the run-table routine computes (no all-class time gives 0 and 0); a run without
// weight keeps its values; U_file stays; other tracks are untouched.
TEST_F(Recalculation, TrackChoiceCancelAndAgreementWithTheRunTableRoutine)
{
    for (const auto& [zyo, siba, sisuu] : std::vector<std::tuple<QString, int, double>> {{"大井", 0, 0.4}, {"大井", 1, -0.6}, {"川崎", 0, 0.2}})
        insert("CalSisuu.mdb", "T_sisuu",
            DbRow().set("S_date", VbDate::fromYmd(2008, 3, 24)).set("S_zyo", zyo).set("S_siba", siba).set("S_sisuu", sisuu));
    addAveTimes("CalSisuu.mdb", "大井 1200 ave 0 75, 大井 1200 ave 1 72, 大井 1600 ave 0 101, 川崎 1500 ave 0 95, 大井 1800 C1 0 115");
    // Race 05 has no runs, the 23rd no day variant, 1800 only a class row (no all-class time).
    for (const auto& [code, kyori, siba] : std::vector<std::tuple<QString, int, int>> {
             {"大井08032401", 1200, 0}, {"大井08032402", 1200, 1}, {"大井08032403", 1600, 0}, {"大井08032404", 1800, 0},
             {"大井08032405", 1200, 0}, {"大井08032301", 1200, 0}, {"川崎08032401", 1500, 0}})
        addRace(code, DbRow().set("R_kyori", kyori).set("R_siba", siba));
    // Each run held index 77, 3F index 66 and U_file 1 before.
    for (const auto& [code, name, time, f3, hutan] : std::vector<std::tuple<QString, QString, DbValue, DbValue, DbValue>> {
             {"大井08032401", "エース", 76.1, 38.2, 56.0}, {"大井08032401", "ビー'ト", 74.3, DbValue(), 54.0},
             {"大井08032401", "シー", DbValue(), 37.5, 55.0}, {"大井08032401", "ディー", 75.5, 38.0, DbValue()},
             {"大井08032402", "イー", 73.0, 36.9, 52.0}, {"大井08032403", "エフ", 102.4, 39.1, 57.0},
             {"大井08032404", "ジー", 116.0, 40.0, 55.0}, {"大井08032301", "エイチ", 75.0, 38.0, 55.0}, {"川崎08032401", "アイ", 94.0, 38.0, 55.0}})
        addRun(code, name,
            DbRow()
                .set("U_time", time)
                .set("U_3f", f3)
                .set("U_hutan", hutan)
                .set("U_sisuu", 77)
                .set("U_sisuu3f", 66)
                .set("U_file", 1));
    const auto stored = [this] {
        return rows("NAR_data.dat", "SELECT R_code, U_name, U_sisuu, U_sisuu3f, U_file FROM T_Useiseki ORDER BY R_code, U_name");
    };
    const auto before = snapshot();
    for (const HyoukaTarget& t : {HyoukaTarget {"地区間", "大井", "", ""}, HyoukaTarget {"他", "大井", "", ""}, HyoukaTarget {"地区間", "東海", "", ""}}) {
        ASSERT_TRUE(runKanriOperation("指数の再計算", [&] { reCalSisuu(t); }));
        EXPECT_EQ(snapshot(), before);
    }
    cancelSoon();
    EXPECT_FALSE(runKanriOperation("指数の再計算", [] { reCalSisuu({"距離間", "1400", "", "大井"}); }));
    EXPECT_EQ(msgs_.texts(), QStringList(3, "書き換え終了") << "指数の再計算をキャンセルしました");
    EXPECT_EQ(snapshot(), before);
    // What the run-table routine gives each stored run in runner slot 1 ("Null" reads 0), in stored()'s order.
    QStringList computed;
    redimUma(18, 2);
    openDb(1, path("CalSisuu.mdb"), "");
    for (const QString& row : rows("NAR_data.dat", "SELECT R_code, U_name, U_sisuu, U_sisuu3f, U_file, R_date, R_siba, R_kyori, U_time, U_3f, "
                                                   "U_hutan FROM T_Rdata JOIN T_Useiseki USING (R_code) ORDER BY 1, 2")) {
        const QStringList f = row.split('|');
        std::tie(pd.uDate(1, 1), pd.uZyo(1, 1), pd.uSiba(1, 1), pd.uKyori(1, 1))
            = std::tuple(VbDate::fromDbText(f[5]), f[0].left(2), f[6].toInt(), f[7].toInt());
        std::tie(pd.uTime(1, 1), pd.u3f(1, 1), pd.uHutan(1, 1), pd.uSisuu(1, 1), pd.uSisuu3f(1, 1))
            = std::tuple(f[8].toFloat(), f[9].toFloat(), f[10].toFloat(), 0.0f, 0.0f);
        calcUSisuu(1, 1, 1);
        computed << (f[10] == "Null" ? f.mid(0, 5) : f.mid(0, 2) << floatText(pd.uSisuu(1, 1)) << floatText(pd.uSisuu3f(1, 1)) << f[4]).join('|');
    }
    closeDb(1);
    const QStringList untouched = stored();
    for (const auto& [t, tracks] : std::vector<std::pair<HyoukaTarget, QString>> {
             {{"距離間", "9999", "", "大井"}, "大井"}, {{"場間", "大井", "", ""}, "大井"}, {{"地区間", "南関", "", ""}, "大井川崎"}}) {
        exec("NAR_data.dat", "UPDATE T_Useiseki SET U_sisuu = 77, U_sisuu3f = 66");
        msgs_.clear();
        ASSERT_TRUE(runKanriOperation("指数の再計算", [&] { reCalSisuu(t); }));
        EXPECT_EQ(msgs_.texts(), QStringList {"書き換え終了"});
        QStringList expected;
        for (int i = 0; i < untouched.size(); ++i)
            expected << (tracks.contains(untouched[i].left(2)) ? computed : untouched)[i];
        EXPECT_EQ(stored(), expected) << t.kind.toStdString();
    }
    EXPECT_EQ(stored().filter(QRegularExpression("\\|(ジー|ディー)\\|")), (QStringList {"大井08032401|ディー|77|66|1", "大井08032404|ジー|0|0|1"}));
    EXPECT_EQ(stored().filter("大井08032401|シー|0|").size(), 1);
}

// Hand-worked: A gives 55 and 52, B 45 and 44 (its 0 counts); C ran at one track only; D's run
// exactly 400 days back is out; nameless runs never count: means 50.0, 48.0, correction -0.2.
// With D's run a day later: 60.0, 42.0, -1.8. Bad input is refused before SisuuHyouka empties; no
// qualifying horse leaves all four results empty.
TEST_F(Evaluation, HandWorkedTargetsWindowEdgeAndRefusals)
{
    // Runs "name track daysBack index [distance]", each in a race of its own; "-" a nameless runner.
    int raceNo = 0;
    const auto runs = [&](const QString& table) {
        for (const QString& entry : table.split(',')) {
            const QStringList f = entry.simplified().split(' ');
            const VbDate day = vbToday().addDays(-f[2].toInt());
            const QString code = f[1] + Format(day, "yymmdd") + Format(++raceNo, "00");
            addRace(code, DbRow().set("R_zyo02", zyoToChiku(f[1])).set("R_kyori", f.value(4, "1400").toInt()).set("R_date", day));
            addRun(code, f[0] == "-" ? QString() : f[0], DbRow().set("U_sisuu", f[3].toDouble()));
        }
    };
    const auto evaluate = [](const HyoukaTarget& t) {
        HyoukaResult r;
        runKanriOperation("指数の分析", [&] { r = analSisuuHyouka(t); });
        return QStringList {r.ave01, r.ave02, r.count, r.hosei};
    };
    runs("A 大井 10 50, A 大井 20 60, A 川崎 30 52, B 大井 5 90, B 大井 6 0, B 川崎 7 44, C 大井 8 70, D 大井 9 80, D 川崎 400 30, - 大井 3 99, - 川崎 3 1");
    const HyoukaTarget byTrack {"場間", "大井", "川崎", ""};
    // The four horses of 大井, then the averaging pass over the two rows, each pass up to its own maximum.
    QStringList steps;
    const QProgressBar* bar = dialogSincyoku().findChild<QProgressBar*>("prgSincyoku");
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int v) { steps << QString("%1/%2").arg(v).arg(bar->maximum()); });
    EXPECT_EQ(evaluate(byTrack), QString("50.0 48.0 2 -0.2").split(' '));
    EXPECT_EQ(steps, QString("1/5 2/5 3/5 4/5 3/3 0/3 1/3 2/3").split(' '));
    EXPECT_EQ(rows("Rana.mdb", "SELECT * FROM SisuuHyouka ORDER BY name"), (QStringList {"A|55|52", "B|45|44"}));
    exec("NAR_data.dat", "UPDATE T_Rdata SET R_date = ? WHERE R_zyo = '川崎' AND R_date = ?", {vbToday().addDays(-399), vbToday().addDays(-400)});
    EXPECT_EQ(evaluate(byTrack), QString("60.0 42.0 3 -1.8").split(' '));
    EXPECT_EQ(evaluate({"地区間", "南関", "南関", ""}).at(2), "4");
    runs("E 園田 1 40 1230, E 園田 2 50, F 園田 1 60 1230, F 姫路 1 70");
    EXPECT_EQ(evaluate({"距離間", "1230", "1400", "園田"}), QString("40.0 50.0 1 1.0").split(' '));
    EXPECT_EQ(msgs_.texts(), QStringList {});
    for (const auto& [t, cause] : std::vector<std::pair<HyoukaTarget, QString>> {
             {{"場内", "大井", "川崎", ""}, "分析の種類は「地区間」「場間」「距離間」から選んでください: 場内"}, {{"距離間", "1200", "12OO", "大井"}, "対象2には距離（m）を整数で入力してください: 12OO"}}) {
        msgs_.clear();
        EXPECT_EQ(evaluate(t), QStringList(4, QString()));
        EXPECT_EQ(std::pair(msgs_.texts(), rows("Rana.mdb", "SELECT * FROM SisuuHyouka")),
            std::pair(QStringList {"指数の分析を中止しました\n" + cause}, QStringList {"E|40|50"}));
    }
    EXPECT_EQ(evaluate({"場間", "大井", "福山", ""}), QStringList(4, QString()));
    EXPECT_EQ(rows("Rana.mdb", "SELECT name FROM SisuuHyouka"), QStringList {});
    exec("Rana.mdb", "DROP TABLE SisuuHyouka");
    msgs_.clear();
    evaluate(byTrack);
    EXPECT_EQ(msgs_.texts(), QStringList {"指数の分析を中止しました\nRana.mdbに「SisuuHyouka」がありません"});
}

// Every refusal names its file: Rana.mdb in a read-only folder, read-only itself (as the user nobody sees a folder
// and file of root's) or writable with nowhere for its journal; a folder where NAR_data.dat should be.
TEST_F(Evaluation, RefusedFilesAreNamed)
{
    using P = QFileDevice;
    const QString rana = path("Rana.mdb"), said = "指数の分析を中止しました\n";
    const auto evaluate = [this] {
        msgs_.clear();
        EXPECT_FALSE(runKanriOperation("指数の分析", [] { analSisuuHyouka({"場間", "大井", "川崎", ""}); }));
        return msgs_.texts();
    };
    insert("Rana.mdb", "SisuuHyouka", DbRow().set("name", "A"));
    asNobodyOverReadOnlyFile(rana, [&] {
        EXPECT_EQ(evaluate(), QStringList {said + "Rana.mdbに書き込めません（ファイルが読み取り専用です）"});
    });
    ASSERT_TRUE(QFile::setPermissions(rana, QFile::permissions(rana) | P::WriteGroup | P::WriteOther));
    asNobody([&] {
        EXPECT_EQ(evaluate(), QStringList {said + "Rana.mdbに書き込めません（フォルダに書き込めません（書き込みが許可されていないフォルダです））"});
    });
    EXPECT_EQ(rows("Rana.mdb", "SELECT name FROM SisuuHyouka"), QStringList {"A"});
    ASSERT_TRUE(QFile::remove(path("NAR_data.dat")) && QDir().mkdir(path("NAR_data.dat")));
    EXPECT_EQ(evaluate(), QStringList {said + "NAR_data.datを開けません（ファイルではありません）"});
}
