#include "platform/printer.h"

#include "platform/vberror.h"
#include "tests/support/pdfTool.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
struct Devices {
    std::vector<RecordingPrinterDevice*> rec;
    std::vector<std::unique_ptr<PrinterDevice>> list;
};

Devices recorders(const QStringList& names)
{
    Devices d;
    for (const QString& n : names) {
        auto p = std::make_unique<RecordingPrinterDevice>(n);
        d.rec.push_back(p.get());
        d.list.push_back(std::move(p));
    }
    return d;
}

QImage picture(int w, int h, QColor c)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    return img;
}
}  // namespace

// The list in order, the current one by name; an unknown name keeps the current printer.
TEST(Printer, ListAndSelectByName)
{
    Printer p;
    Devices d = recorders({"Office", "Home", "Office"});
    p.setDevices(std::move(d.list), "Home");
    EXPECT_EQ(p.deviceNames(), (QStringList {"Office", "Home", "Office"}));
    EXPECT_EQ(p.deviceName(), "Home");
    EXPECT_FALSE(p.selectByName("Gone"));
    EXPECT_EQ(p.deviceName(), "Home");
    EXPECT_TRUE(p.selectByName("Office"));
    p.print("x");
    p.endDoc();
    EXPECT_EQ(std::tuple(d.rec[0]->documents().size(), d.rec[1]->documents().size(), d.rec[2]->documents().size()),
              std::tuple(size_t(1), size_t(0), size_t(0)));
    p.setDevices({}, "Office");
    EXPECT_EQ(p.deviceName(), "");
    EXPECT_THROW(p.print("x"), VbError);
    EXPECT_FALSE(p.docOpen());
}

// A document takes the orientation set at its first call; characters are 120 x 240 twips.
TEST(Printer, DocumentsPositionsAndScales)
{
    Printer p;
    Devices d = recorders({"R"});
    p.setDevices(std::move(d.list), "R");
    p.setOrientation(vbPRORLandscape);
    p.setScaleMode(vbTwips);
    p.paintPicture(picture(40, 30, Qt::red), 3800, 200 + 2700, 3800, 2700);
    p.setScaleMode(vbCharacters);
    p.setCurrentX(2);
    p.setCurrentY(1);
    p.setFontSize(5);
    p.print("title");
    p.setOrientation(vbPRORPortrait);  // too late for this document
    p.endDoc();
    p.setScaleMode(vbTwips);
    p.setCurrentX(0);
    p.setCurrentY(250);
    p.print("second");
    p.endDoc();

    const auto& docs = d.rec[0]->documents();
    ASSERT_EQ(docs.size(), 2u);
    EXPECT_EQ(std::tuple(docs[0].orientation, docs[0].ended, docs[1].orientation, docs[1].ended),
              std::tuple(int(vbPRORLandscape), true, int(vbPRORPortrait), true));
    ASSERT_EQ(docs[0].ops.size(), 2u);
    const CanvasOp& pic = docs[0].ops[0];
    EXPECT_EQ(std::tuple(pic.kind, pic.x1, pic.y1, pic.x2, pic.y2, pic.picture.size()),
              std::tuple(CanvasOp::Picture, 3800.0, 2900.0, 7600.0, 5600.0, QSize(40, 30)));
    const CanvasOp& title = docs[0].ops[1];
    EXPECT_EQ(std::tuple(title.kind, title.x1, title.y1, title.text, title.fontSize),
              std::tuple(CanvasOp::Print, 240.0, 240.0, QString("title"), 5.0));
    EXPECT_EQ(std::tuple(docs[1].ops[0].x1, docs[1].ops[0].y1, docs[1].ops[0].text), std::tuple(0.0, 250.0, QString("second")));
    EXPECT_EQ(a4PageTwips(vbPRORPortrait).toSize(), QSize(11906, 16838));
    EXPECT_EQ(a4PageTwips(vbPRORLandscape).toSize(), QSize(16838, 11906));
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
    EXPECT_EQ(p.deviceNames(), QStringList {"PDF"});
    p.setOrientation(vbPRORLandscape);
    p.paintPicture(picture(100, 50, Qt::blue), 1440, 1440, 2880, 1440);  // 1 inch in, 2 x 1 inches
    p.endDoc();
    const auto info = pdfInfo(path);
    if (info.isEmpty())
        GTEST_SKIP() << "poppler-utils not installed";
    EXPECT_EQ(info.value("Pages"), "1");
    EXPECT_EQ(info.value("Page size"), "842 x 595 pts (A4)");
    const QImage page = pdfPage(path, 1, 72);
    ASSERT_EQ(page.size(), QSize(842, 595));
    EXPECT_EQ(page.pixelColor(72 + 70, 72 + 30).rgb(), QColor(0, 0, 254).rgb());
    EXPECT_EQ(page.pixelColor(72 + 150, 72 + 30), QColor(Qt::white));
    EXPECT_EQ(page.pixelColor(60, 100), QColor(Qt::white));

    for (const QString& other : {QString(), dir.filePath("missing/x.pdf")}) {
        path = other;
        p.print("x");
        if (other.isEmpty())
            EXPECT_NO_THROW(p.endDoc());
        else
            EXPECT_THROW(p.endDoc(), VbError);
        EXPECT_FALSE(p.docOpen());
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList {"sheet.pdf"});
}
