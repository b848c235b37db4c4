// A picture of every tab of every sheet, written as test artefacts, over a small career.
#include "tests/sheets/sheetWindows.h"

#include <QTabBar>

TEST_F(SheetWindowTest, EveryTabOfEverySheetPaints)
{
    const QStringList tracks {"浦和", "大井", "川崎", "船橋", "浦和", "大井"};
    for (int i = 0; i < 12; ++i) {
        RunRow r = runDaysBefore(20 + 25 * i, 1 + i % 12);
        r.zyo = tracks[i % tracks.size()];
        r.kyori = 1200 + 100 * (i % 5);
        r.cyaku = 1 + i % 6;
        r.sisuu = 40 + 2 * i;
        r.baba = 1 + i % 4;
        r.waku = 1 + i % 8;
        r.taizyu = 462 + i;
        r.zougen = (i % 5) - 2;
        r.kisyu = i % 3 ? "騎手甲" : "騎手乙";
        r.kyakusitu = QStringList({"逃", "先", "差", "追"})[i % 4];
        writeRun(r);
        RunRow rival = r;
        rival.name = "ライバル";
        rival.cyaku = r.cyaku == 1 ? 2 : 1;
        writeRun(rival);
    }
    struct Sheet {
        SheetKind kind;
        QString key;
    };
    const std::vector<Sheet> sheets {{SheetKind::Uma, "テスト馬"}, {SheetKind::Kisyu, "騎手甲"},
                                     {SheetKind::Cyoukyou, "調教師乙"}, {SheetKind::Syuboba, "種牡馬丙"},
                                     {SheetKind::Kextuka, "浦和08021001"}};
    QDir().mkpath(BRENNOCK_TEST_OUTPUT_DIR "/sheets");
    for (const Sheet& s : sheets) {
        ASSERT_TRUE(openSheet(s.kind, s.key));
        QWidget* sheet = sheetOf(s.kind);
        sheet->resize(1100, 560);
        auto* tabs = childNamed<QTabBar>(sheet, "tabMain");
        for (int i = 0; i < tabs->count(); ++i) {
            clickTab(sheet, tabs->tabText(i));
            EXPECT_EQ(tabs->currentIndex(), i);
            const QImage image = sheet->grab().toImage();
            EXPECT_GT(image.convertToFormat(QImage::Format_Indexed8).colorCount(), 8);
            EXPECT_TRUE(image.save(QString(BRENNOCK_TEST_OUTPUT_DIR "/sheets/%1-%2.png")
                                       .arg(sheet->objectName()).arg(i + 1)));
        }
    }
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('\n').toStdString();
}
