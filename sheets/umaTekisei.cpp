#include "sheets/umaTekisei.h"

#include "core/publicDim.h"
#include "core/publicFunction.h"

#include <functional>

namespace {
using Test = std::function<bool(const TekiseiRun&)>;

struct ColumnDef {
    QString header, label;
    Test test;
};

const QString tilde = QString(QChar(0xFF5E));

QString num(int32_t v)
{
    return QString::number(v);
}

std::vector<ColumnDef> columnDefs(const TekiseiContext& race, const SheetInputs& in)
{
    const QString t = race.raceZyo;
    const int32_t d = race.raceKyori;
    const int32_t a = in.avgTaizyu;
    const auto atTrack = [t](const TekiseiRun& r) { return r.zyo == t; };
    std::vector<ColumnDef> c;
    c.push_back({"", "全ダート", [](const TekiseiRun&) { return true; }});
    const std::vector<std::pair<QString, Test>> distances {
        {num(d), [d](const TekiseiRun& r) { return r.kyori == d; }},
        {num(d - 100) + "より短い", [d](const TekiseiRun& r) { return r.kyori < d - 100; }},
        {num(d - 100) + tilde + num(d + 100), [d](const TekiseiRun& r) { return r.kyori >= d - 100 && r.kyori <= d + 100; }},
        {num(d + 100) + "より長い", [d](const TekiseiRun& r) { return r.kyori > d + 100; }},
    };
    for (const auto& [label, test] : distances)
        c.push_back({"距離(" + t + ")", label, [atTrack, test](const TekiseiRun& r) { return atTrack(r) && test(r); }});
    for (const auto& [label, test] : distances)
        c.push_back({"距離(全場)", label, test});
    for (int baba = 1; baba <= 4; ++baba)
        c.push_back({"馬場(" + t + ")", codeToBaba(baba), [atTrack, baba](const TekiseiRun& r) { return atTrack(r) && r.baba == baba; }});
    for (int baba = 1; baba <= 4; ++baba)
        c.push_back({"馬場(全場)", codeToBaba(baba), [baba](const TekiseiRun& r) { return r.baba == baba; }});
    const std::vector<std::pair<QString, Test>> draws {
        {"内枠", [](const TekiseiRun& r) { return r.waku <= 3; }},
        {"中枠", [](const TekiseiRun& r) { return r.waku >= 4 && r.waku <= 6; }},
        {"外枠", [](const TekiseiRun& r) { return r.waku >= 7 && r.waku <= 8; }},
    };
    for (const auto& [label, test] : draws)
        c.push_back({"枠(" + t + ")", label, [atTrack, test](const TekiseiRun& r) { return atTrack(r) && test(r); }});
    // The first all-track draw header ends in a full-width parenthesis: it stands alone in the merge.
    c.push_back({"枠(全場" + QString(QChar(0xFF09)), draws[0].first, draws[0].second});
    c.push_back({"枠(全場)", draws[1].first, draws[1].second});
    c.push_back({"枠(全場)", draws[2].first, draws[2].second});
    for (const QString& zyo : in.trkList)
        c.push_back({"場", zyo, [zyo](const TekiseiRun& r) { return r.zyo == zyo; }});
    for (const QString& jk : in.jkList)
        c.push_back({"騎手", jk, [jk](const TekiseiRun& r) { return r.kisyu == jk; }});
    c.push_back({"馬体重", tilde + num(a - 6), [a](const TekiseiRun& r) { return r.taizyu < a - 6; }});
    c.push_back({"馬体重", num(a - 6) + tilde + num(a - 3), [a](const TekiseiRun& r) { return r.taizyu >= a - 6 && r.taizyu < a - 3; }});
    c.push_back({"馬体重", num(a - 3) + tilde + num(a + 3), [a](const TekiseiRun& r) { return r.taizyu >= a - 3 && r.taizyu < a + 3; }});
    c.push_back({"馬体重", num(a + 3) + tilde + num(a + 6), [a](const TekiseiRun& r) { return r.taizyu >= a + 3 && r.taizyu < a + 6; }});
    c.push_back({"馬体重", num(a + 6) + tilde, [a](const TekiseiRun& r) { return r.taizyu >= a + 6; }});
    c.push_back({"馬体重増減", tilde + "-5", [](const TekiseiRun& r) { return r.zougen < -4; }});
    c.push_back({"馬体重増減", "+4" + tilde + "-4", [](const TekiseiRun& r) { return r.zougen >= -4 && r.zougen <= 4; }});
    c.push_back({"馬体重増減", "+5" + tilde, [](const TekiseiRun& r) { return r.zougen > 4; }});
    const auto interval = [](int lo, int hi) { return [lo, hi](const TekiseiRun& r) { return r.kankaku >= lo && r.kankaku <= hi; }; };
    c.push_back({"出走間隔", tilde + "10日", interval(1, 10)});
    c.push_back({"出走間隔", "11" + tilde + "19日", interval(11, 19)});
    c.push_back({"出走間隔", "20" + tilde + "29日", interval(20, 29)});
    c.push_back({"出走間隔", "30" + tilde + "59日", interval(30, 59)});
    c.push_back({"出走間隔", "60日" + tilde, [](const TekiseiRun& r) { return r.kankaku >= 60; }});
    for (const QString style : {"逃", "先", "差", "追"})
        c.push_back({"脚質", style, [style](const TekiseiRun& r) { return r.kyakusitu == style; }});
    return c;
}

TekiseiColumn statistics(const ColumnDef& def, const std::vector<const TekiseiRun*>& counted)
{
    TekiseiColumn col {def.header, def.label};
    float sum = 0;
    float best = -100;
    float wins = 0, places = 0;
    for (const TekiseiRun* r : counted) {
        if (!def.test(*r))
            continue;
        ++col.count;
        sum += r->sisuu;
        if (r->sisuu > best)
            best = r->sisuu;
        if (r->cyaku == 1)
            wins += 1.0f;
        if (r->cyaku >= 1 && r->cyaku <= 3)
            places += 1.0f;
    }
    if (col.count > 0) {
        col.average = sum / float(col.count);
        col.winRate = wins / float(col.count);
        col.placeRate = places / float(col.count);
    }
    col.best = best == -100.0f ? 0.0f : best;
    return col;
}
}  // namespace

std::vector<TekiseiColumn> tekiseiColumns(const std::vector<TekiseiRun>& runs, const TekiseiContext& race,
                                          const QString& periodText, const SheetInputs& in)
{
    const int32_t start = kikanBound(periodText, race.raceDate);
    std::vector<const TekiseiRun*> counted;
    for (const TekiseiRun& r : runs)
        if (r.date.serial() > start && r.sisuu > 0 && r.siba == race.raceSiba)
            counted.push_back(&r);
    std::vector<TekiseiColumn> columns;
    for (const ColumnDef& def : columnDefs(race, in))
        columns.push_back(statistics(def, counted));
    return columns;
}

std::vector<TekiseiRun> tekiseiRunsOfSlot(int slot)
{
    std::vector<TekiseiRun> runs;
    for (int k = 1; k <= pd.kakoMax; ++k)
        runs.push_back({pd.uDate(slot, k), pd.uZyo(slot, k), pd.uKisyu(slot, k), pd.uKyakusitu(slot, k),
                        pd.uKyori(slot, k), pd.uBaba(slot, k), pd.uWaku(slot, k), pd.uTaizyu(slot, k),
                        pd.uZougen(slot, k), pd.uKankaku(slot, k), pd.uCyaku(slot, k), pd.uSiba(slot, k),
                        pd.uSisuu(slot, k)});
    return runs;
}

std::vector<TekiseiRun> tekiseiRunsOf(const std::vector<const SheetRun*>& listed)
{
    std::vector<TekiseiRun> runs;
    for (const SheetRun* s : listed) {
        const SheetRun& r = *s;
        runs.push_back({r.date(), r[fZyo].toString(), r[fKisyu].toString(), r[fKyakusitu].toString(),
                        r[fKyori].toInt(), r[fBaba].toInt(), r[fWaku].toInt(), r[fTaizyu].toInt(), r[fZougen].toInt(),
                        r[fKankaku].toInt(), r[fCyaku].toInt(), r[fSiba].toInt(), r[fSisuu].toFloat()});
    }
    return runs;
}

TekiseiContext tekiseiContextOfRace()
{
    return {pd.raceDate, pd.raceZyo, pd.raceKyori, pd.raceSiba};
}
