#include "chartFixture.h"

using GraphList = ChartTest;

// Gate groups 1 2 2 3 4, runner 1 shown; stepping re-marks every name blue, then the shown one black; rows map
// to runners; the list's redraw comes back on after a failure in the middle of the fill.
TEST_F(GraphList, RunnersThroughTheGridAndStepping)
{
    const int gates[] = {1, 2, 2, 3, 4};
    for (int h = 1; h <= 5; ++h)
        addRunner(h, gates[h - 1]), pd.yosouSisuu(h) = h == 4 ? 0 : 60.6f + h, pd.kisoSisuu(h, 0) = 55.4f, pd.sirusi(h) = h == 2 ? "◎" : "";
    fillGridGraph(*grid);
    EXPECT_EQ(QList<int>({grid->rows(), grid->cols(), grid->fixedRows(), grid->fixedCols()}), QList<int>({7, 6, 2, 3}));
    QStringList rows;
    for (int r = 2; r <= 6; ++r) {
        rows << QStringLiteral("%1|%2|%3|%4|%5|%6 bg%7 fg%8 name:%9%10 fg%11")
                    .arg(grid->textMatrix(r, 0), grid->textMatrix(r, 1), grid->textMatrix(r, 2), grid->textMatrix(r, 3),
                         grid->textMatrix(r, 4), grid->textMatrix(r, 5))
                    .arg(grid->cellBackColor(r, 0), 0, 16).arg(grid->cellForeColor(r, 0), 0, 16)
                    .arg(grid->cellFontBold(r, 3) ? "B" : "-", grid->cellFontUnderline(r, 3) ? "U" : "-")
                    .arg(grid->cellForeColor(r, 3), 0, 16);
    }
    EXPECT_EQ(lines(rows), lines({"1|1||馬1|62|55 bgffffff fg10101 name:B- fg0", "2|2|◎|馬2|63|55 bg10101 fgffffff name:BU fgff0000",
                                  "|3||馬3|64|55 bg10101 fg10101 name:BU fgff0000", "3|4||馬4||55 bgff fg10101 name:BU fgff0000",
                                  "4|5||馬5|66|55 bgff0000 fgffffff name:BU fgff0000"}));

    markGraphRunner(3);
    QStringList marks;
    for (int r = 0; r < grid->rows(); ++r)
        marks << QStringLiteral("%1%2").arg(grid->cellFontUnderline(r, 3) ? "U" : "-").arg(grid->cellForeColor(r, 3), 0, 16);
    EXPECT_EQ(marks, QStringList({"Uff0000", "Uff0000", "Uff0000", "Uff0000", "-0", "Uff0000", "Uff0000"}));
    QList<int> runners;
    for (int row = -1; row <= 8; ++row)
        runners << graphRowRunner(row);
    EXPECT_EQ(runners, QList<int>({0, 0, 0, 1, 2, 3, 4, 5, 0, 0}));

    pd.sirusi.redim(4);  // runner 5 has no mark cell: the fill fails there
    drawGraph();
    EXPECT_EQ(std::pair(msgs.texts(), grid->updatesEnabled()), std::pair(QStringList({"Error-graphDrawGraph-2"}), true));
}

// Keys at the chart's heights (gate 8, 900 m, corner 1st, heaviest going); switched off, only the index key.
TEST_F(GraphList, LegendKeys)
{
    addRunner(1, 1);
    drawGraph();
    const QStringList rows = opRows(rec2.ops());
    EXPECT_EQ(std::pair(rows.value(0), rows.size()), std::pair(QString("cls"), qsizetype(1 + 16 + 24 + 2 + 18 + 1 + 8 + 3 + 3 + 3)));
    for (const char* row : {"fbox 0.00 6420.00 100.00 6520.00 0,128,128 w3 solid", "circle 560.00 5480.00 r60.00 128,0,128 fill none w3",
                            "box 0.00 140.00 120.00 260.00 255,0,0 w3 solid", "circle 560.00 1190.00 r60.00 128,128,128 fill 128,128,128 w1"})
        EXPECT_TRUE(rows.contains(row)) << row;

    pd.graphFlags.fill("false"), rec2.clear();
    drawGraph();
    EXPECT_EQ(lines(opRows(rec2.ops())), lines({"cls", "circle 400.00 6900.00 r80.00 0,0,255 fill 0,0,255 w3",
                                                "line 0.00 6900.00 800.00 6900.00 0,0,255 w3 solid", "text 50.00 6620.00 SP指数 8"}));
}
