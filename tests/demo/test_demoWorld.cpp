// The demo world: the same date gives the same pages, every page is whole (with a foot or ending
// after its last part), and what the histories and race cards say of a past run is what its
// results page says.
#include "core/publicFunction.h"
#include "platform/textcodec.h"
#include "tests/demo/demoFixture.h"
#include "tools/demoHtml.h"
#include "webimport/ReadWeb.h"
#include "webimport/ReadWebSeiseki.h"

#include <QRegularExpression>
#include <map>

namespace {

// The page's cell table as the program cuts it.
void cut(const QByteArray& page)
{
    clearWebCell();
    webHtml = fromCp932(page).remove(QStringLiteral("\r\n"));
    cutWebTable(webHtml);
}

int rowOf(const QString& firstCell)
{
    for (int r = 1; r <= 300; ++r)
        if (webCell(r, 1) == firstCell)
            return r;
    return 0;
}

// Rows from..to of the cell table, cells 0..20 each (reading a results page replaces the table).
std::vector<QStringList> rowsOf(int from, int to)
{
    std::vector<QStringList> rows;
    for (int r = from; r <= to; ++r) {
        QStringList cells;
        for (int c = 0; c <= 20; ++c)
            cells << webCell(r, c);
        rows.push_back(cells);
    }
    return rows;
}

// Results pages parsed by the program's parser, by track, date and race number.
class ParsedResults {
public:
    explicit ParsedResults(const QHash<QByteArray, QByteArray>& pages) : pages_(pages) {}
    const SeisekiRace* find(const QString& zyo, const VbDate& day, int raceNo)
    {
        const QString target = kDemoResultsPath + "?k_babaCode=" + zyoToNarCode(zyo) + "&k_raceNo=" + QString::number(raceNo)
                               + "&k_raceDate=" + demoDateQuery(day);
        const QByteArray key = demoPageKey(target);
        auto it = parsed_.find(key);
        if (it == parsed_.end()) {
            if (!pages_.contains(key))
                return nullptr;
            cut(pages_[key]);
            SeisekiRace race;
            EXPECT_FALSE(seisekiFallsShort()) << target.toStdString();
            EXPECT_TRUE(parseSeiseki(race)) << target.toStdString();
            it = parsed_.emplace(key, race).first;
        }
        return &it->second;
    }

private:
    const QHash<QByteArray, QByteArray>& pages_;
    std::map<QByteArray, SeisekiRace> parsed_;
};

float historyTime(const QString& text)
{
    const QStringList p = text.split(u':');
    return p.size() == 3 ? p[0].toFloat() * 60 + p[1].toFloat() + p[2].toFloat() / 10 : p[0].toFloat() + p[1].toFloat() / 10;
}

int slotOf(const SeisekiRace& race, const QString& name)
{
    for (int i = 1; i <= race.tousuu; ++i)
        if (race.uName(i) == name)
            return i;
    return 0;
}

// The margin the results writer keeps: the winner's gap to the second (negative), others' to the winner.
float writerMargin(const SeisekiRace& race, int slot)
{
    float first = 0, second = 0;
    for (int i = 1; i <= race.tousuu; ++i) {
        if (race.uCyaku(i, 0) == 1)
            first = race.uTime(i, 0);
        if (race.uCyaku(i, 0) == 2)
            second = race.uTime(i, 0);
    }
    return race.uCyaku(slot, 0) == 1 ? first - second : race.uTime(slot, 0) - first;
}

}

TEST(DemoWorld, SameDateSamePagesEveryPageWholeAndADayLaterMoves)
{
    const DemoWorld world(kDemoToday);
    const QHash<QByteArray, QByteArray> pages = demoWorldPages(world);
    EXPECT_EQ(pages, demoWorldPages(DemoWorld(kDemoToday)));
    EXPECT_NE(pages, demoWorldPages(DemoWorld(kDemoToday.addDays(1))));
    int today = 0;
    for (const DemoWorldRace& race : world.races()) {
        EXPECT_TRUE(race.field.size() >= 6 && race.field.size() <= 14) << race.field.size();
        EXPECT_NE(race.date, kDemoToday.addDays(-1));
        today += race.today ? race.raceNo : 0;
    }
    EXPECT_EQ(today, 3 * 78);  // races 1 to 12 at each of the three tracks
    std::map<QByteArray, int> endings;  // pages by kind and whether a foot ends them
    for (auto it = pages.cbegin(); it != pages.cend(); ++it) {
        const QString page = fromCp932(it.value());
        EXPECT_TRUE(page.endsWith("</table>\r\n</body>\r\n</html>\r\n")) << it.key().data();
        ++endings[it.key().left(1) + (page.contains("<table class=\"foot\">") ? "+foot" : "")];
        EXPECT_EQ(std::pair(page.count("<table"), page.count("<tr")), std::pair(page.count("</table>"), page.count("</tr>")))
            << it.key().data();
        EXPECT_EQ(toCp932(page), it.value());
    }
    // Cards, results and histories come with a foot and without one, half and half.
    for (const QByteArray kind : {"C", "R", "H"})
        EXPECT_NEAR(endings[kind], endings[kind + "+foot"], endings[kind] / 5) << kind.data();
    EXPECT_EQ(endings["C"] + endings["C+foot"], 36);
}

// Every run of every history against its results page, and every past run on today's cards too.
TEST(DemoWorld, HistoriesAndCardsSayWhatTheResultsSay)
{
    const DemoWorld world(kDemoToday);
    const QHash<QByteArray, QByteArray> pages = demoWorldPages(world);
    ParsedResults results(pages);
    int runs = 0, starts = 0;
    for (const DemoWorldRace& race : world.races())
        starts += race.today ? 0 : int(race.field.size());
    for (const DemoHorse& horse : world.horses()) {
        cut(pages[demoPageKey(demoHistoryTarget(horse))]);
        EXPECT_FALSE(historyFallsShort()) << horse.name.toStdString();
        const int header = rowOf("年月日");
        ASSERT_GT(header, 0);
        int last = header;
        while (!webCell(last + 1, 1).isEmpty() && webCell(last + 1, 1) != "ページトップへ")
            ++last;
        for (const QStringList& cells : rowsOf(header + 1, last)) {
            ++runs;
            const VbDate day = VbDate::fromQDate(QDate::fromString(cells[1], "yyyy/MM/dd"));
            const SeisekiRace* race = results.find(cells[2], day, cells[3].toInt());
            ASSERT_NE(race, nullptr) << horse.name.toStdString() << ' ' << cells[1].toStdString();
            const int i = cells[11].toInt();
            const QString where = horse.name + ' ' + race->raceCode;
            EXPECT_EQ(race->uName(i), horse.name) << where.toStdString();
            EXPECT_EQ(QStringList({QString::number(race->uCyaku(i, 0)) + '/' + QString::number(race->tousuu),
                                   QString::number(race->uWaku(i, 0)), QString::number(race->uNinki(i, 0)),
                                   QString::number(race->uTaizyu(i, 0)), race->uKisyu(i, 0), race->uCyoukyou(i, 0),
                                   race->raceName, race->raceClass, QString::number(race->raceKyori),
                                   QString::number(race->raceBaba)}),
                      QStringList({cells[13], cells[10], cells[12], cells[17], cells[18].left(3),
                                   cells[20], cells[4], cells[5], cells[6].mid(6),
                                   QString::number(babaToCode(cells[8].left(1)))}))
                << where.toStdString();
            EXPECT_NEAR(race->uTime(i, 0), historyTime(cells[14]), 0.01) << where.toStdString();
            EXPECT_NEAR(race->u3f(i, 0), cells[16].toFloat(), 0.01) << where.toStdString();
            EXPECT_NEAR(race->uHutan(i, 0), cells[19].toFloat(), 0.01) << where.toStdString();
            EXPECT_NEAR(writerMargin(*race, i), cells[15].toFloat(), 0.01) << where.toStdString();
        }
    }
    EXPECT_EQ(runs, starts);  // and every runner of every results page has the run in its history

    static const QRegularExpression runCell(
        "^(\\d\\d/\\d\\d/\\d\\d)&nbsp;(\\S\\S)ダ(\\d+)&nbsp;.(\\d+)着&nbsp;(\\d+):(\\d\\d)\\.(\\d)（(\\d+)頭）([\\d-]+)$");
    int cardRuns = 0;
    for (const DemoWorldRace& today : world.races()) {
        if (!today.today)
            continue;
        cut(pages[demoPageKey(demoCardTarget(world, today))]);
        EXPECT_FALSE(cardFallsShort()) << today.raceNo;
        const int first = rowOf("枠番") + 2;
        const std::vector<QStringList> blocks = rowsOf(first, first + 6 * int(today.field.size()) - 1);
        for (int k = 0; k < int(today.field.size()); ++k)
            for (int c = 7; c <= 11 && blocks[size_t(6 * k + 5)][c] != "&nbsp;"; ++c, ++cardRuns) {
                const QRegularExpressionMatch m = runCell.match(blocks[size_t(6 * k + 5)][c]);
                ASSERT_TRUE(m.hasMatch()) << blocks[size_t(6 * k + 5)][c].toStdString();
                const VbDate day = VbDate::fromQDate(QDate::fromString("20" + m.captured(1), "yyyy/MM/dd"));
                const QString name = blocks[size_t(6 * k + 1)][1];
                int raceNo = 1, slot = 0;
                const SeisekiRace* race = nullptr;
                for (; raceNo <= 12 && !slot; ++raceNo)
                    if ((race = results.find(m.captured(2), day, raceNo)))
                        slot = slotOf(*race, name);
                ASSERT_TRUE(slot) << name.toStdString() << ' ' << m.captured(0).toStdString();
                QStringList corners;
                for (int corner = 1; corner <= 4 && race->uTuka(slot, corner, 0); ++corner)
                    corners << QString::number(race->uTuka(slot, corner, 0));
                EXPECT_EQ(QStringList({QString::number(race->raceKyori), QString::number(race->uCyaku(slot, 0)),
                                       QString::number(race->tousuu), corners.join('-')}),
                          QStringList({m.captured(3), m.captured(4), m.captured(8), m.captured(9)}));
                EXPECT_NEAR(race->uTime(slot, 0), m.captured(5).toFloat() * 60 + m.captured(6).toFloat() + m.captured(7).toFloat() / 10,
                            0.01);
            }
    }
    EXPECT_GT(cardRuns, 36 * 8 * 3);
}
