// One picture of every sheet, written as a test artefact, over a small career.
#include "tests/sheets/sheetWindows.h"

TEST_F(SheetWindowTest, EverySheetPaints)
{
    for (int i = 0; i < 4; ++i) {
        RunRow r = runDaysBefore(20 + 25 * i, 1 + i);
        r.cyaku = 1 + i;
        r.kyakusitu = QStringList({"逃", "先", "差", "追"})[i];
        writeRun(r);
    }
    QDir().mkpath(BRENNOCK_TEST_OUTPUT_DIR "/sheets");
    for (const auto& [kind, key] : std::vector<std::pair<SheetKind, QString>> {
             {SheetKind::Uma, "テスト馬"}, {SheetKind::Kisyu, "騎手甲"}, {SheetKind::Cyoukyou, "調教師乙"},
             {SheetKind::Syuboba, "種牡馬丙"}, {SheetKind::Kextuka, "浦和08021001"}}) {
        ASSERT_TRUE(openSheet(kind, key));
        QWidget* sheet = sheetOf(kind);
        sheet->resize(1100, 560);
        const QImage image = sheet->grab().toImage();
        EXPECT_GT(image.convertToFormat(QImage::Format_Indexed8).colorCount(), 8);
        EXPECT_TRUE(image.save(QString(BRENNOCK_TEST_OUTPUT_DIR "/sheets/%1.png").arg(sheet->objectName())));
    }
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('\n').toStdString();
}
