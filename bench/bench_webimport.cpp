// Web import: cutting a 300 KB page and a page with one cell of 64,000 ">" into the cell table, checking that a page is whole,
// reading a race card of 18 runners, and reading and storing 18 horse histories of 150 runs each with their speed indices.
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/database.h"
#include "platform/msgbox.h"
#include "platform/textcodec.h"
#include "platform/vbformat.h"
#include "platform/webbrowser.h"
#include "tests/support/dataFiles.h"
#include "webimport/ReadWeb.h"
#include "webimport/dialogWeb.h"

#include <QApplication>
#include <QFile>
#include <benchmark/benchmark.h>

namespace {

constexpr int kRunners = 18;
constexpr int kRuns = 150;
const VbDate kRaceDay = VbDate::fromYmd(2008, 3, 24);

// 300 table rows of 20 cells, about 1000 characters each: the size of the authority's
// largest pages, all of it within the 300 rows that are cut.
QString largeBody()
{
    QString row = QStringLiteral("<tr>");
    for (int c = 0; c < 20; ++c)
        row += QStringLiteral("<td class=\"cell\" align=\"right\"><b>%1</b>着&nbsp;大井１２００</td>").arg(c, 3);
    row += QStringLiteral("</tr>\r\n");
    QString body;
    while (body.size() < 300 * 1024)
        body += row;
    return body;
}

QString cardBody()
{
    QFile file(QStringLiteral(BRENNOCK_PAGES_DIR "/racecard_18.htm"));
    file.open(QIODevice::ReadOnly);
    return bodyInnerHtmlOf(decodePage(file.readAll(), {})).remove(QLatin1String("\r\n"));
}

// A history page of kRuns runs at 大井 1200 m, every fourth day back from the race day.
QByteArray historyPage(int horse)
{
    QString page = QStringLiteral("<html><body><table><tr><td>HOME ＞ 競走馬情報</td></tr></table><table>"
                                  "<tr><td>年月日</td><td>競馬場</td></tr>");
    for (int i = kRuns; i >= 1; --i) {
        const VbDate d = kRaceDay.addDays(-4 * i);
        page += QStringLiteral("<tr><td>%1</td><td>大井</td><td>%2</td><td>特別%3</td><td>Ｃ２</td>"
                               "<td>&nbsp;1200</td><td>晴</td><td>良</td><td>12</td><td>%4</td><td>%5</td>"
                               "<td>3</td><td>%6/12</td><td>1:14:%7</td><td>0.5</td><td>38.5</td>"
                               "<td>%8</td><td>山田太郎</td><td>55.0</td><td>松本</td></tr>")
                    .arg(Format(d, QStringLiteral("yyyy/mm/dd")))
                    .arg(i % 12 + 1).arg(horse).arg(i % 8 + 1).arg(horse)
                    .arg(i % 12 + 1).arg(i % 10).arg(450 + i % 20);
    }
    return toCp932(page + QStringLiteral("</table></body></html>"));
}

void BM_CutTable300KB(benchmark::State& state)
{
    const QString body = largeBody();
    for (auto _ : state) {
        clearWebCell();
        cutWebTable(body);
        benchmark::DoNotOptimize(webCell(300, 20));
    }
    state.counters["KB"] = double(body.size()) / 1024;
}
BENCHMARK(BM_CutTable300KB)->Unit(benchmark::kMillisecond);

// A 74 KB page whose one cell holds 64,000 ">" in an attribute value, as the browser writes it:
// cutting stays one pass over the cell instead of a copy of its rest for every ">".
void BM_CutTableOneCellOf64000Gt(benchmark::State& state)
{
    const QString body = bodyInnerHtmlOf(QStringLiteral("<html><body><table><tr><td title=\"") + QString(64000, u'>')
                                         + QStringLiteral("\">x</td></tr>") + largeBody().left(10 * 1024)
                                         + QStringLiteral("</table></body></html>"));
    for (auto _ : state) {
        clearWebCell();
        cutWebTable(body);
        benchmark::DoNotOptimize(webCell(1, 1));
    }
    if (webCell(1, 1) != QStringLiteral("x"))
        state.SkipWithError("the long cell did not read x");
    state.counters["KB"] = double(body.size()) / 1024;
}
BENCHMARK(BM_CutTableOneCellOf64000Gt)->Unit(benchmark::kMillisecond);

void BM_InnerHtml300KB(benchmark::State& state)
{
    const QString page = QStringLiteral("<html><body><table>") + largeBody() + QStringLiteral("</table></body></html>");
    for (auto _ : state)
        benchmark::DoNotOptimize(bodyInnerHtmlOf(page));
}
BENCHMARK(BM_InnerHtml300KB)->Unit(benchmark::kMillisecond);

// The check that a page is not cut short, on the same page: a small part of the parse it precedes.
void BM_WholePage300KB(benchmark::State& state)
{
    const QString page = QStringLiteral("<html><body><table>") + largeBody() + QStringLiteral("</table></body></html>");
    for (auto _ : state)
        benchmark::DoNotOptimize(isWholePage(page));
    if (!isWholePage(page))
        state.SkipWithError("the whole page was taken for a cut one");
}
BENCHMARK(BM_WholePage300KB)->Unit(benchmark::kMillisecond);

void BM_ParseRaceCard18(benchmark::State& state)
{
    TestAppDir dir;
    const QString body = cardBody();
    pd.kakoMax = kRuns;
    for (auto _ : state) {
        initPublic();
        redimUma(kRunners, pd.kakoMax);
        clearWebCell();
        webHtml = body;
        cutWebTable(webHtml);
        parseSyuxtubaHyo();
        getUmaUrl();
    }
    if (pd.tousuu != kRunners)
        state.SkipWithError("the card did not give 18 runners");
}
BENCHMARK(BM_ParseRaceCard18)->Unit(benchmark::kMillisecond);

// Each pass reads every history from a page file into the run table and stores it in a fresh
// race database; only reading and storing are timed.
void BM_Store18HistoriesOf150Runs(benchmark::State& state)
{
    TestAppDir dir;
    MsgBoxRecorder msgs;
    openDb(1, dir.createStrevinData(), dbPassword);
    insertRow(1, "T_avetime", DbRow().set("A_zyo", "大井").set("A_kyori", 1200).set("A_class", "ave")
                                   .set("A_sin_kyu", 1).set("A_siba", 0).set("A_time", 75.0));
    closeDb(1);
    for (int h = 1; h <= kRunners; ++h) {
        QFile page(dir.filePath(QStringLiteral("%1.htm").arg(h)));
        page.open(QIODevice::WriteOnly);
        page.write(historyPage(h));
    }
    const QString narPath = dir.filePath(QStringLiteral("NAR_data.dat"));
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(narPath);
        dir.createNarData();
        initPublic();
        pd.raceDate = kRaceDay;
        pd.kakoKikan = 730;
        pd.kakoMax = kRuns;
        redimUma(kRunners, pd.kakoMax);
        state.ResumeTiming();
        for (pd.umaIdx = 1; pd.umaIdx <= kRunners; ++pd.umaIdx) {
            pd.uName(pd.umaIdx) = QStringLiteral("ホース%1").arg(pd.umaIdx);
            readUmaRirekiPage(dir.filePath(QStringLiteral("%1.htm").arg(pd.umaIdx)));
        }
    }
    unloadDialogWeb();
    openDb(1, narPath, dbPassword);
    RecordSet stored(1, "SELECT COUNT(*) AS n FROM T_Useiseki WHERE U_sisuu <> 0");
    if (stored["n"].toInt() != kRunners * 100 || !msgs.texts().isEmpty())
        state.SkipWithError("not every run was stored with its index");
    stored.close();
    closeDb(1);
    state.counters["runs_stored"] = kRunners * 100;
}
BENCHMARK(BM_Store18HistoriesOf150Runs)->Unit(benchmark::kMillisecond)->Iterations(5);

}
