#include "sheets/umaRIreki.h"

#include "core/publicFunction.h"
#include "platform/flexgridredraw.h"
#include "platform/vbformat.h"
#include "sheets/sheetGrid.h"

#include <functional>

namespace {
enum class Style { None, RaceLink, Link, Sisuu, Cyaku };

struct RirekiColumn {
    QString header;
    int width;
    std::function<QString(const SheetRun&)> text;
    Style style;
};

std::function<QString(const SheetRun&)> plain(RunField i)
{
    return [i](const SheetRun& r) { return r[i].toString(); };
}

std::function<QString(const SheetRun&)> number(RunField i, const char* pattern)
{
    return [i, p = QString::fromLatin1(pattern)](const SheetRun& r) { return formatField(r[i], p); };
}

std::function<QString(const SheetRun&)> real(RunField i, const char* pattern)
{
    return [i, p = QString::fromLatin1(pattern)](const SheetRun& r) { return formatFloatField(r[i], p); };
}

QString siba(const SheetRun& r)
{
    if (r[fSiba].isNull())
        return {};
    return r[fSiba].toInt() == 0 ? QStringLiteral("D") : QStringLiteral("芝");
}

QString lastThree(const SheetRun& r)
{
    return r[f3f].toFloat() == 0 ? QString() : Format(r[f3f].toFloat(), "##.0");
}

std::vector<RirekiColumn> rirekiColumns(SheetKind kind)
{
    std::vector<RirekiColumn> c {
        {"開催日", 850, [](const SheetRun& r) { return Format(r.date(), "yy/mm/dd"); }, Style::None},
        {"場", 600, plain(fZyo), Style::None},
        {"R", 500, [](const SheetRun& r) { return r[fRaceNo].isNull() ? QString() : Format(r[fRaceNo].toInt(), "##") + "R"; }, Style::None},
        {"レース名", 2200, plain(fRName), Style::RaceLink},
    };
    if (kind != SheetKind::Uma)
        c.push_back({"馬名", 1700, plain(fName), Style::Link});
    c.push_back({"", 300, siba, Style::None});
    c.push_back({"距離", 500, number(fKyori, "####"), Style::None});
    c.push_back({"", 300, [](const SheetRun& r) { return codeToBaba(r[fBaba].toInt()); }, Style::None});
    c.push_back({"指数", 450, real(fSisuu, "###"), Style::Sisuu});
    c.push_back({"上り", 450, real(fSisuu3f, "###"), Style::None});
    c.push_back({"着", 400, number(fCyaku, "##"), Style::Cyaku});
    c.push_back({"頭数", 400, number(fTousuu, "##"), Style::None});
    c.push_back({"タイム", 600, [](const SheetRun& r) { return timeToText(r[fTime].toFloat()); }, Style::None});
    c.push_back({"上り", 400, lastThree, Style::None});
    c.push_back({"差", 400, real(fCyakusa, "#0.0"), Style::None});
    if (kind != SheetKind::Kisyu)
        c.push_back({"騎手", 700, plain(fKisyu), Style::Link});
    c.push_back({"負担", 500, real(fHutan, "##.0"), Style::None});
    c.push_back({"枠", 400, number(fWaku, "##"), Style::None});
    c.push_back({"番", 400, number(fNo, "##"), Style::None});
    c.push_back({"体重", 500, number(fTaizyu, "##"), Style::None});
    c.push_back({"増減", 500, number(fZougen, "+##0;-##"), Style::None});
    for (RunField corner : {fTuka1, fTuka2, fTuka3, fTuka4})
        c.push_back({"コーナー通過", 350, number(corner, "##"), Style::None});
    if (kind == SheetKind::Cyoukyou)
        c.push_back({"厩舎", 700, [](const SheetRun&) { return QString(); }, Style::None});
    else
        c.push_back({"厩舎", 700, plain(fCyoukyou), Style::Link});
    return c;
}

void applyStyle(FlexCell& cell, Style style, const SheetRun& run)
{
    switch (style) {
    case Style::None:
        break;
    case Style::RaceLink:
        setLinkStyle(cell);
        cell.fontSize = 8;
        break;
    case Style::Link:
        if (!cell.text.isEmpty())
            setLinkStyle(cell);
        break;
    case Style::Sisuu:
        cell.bold = true;
        if (!run[fFile].isNull() && !run[fFile].toBool())
            cell.foreColor = sheetGreyText;
        break;
    case Style::Cyaku:
        if (!run[fCyaku].isNull())
            cell.backColor = cyakuColor(run[fCyaku].toInt());
        break;
    }
}

// Rows first.. of the grid show the runs, each row's texts made when it is first needed.
void setRunRows(FlexGrid& grid, SheetKind kind, int first, const SheetRunList& kept)
{
    if (kept->empty())
        return;
    auto columns = std::make_shared<const std::vector<RirekiColumn>>(rirekiColumns(kind));
    grid.setRowsFrom(first, first + int(kept->size()) - 1,
                     [kept, columns, first](int row, std::vector<FlexCell>& cells) {
                         const SheetRun& run = (*kept)[size_t(row - first)];
                         for (size_t c = 0; c < std::min(cells.size(), columns->size()); ++c) {
                             cells[c].text = (*columns)[c].text(run);
                             applyStyle(cells[c], (*columns)[c].style, run);
                         }
                     });
}
}  // namespace

void drawSheetGridRireki(FlexGrid& grid, SheetKind kind, const SheetRunList& runs)
{
    GridFill fill(grid);
    const std::vector<RirekiColumn> columns = rirekiColumns(kind);
    setupSheetListGrid(grid, runs->empty() ? 1 : int(columns.size()));
    if (!runs->empty()) {
        grid.setRows(int(runs->size()) + 1);
        for (int c = 0; c < int(columns.size()); ++c) {
            grid.setTextMatrix(0, c, columns[size_t(c)].header);
            grid.setColWidth(c, columns[size_t(c)].width);
        }
    }
    setRunRows(grid, kind, 1, runs);
    centreRow(grid, 0);
}

void appendSheetGridRireki(FlexGrid& grid, SheetKind kind, const SheetRunList& runs)
{
    if (runs->empty())
        return;
    const FlexRedrawOff redraw(grid);
    const int first = grid.rows();
    grid.setRows(first + int(runs->size()));
    setRunRows(grid, kind, first, runs);
}
