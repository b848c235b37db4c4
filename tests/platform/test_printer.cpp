#include "platform/printer.h"

#include "platform/vberror.h"
#include "tests/support/pdfTool.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

// A document takes the orientation set at its first call; characters are 120 x 240 twips. (No printers: printing's tests.)
TEST(Printer, SelectByNameAndDocumentsInCharacters)
{
    std::vector<RecordingPrinterDevice*> rec;
    std::vector<std::unique_ptr<PrinterDevice>> list;
    for (const char* name : {"Office", "Home", "Office"})
        rec.push_back(static_cast<RecordingPrinterDevice*>(list.emplace_back(new RecordingPrinterDevice(name)).get()));
    Printer p;
    p.setDevices(std::move(list), "Home");
    EXPECT_FALSE(p.selectByName("Gone"));
    EXPECT_EQ(std::pair(p.deviceNames(), p.deviceName()), std::pair(QStringList({"Office", "Home", "Office"}), QString("Home")));
    EXPECT_TRUE(p.selectByName("Office"));
    p.setOrientation(vbPRORLandscape);
    p.setScaleMode(vbCharacters);
    p.setCurrentX(2);
    p.setCurrentY(1);
    p.setFontSize(5);
    p.print("title");
    p.setOrientation(vbPRORPortrait);  // too late for this document
    p.endDoc();
    p.print("second");
    p.endDoc();
    const auto& docs = rec[0]->documents();
    ASSERT_EQ(std::tuple(docs.size(), rec[1]->documents().size(), rec[2]->documents().size()), std::tuple(size_t(2), size_t(0), size_t(0)));
    const CanvasOp& title = docs[0].ops.at(0);
    EXPECT_EQ(std::tuple(docs[0].orientation, docs[0].ended, docs[1].orientation, docs[1].ended, docs[0].ops.size(), title.kind, title.x1,
                         title.y1, title.text, title.fontSize),
              std::tuple(int(vbPRORLandscape), true, int(vbPRORPortrait), true, size_t(1), CanvasOp::Print, 240.0, 240.0, QString("title"), 5.0));
    EXPECT_EQ(std::pair(a4PageTwips(vbPRORPortrait).toSize(), a4PageTwips(vbPRORLandscape).toSize()),
        std::pair(QSize(11906, 16838), QSize(16838, 11906)));
}

// A real A4 PDF read back by poppler; a cancelled path writes nothing, an unwritable one throws.
TEST(Printer, PdfFileReadBackWithPoppler)
{
    QTemporaryDir dir;
    QString path = dir.filePath("sheet.pdf");
    Printer p;
    std::vector<std::unique_ptr<PrinterDevice>> list;
    list.push_back(std::make_unique<PdfPrinterDevice>([&path] { return path; }));
    p.setDevices(std::move(list), PdfPrinterDevice::name);
    p.setOrientation(vbPRORLandscape);
    QImage blue(100, 50, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    p.paintPicture(blue, 1440, 1440, 2880, 1440);  // 1 inch in, 2 x 1 inches
    p.endDoc();
    const auto info = pdfInfo(path);
    if (info.isEmpty())
        GTEST_SKIP() << "poppler-utils not installed";
    EXPECT_EQ(std::pair(info.value("Pages"), info.value("Page size")), std::pair(QString("1"), QString("842 x 595 pts (A4)")));
    const QImage page = pdfPage(path, 1, 72);
    ASSERT_EQ(page.size(), QSize(842, 595));
    EXPECT_EQ(QList<QRgb>({page.pixel(72 + 70, 72 + 30), page.pixel(72 + 150, 72 + 30), page.pixel(60, 100)}),
              QList<QRgb>({QColor(0, 0, 254).rgb(), QColor(Qt::white).rgb(), QColor(Qt::white).rgb()}));

    path.clear();
    p.print("x");
    EXPECT_NO_THROW(p.endDoc());
    EXPECT_FALSE(p.docOpen());
    path = dir.filePath("missing/x.pdf");
    p.print("x");
    try {
        p.endDoc();
        ADD_FAILURE() << "saved into a missing folder";
    } catch (const VbError& e) {
        EXPECT_EQ(japaneseCause(e), "保存先のフォルダがありません");
    }
    EXPECT_EQ(std::pair(p.docOpen(), QDir(dir.path()).entryList(QDir::Files)), std::pair(false, QStringList {"sheet.pdf"}));
}
