#pragma once
#include "charts/graphDrawGraph.h"
#include "charts/graphDrawHikaku.h"
#include "core/publicDim.h"
#include "platform/flexgrid.h"
#include "platform/msgbox.h"
#include "platform/picturebox.h"
#include "platform/vberror.h"

#include <QDir>
#include <QPushButton>
#include <gtest/gtest.h>

inline const VbDate kRaceDay = VbDate::fromYmd(2024, 6, 1);
constexpr int noDate = -1;  // a run without a date (day 0)

struct ChartRun {  // one run, dated by its age in days before the race
    int daysAgo = 30;
    float sisuu = 0;
    QString zyo = QStringLiteral("大井");
    int siba = 0;
    bool variant = true;  // the day's track variant was found
    float sisuu3f = 0;
    int taizyu = 0, waku = 1, kyori = 1600, baba = 1, tuka1 = 0, cyaku = 0;
};

// A canvas call as one text row: kind, twips to 0.01, colour as R,G,B, pen, fill, text.
inline QString opRow(const CanvasOp& op)
{
    const auto n = [](double v) { return QString::number(v, 'f', 2); };
    const auto rgb = [](uint32_t c) { return QStringLiteral("%1,%2,%3").arg(c & 0xFF).arg((c >> 8) & 0xFF).arg(c >> 16); };
    const char* kinds[] = {"cls", "line", "box", "fbox", "circle", "pset", "text"};
    const char* styles[] = {"solid", "dash", "dot", "dashdot", "dashdotdot"};
    if (op.kind == CanvasOp::Cls)
        return "cls";
    if (op.kind == CanvasOp::Print)
        return QStringLiteral("text %1 %2 %3 %4").arg(n(op.x1), n(op.y1), op.text).arg(op.fontSize);
    if (op.kind == CanvasOp::Circle)
        return QStringLiteral("circle %1 %2 r%3 %4 fill %5 w%6")
            .arg(n(op.x1), n(op.y1), n(op.radius), rgb(op.color), op.fill ? rgb(*op.fill) : "none").arg(op.drawWidth);
    return QStringLiteral("%1 %2 %3 %4 %5 %6 w%7 %8")
        .arg(kinds[op.kind], n(op.x1), n(op.y1), n(op.x2), n(op.y2), rgb(op.color)).arg(op.drawWidth).arg(styles[op.drawStyle]);
}

inline QStringList opRows(const std::vector<CanvasOp>& ops)
{
    QStringList rows;
    for (const CanvasOp& op : ops)
        rows << opRow(op);
    return rows;
}

inline std::string lines(const QStringList& rows) { return ("\n" + rows.join('\n') + "\n").toStdString(); }

// One artefact per window, in the test output folder.
inline void saveArtefact(const QImage& image, const QString& name)
{
    const QString out = QStringLiteral(BRENNOCK_TEST_OUTPUT_DIR);
    ASSERT_TRUE(QDir().mkpath(out));
    ASSERT_TRUE(image.save(out + "/" + name)) << name.toStdString();
}

class ChartTest : public ::testing::Test {
protected:
    QWidget owner;  // never shown: visibility is read as the controls' own state
    PictureBox *picture1 = new PictureBox(&owner), *picture2 = new PictureBox(&owner);
    FlexGrid* grid = new FlexGrid(&owner);
    QPushButton *cmdGraphShift = new QPushButton(&owner), *cmdGraphBack = new QPushButton(&owner);
    CanvasRecorder rec1, rec2;
    MsgBoxRecorder msgs;

    void SetUp() override
    {
        debugMode = false, initPublic(), newRace(150);
        picture1->moveTwips(3800, 800, 9700, 7000), picture1->setRecorder(&rec1), picture2->setRecorder(&rec2);
        bindGraphSurfaces({picture1, picture2, grid, cmdGraphShift, cmdGraphBack});
    }
    void TearDown() override { bindGraphSurfaces({}), debugMode = false; }
    QStringList rows1() const { return opRows(rec1.ops()); }

    static void newRace(int runs)
    {
        pd.kakoMax = 150, redimUma(18, runs);
        pd.tousuu = 0, pd.raceDate = kRaceDay, pd.raceZyo = QStringLiteral("大井");
        pd.lineRatio = 0.2f, pd.lineSisuu = 70, pd.sisuuOffset = 0, pd.graphShiftDays = 0, pd.umaIdx = 1;
        pd.graphFlags.fill(QStringLiteral("true"));
    }
    static void addRunner(int h, int waku, const std::vector<ChartRun>& runs = {})
    {
        pd.uName(h) = QStringLiteral("馬%1").arg(h), pd.uWaku(h, 0) = waku, pd.uDate(h, 0) = kRaceDay;
        pd.tousuu = std::max(pd.tousuu, h);
        for (int k = 1; k <= int(runs.size()); ++k) {
            const ChartRun& r = runs[size_t(k - 1)];
            pd.uDate(h, k) = r.daysAgo < 0 ? VbDate() : kRaceDay.addDays(-r.daysAgo);
            pd.uSisuu(h, k) = r.sisuu, pd.uSisuu3f(h, k) = r.sisuu3f, pd.uZyo(h, k) = r.zyo, pd.uSiba(h, k) = r.siba;
            pd.uFileFound(h, k) = r.variant ? 1 : 0, pd.uFile(h, k) = 0, pd.uTaizyu(h, k) = r.taizyu, pd.uWaku(h, k) = r.waku;
            pd.uKyori(h, k) = r.kyori, pd.uBaba(h, k) = r.baba, pd.uTuka(h, 1, k) = r.tuka1, pd.uCyaku(h, k) = r.cyaku;
        }
    }
    // One part drawn for runner 1 on Picture1 (9700 x 7000) whose window ends `shift` days before the race.
    template <class F>
    QStringList drawn(F routine, int shift = 0)
    {
        GraphChart c {picture1->canvas(), ChartGeometry::of(9700, 7000, kRaceDay.serial() - shift), 1, lastChartRun(pd.kakoMax)};
        pd.graphShiftDays = shift, rec1.clear(), routine(c);
        return rows1();
    }
};
