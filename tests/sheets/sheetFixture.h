#pragma once
// Sheets under test: a temporary program folder with the race and comment files, runs written
// row by row (Nulls where a test asks), and the race on screen in the shared state.
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/database.h"
#include "platform/msgbox.h"
#include "platform/vbformat.h"
#include "tests/support/dataFiles.h"

#include <QFile>
#include <gtest/gtest.h>
#include <optional>

inline const VbDate kToday = VbDate::fromYmd(2008, 3, 1);

// One stored run and its race. A column named in nulls is written as Null.
struct RunRow {
    QString zyo = "浦和";
    VbDate date = VbDate::fromYmd(2008, 2, 15);
    int raceNo = 9;
    QString rname = "梅花賞";
    int siba = 0, kyori = 1400, baba = 1, tousuu = 12;
    QString name = "テスト馬";
    QString kisyu = "騎手甲", cyoukyou = "調教師乙", chichi = "種牡馬丙";
    float sisuu = 52, sisuu3f = 41;
    std::optional<int> file = 1;
    int cyaku = 1;
    float time = 89.3f, f3 = 38.5f, cyakusa = -0.3f, hutan = 55;
    int waku = 3, no = 5, taizyu = 470, zougen = -6, kankaku = 20;
    int tuka[4] = {2, 2, 1, 1};
    QString kyakusitu = "先";
    QStringList nulls;

    QString code() const { return zyo + Format(date, "yymmdd") + Format(raceNo, "00"); }
};

inline void writeRun(const RunRow& r)
{
    openDb(1, appPath() + "NAR_data.dat", dbPassword);
    DbSlotCloser closer(1);
    const auto v = [&r](const QString& column, DbValue value) { return r.nulls.contains(column) ? DbValue() : value; };
    slotConnection(1).execute(
        "INSERT OR IGNORE INTO T_Rdata (R_code, R_zyo, R_date, R_no, R_name, R_siba, R_kyori, R_baba, R_tousuu) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
        {r.code(), v("R_zyo", r.zyo), v("R_date", r.date), v("R_no", r.raceNo), v("R_name", r.rname),
         v("R_siba", r.siba), v("R_kyori", r.kyori), v("R_baba", r.baba), v("R_tousuu", r.tousuu)});
    if (r.name.isNull())
        return;
    DbRow row;
    row.set("R_code", r.code()).set("U_name", r.name).set("U_kisyu", v("U_kisyu", r.kisyu))
        .set("U_cyoukyou", v("U_cyoukyou", r.cyoukyou)).set("U_chichi", v("U_chichi", r.chichi))
        .set("U_sisuu", v("U_sisuu", r.sisuu)).set("U_sisuu3f", v("U_sisuu3f", r.sisuu3f))
        .set("U_file", r.file ? DbValue(*r.file) : DbValue()).set("U_cyaku", v("U_cyaku", r.cyaku))
        .set("U_time", v("U_time", r.time)).set("U_3f", v("U_3f", r.f3)).set("U_cyakusa", v("U_cyakusa", r.cyakusa))
        .set("U_hutan", v("U_hutan", r.hutan)).set("U_waku", v("U_waku", r.waku)).set("U_no", v("U_no", r.no))
        .set("U_taizyu", v("U_taizyu", r.taizyu)).set("U_zougen", v("U_zougen", r.zougen))
        .set("U_kankaku", v("U_kankaku", r.kankaku)).set("U_kyakusitu", v("U_kyakusitu", r.kyakusitu));
    for (int c = 0; c < 4; ++c)
        row.set(QString("U_tuka0%1").arg(c + 1), v(QString("U_tuka0%1").arg(c + 1), r.tuka[c]));
    insertRow(1, "T_Useiseki", row);
}

// A run of the horse "テスト馬" days before the race on screen, race number n.
inline RunRow runDaysBefore(int days, int raceNo = 9)
{
    RunRow r;
    r.date = kToday.addDays(-days);
    r.raceNo = raceNo;
    return r;
}

class SheetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        dir.createNarData();
        dir.createComment();
        for (const char* picture : {"List.gif", "icoLeftArrow.ico", "icoRightArrow.ico", "Back.gif"})
            QFile::copy(QStringLiteral(BRENNOCK_RESOURCE_DIR "/") + picture, dir.filePath(picture));
        initPublic();
        redimUma(18, 150);
        pd.kakoMax = 150;
        pd.raceDate = kToday;
        pd.raceZyo = "浦和";
        pd.raceKyori = 1400;
        pd.raceSiba = 0;
        pd.tousuu = 0;
        pd.umaIdx = 0;
    }

    TestAppDir dir;
    MsgBoxRecorder messages;
};
