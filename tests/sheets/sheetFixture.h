#pragma once
// Sheets under test: a temporary program folder with the race and comment files and runs written row by row.
#include "core/dataFiles.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/colors.h"
#include "platform/database.h"
#include "platform/flexgrid.h"
#include "platform/msgbox.h"
#include "platform/vbformat.h"
#include "sheets/sheetOpen.h"
#include "tests/support/childNamed.h"
#include "tests/support/dataFiles.h"

#include <QTest>
#include <QtWidgets>
#include <gtest/gtest.h>
#include <optional>

inline const VbDate kToday = VbDate::fromYmd(2008, 3, 1);
inline VbDate ago(int days) { return kToday.addDays(-days); }

// One stored run and its race (浦和08021509 by default); a column named in nulls is written as Null.
struct RunRow {
    QString zyo = "浦和";
    VbDate date = ago(15);
    int raceNo = 9;
    QString rname = "梅花賞", name = "テスト馬", kisyu = "騎手甲", cyoukyou = "調教師乙", chichi = "種牡馬丙";
    int siba = 0, kyori = 1400, baba = 1, file = 1, cyaku = 1, zougen = -6;
    float sisuu = 52, f3 = 38.5f;
    QStringList nulls = {};

    QString code() const { return zyo + Format(date, "yymmdd") + Format(raceNo, "00"); }
};

inline void writeRun(const RunRow& r)
{
    openDb(slotMain, dataFilePath(DataFileKind::NarData), dbPassword);
    DbSlotCloser closer(slotMain);
    const auto row = [&r](std::initializer_list<std::pair<const char*, DbValue>> values) {
        DbRow row = DbRow().set("R_code", r.code());
        for (const auto& [column, value] : values)
            row.set(column, r.nulls.contains(column) ? DbValue() : value);
        return row;
    };
    insertRowIfNew(1, "T_Rdata", row({{"R_zyo", r.zyo}, {"R_date", r.date}, {"R_no", r.raceNo}, {"R_name", r.rname},
                                      {"R_siba", r.siba}, {"R_kyori", r.kyori}, {"R_baba", r.baba}, {"R_tousuu", 12}}));
    if (!r.name.isNull())
        insertRow(1, "T_Useiseki", row({{"U_name", r.name}, {"U_file", r.file},
            {"U_kisyu", r.kisyu}, {"U_cyoukyou", r.cyoukyou}, {"U_chichi", r.chichi}, {"U_sisuu", r.sisuu}, {"U_sisuu3f", 41.0f},
            {"U_cyaku", r.cyaku}, {"U_time", 89.3f}, {"U_3f", r.f3}, {"U_cyakusa", -0.3f}, {"U_hutan", 55.0f}, {"U_waku", 3},
            {"U_no", 5}, {"U_taizyu", 470}, {"U_zougen", r.zougen}, {"U_kankaku", 20}, {"U_kyakusitu", "先"},
            {"U_tuka01", 2}, {"U_tuka02", 2}, {"U_tuka03", 1}, {"U_tuka04", 1}}));
}

// Runners 1..n of the race on screen: 馬h by 父h from gate h+2 under 今日の騎手h, past runs k = 1, 2 in the
// run table (race h+k on 2008/02/1k at 浦和, runner 2's second at Ｊ中山), and one stored run 10h days back.
inline void runnersOnScreen(int n)
{
    pd.tousuu = n;
    for (int h = 1; h <= n; ++h) {
        pd.uName(h) = QString("馬%1").arg(h);
        pd.uChichi(h) = QString("父%1").arg(h);
        pd.uWaku(h, 0) = h + 2;
        pd.uKisyu(h, 0) = QString("今日の騎手%1").arg(h);
        for (int k = 1; k <= 2; ++k) {
            pd.uZyo(h, k) = k == 2 && h == 2 ? "Ｊ中山" : "浦和";
            pd.uDate(h, k) = VbDate::fromYmd(2008, 2, 10 + k);
            pd.uRaceNo(h, k) = h + k;
        }
        writeRun({.date = ago(10 * h), .name = pd.uName(h)});
    }
}

// The texts of one grid row, or with byColumn of one column.
inline QStringList lineTexts(const FlexGrid* grid, int i, bool byColumn = false)
{
    QStringList texts;
    for (int k = 0; k < (byColumn ? grid->rows() : grid->cols()); ++k)
        texts << (byColumn ? grid->textMatrix(k, i) : grid->textMatrix(i, k));
    return texts;
}

// The texts of the given (row, column) cells.
inline QStringList cells(const FlexGrid* grid, std::initializer_list<std::pair<int, int>> at)
{
    QStringList texts;
    for (const auto& [r, c] : at)
        texts << grid->textMatrix(r, c);
    return texts;
}

inline QWidget* sheetOf(SheetKind kind) { QCoreApplication::processEvents(); return loadedSheet(kind); }
inline FlexGrid* gridOf(SheetKind kind, const char* name = "gridRireki") { return childNamed<FlexGrid>(sheetOf(kind), name); }
// Clicks the run list's cell in that row under that header.
inline void clickUnder(SheetKind k, int row, const QString& header) { gridOf(k)->clickCell(row, int(lineTexts(gridOf(k), 0).indexOf(header))); }

// Clicks the tab of that caption as the user does.
inline void clickTab(QWidget* sheet, const QString& caption)
{
    auto* tabs = childNamed<QTabBar>(sheet, "tabMain");
    for (int i = 0; i < tabs->count(); ++i)
        if (tabs->tabText(i) == caption)
            QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(i).center());
}

// Closes every sheet left open, so that each test starts with none.
inline void closeAllSheets()
{
    for (SheetKind k : {SheetKind::Uma, SheetKind::Kisyu, SheetKind::Cyoukyou, SheetKind::Syuboba, SheetKind::Kextuka})
        unloadSheet(k);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
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
        initPublic();  // no race on screen, runner slot 0
        redimUma(18, 150);
        pd.kakoMax = 150;
        pd.raceDate = kToday;
        pd.raceZyo = "浦和";
        pd.raceKyori = 1400;
        mainWindow.setObjectName("frmMain");
    }
    void TearDown() override  // every message a test expects it has checked and cleared
    {
        EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('\n').toStdString();
        closeAllSheets();
    }

    TestAppDir dir;
    MsgBoxRecorder messages;
    QWidget mainWindow;
};
