#include "sheets/kextukaRireki.h"

#include "core/publicFunction.h"
#include "platform/vbformat.h"
#include "sheets/sheetGrid.h"
#include "sheets/sheetStatement.h"

#include <functional>

namespace {
struct ResultColumn {
    QString header;
    int width;
    std::function<QString(const SheetRun&)> text;
    bool link;
    bool byFinish;
};

std::vector<ResultColumn> resultColumns()
{
    const auto number = [](RunField i, const char* p) { return [i, p](const SheetRun& r) { return formatField(r[i], p); }; };
    const auto real = [](RunField i, const char* p) { return [i, p](const SheetRun& r) { return formatFloatField(r[i], p); }; };
    const auto plain = [](RunField i) { return [i](const SheetRun& r) { return r[i].toString(); }; };
    std::vector<ResultColumn> c {
        {"着", 400, number(fCyaku, "##"), false, true},
        {"枠", 400, number(fWaku, "##"), false, false},
        {"番", 400, number(fNo, "##"), false, false},
        {"馬名", 1700, plain(fName), true, true},
        {"指数", 450, real(fSisuu, "###"), false, false},
        {"上り", 450, real(fSisuu3f, "###"), false, false},
        {"頭数", 400, number(fTousuu, "##"), false, false},
        {"タイム", 600, [](const SheetRun& r) { return timeToText(r[fTime].toFloat()); }, false, false},
        {"差", 400, real(fCyakusa, "#0.0"), false, false},
        {"騎手", 700, plain(fKisyu), true, false},
        {"負担", 500, real(fHutan, "##.0"), false, false},
        {"体重", 500, number(fTaizyu, "##"), false, false},
    };
    for (RunField corner : {fTuka1, fTuka2, fTuka3, fTuka4})
        c.push_back({"コーナー通過", 350, number(corner, "##"), false, false});
    c.push_back({"厩舎", 700, plain(fCyoukyou), true, false});
    return c;
}
}  // namespace

QString raceInfoLine(const SheetRun& row)
{
    const QString siba = row[fSiba].isNull() ? QString() : (row[fSiba].toInt() == 0 ? "D" : "芝");
    return row[fZyo].toString() + Format(row.date(), "yyyy/mm/dd") + " " + formatField(row[fRaceNo], "##") + "R "
        + row[fRName].toString() + siba + formatField(row[fKyori], "####") + codeToBaba(row[fBaba].toInt());
}

RaceResult readRaceResult(const QString& code, const VbDate& raceDate)
{
    RaceResult race;
    SheetStatement rows(slotConnection(slotMain), sheetRaceRunSelect() + " WHERE T_Rdata.R_code = ? AND R_date < ?"
                                           " ORDER BY (U_cyaku IS NULL OR U_cyaku <= 0), U_cyaku, U_no, U_name");
    for (rows.start({code.toUtf8(), raceDate.toDbText().toUtf8()}); rows.next();) {
        race.found = true;
        SheetRun run;
        run.readColumns(rows.get(), fRCode, fKyakusitu);
        if (race.info.isEmpty()) {
            race.info = raceInfoLine(run);
            race.zyo = run[fZyo].toString();
            race.date = run.date();
            race.raceNo = run[fRaceNo].toInt();
        }
        if (!run[fName].isNull())
            race.runners.push_back(std::move(run));
    }
    return race;
}

void drawGridKextukaRireki(FlexGrid& grid, const RaceResult& race)
{
    GridFill fill(grid);
    const std::vector<ResultColumn> columns = resultColumns();
    setupSheetListGrid(grid, race.runners.empty() ? 1 : int(columns.size()));
    if (!race.runners.empty()) {
        grid.setRows(int(race.runners.size()) + 1);
        for (int c = 0; c < int(columns.size()); ++c) {
            grid.setTextMatrix(0, c, columns[size_t(c)].header);
            grid.setColWidth(c, columns[size_t(c)].width);
        }
    }
    for (int r = 1; r <= int(race.runners.size()); ++r) {
        const SheetRun& run = race.runners[size_t(r - 1)];
        for (int c = 0; c < int(columns.size()); ++c) {
            const ResultColumn& col = columns[size_t(c)];
            const QString text = col.text(run);
            grid.setTextMatrix(r, c, text);
            if (col.link && !text.isEmpty())
                setLinkStyle(grid, r, c);
            if (col.byFinish && !run[fCyaku].isNull())
                grid.setCellBackColor(r, c, cyakuColor(run[fCyaku].toInt()));
        }
        grid.setCellFontBold(r, 4, true);
    }
    centreRow(grid, 0);
}
