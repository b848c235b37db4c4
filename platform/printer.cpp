#include "platform/printer.h"

#include "platform/filedialog.h"
#include "platform/vberror.h"

#include <QApplication>
#include <QFileDialog>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScopeGuard>
#include <QSaveFile>
#include <QTemporaryFile>

namespace {
constexpr int vbErrPrinter = 482;
constexpr double twipsPerMm = 1440 / 25.4;
constexpr double twipsPerCharX = 120;
constexpr double twipsPerCharY = 240;

[[noreturn]] void printerError(const QString& what, VbCause cause = VbCause::none)
{
    throw VbError(vbErrPrinter, QStringLiteral("Printer error: ") + what, cause);
}

QPageLayout::Orientation qtOrientation(int orientation)
{
    return orientation == vbPRORLandscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

// A printer of the system, through Qt's print support; drawing starts at the printable area.
class QtPrinterDevice : public PrinterDevice {
public:
    explicit QtPrinterDevice(const QPrinterInfo& info) : info_(info) {}
    QString deviceName() const override { return info_.printerName(); }

    CanvasSink* beginDoc(int orientation) override
    {
        printer_ = std::make_unique<QPrinter>(info_, QPrinter::HighResolution);
        printer_->setPageSize(QPageSize(QPageSize::A4));
        printer_->setPageOrientation(qtOrientation(orientation));
        if (!printer_->isValid())
            printerError(info_.printerName());
        const QRectF area = printer_->pageLayout().paintRect(QPageLayout::Millimeter);
        painter_ = std::make_unique<CanvasPainter>(printer_.get(), area.size() * twipsPerMm);
        return painter_.get();
    }

    void endDoc() override
    {
        const bool failed = printer_->printerState() == QPrinter::Error;
        close();
        if (failed)
            printerError(info_.printerName());
    }

    void abortDoc() override
    {
        if (printer_ && printer_->printerState() == QPrinter::Active)
            printer_->abort();
        close();
    }

private:
    void close()
    {
        painter_.reset();
        printer_.reset();
    }

    QPrinterInfo info_;
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<CanvasPainter> painter_;
};
}  // namespace

QSizeF a4PageTwips(int orientation)
{
    const QSizeF portrait(210 * twipsPerMm, 297 * twipsPerMm);
    return orientation == vbPRORLandscape ? portrait.transposed() : portrait;
}

// ---- PDF file ----

struct PdfPrinterDevice::Doc {
    QTemporaryFile file;
    std::unique_ptr<QPdfWriter> writer;
    std::unique_ptr<CanvasPainter> painter;
};

PdfPrinterDevice::PdfPrinterDevice(std::function<QString()> askPath)
    : askPath_(std::move(askPath))
{
}

PdfPrinterDevice::~PdfPrinterDevice() = default;

CanvasSink* PdfPrinterDevice::beginDoc(int orientation)
{
    auto doc = std::make_unique<Doc>();
    if (!doc->file.open())
        printerError(doc->file.errorString());
    doc->writer = std::make_unique<QPdfWriter>(&doc->file);
    doc->writer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), qtOrientation(orientation), QMarginsF()));
    doc->writer->setCreator(QStringLiteral("Brennock"));
    doc->painter = std::make_unique<CanvasPainter>(doc->writer.get(), a4PageTwips(orientation));
    doc_ = std::move(doc);
    return doc_->painter.get();
}

void PdfPrinterDevice::endDoc()
{
    std::unique_ptr<Doc> doc = std::move(doc_);
    doc->painter.reset();
    doc->writer.reset();
    const QString path = askPath_ ? askPath_() : QString();
    if (path.isEmpty())
        return;
    doc->file.seek(0);
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(doc->file.readAll()) < 0 || !out.commit())
        printerError(path + QStringLiteral(": ") + out.errorString(), fileWriteCause(path));
}

void PdfPrinterDevice::abortDoc()
{
    doc_.reset();
}

QString askPdfPath()
{
    // The file is asked for in the middle of a print job, under its hourglass.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    QFileDialog dialog(nullptr, QStringLiteral("PDFファイルの保存"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.setNameFilters({QStringLiteral("PDFファイル (*.pdf *.PDF)")});
    prepareFileDialog(dialog, QCoreApplication::applicationDirPath());
    return runFileDialog(dialog);
}

// ---- Recording ----

CanvasSink* RecordingPrinterDevice::beginDoc(int orientation)
{
    documents_.push_back({orientation, {}, false, false});
    return &sink_;
}

void RecordingPrinterDevice::Sink::draw(const CanvasOp& op)
{
    if (++device_->calls_ == device_->failAt_)
        printerError(device_->name_);
    device_->documents_.back().ops.push_back(op);
}

void RecordingPrinterDevice::endDoc()
{
    documents_.back().ended = true;
}

void RecordingPrinterDevice::abortDoc()
{
    documents_.back().aborted = true;
}

// ---- The system's printers ----

std::vector<std::unique_ptr<PrinterDevice>> systemPrinterDevices()
{
    std::vector<std::unique_ptr<PrinterDevice>> devices;
    for (const QPrinterInfo& info : QPrinterInfo::availablePrinters())
        devices.push_back(std::make_unique<QtPrinterDevice>(info));
    devices.push_back(std::make_unique<PdfPrinterDevice>(askPdfPath));
    return devices;
}

QString systemDefaultPrinterName()
{
    return QPrinterInfo::defaultPrinterName();
}

// ---- Printer ----

QStringList Printer::deviceNames() const
{
    QStringList names;
    for (const auto& d : devices_)
        names << d->deviceName();
    return names;
}

QString Printer::deviceName() const
{
    return current_ >= 0 ? devices_[size_t(current_)]->deviceName() : QString();
}

bool Printer::selectByName(const QString& name)
{
    for (size_t i = 0; i < devices_.size(); ++i)
        if (devices_[i]->deviceName() == name) {
            current_ = int(i);
            return true;
        }
    return false;
}

void Printer::setDevices(std::vector<std::unique_ptr<PrinterDevice>> devices, const QString& current)
{
    killDoc();
    devices_ = std::move(devices);
    current_ = devices_.empty() ? -1 : 0;
    selectByName(current);
}

Printer::Printer()
{
    sizeCanvas();
}

void Printer::setOrientation(int orientation)
{
    orientation_ = orientation;
    if (!device_)
        sizeCanvas();
}

void Printer::sizeCanvas()
{
    const QSizeF size = a4PageTwips(orientation_);
    canvas_.setSizeTwips(size.width(), size.height());
    applyScale();
}

void Printer::setScaleMode(int mode)
{
    scaleMode_ = mode;
    applyScale();
}

void Printer::applyScale()
{
    if (scaleMode_ == vbCharacters)
        canvas_.scale(0, 0, canvas_.widthTwips() / twipsPerCharX, canvas_.heightTwips() / twipsPerCharY);
    else
        canvas_.scaleTwips();
}

Canvas& Printer::page()
{
    if (device_)
        return canvas_;
    if (current_ < 0)
        printerError(QStringLiteral("no printer"));
    PrinterDevice* device = devices_[size_t(current_)].get();
    canvas_.setSink(device->beginDoc(orientation_));
    device_ = device;
    return canvas_;
}

void Printer::paintPicture(const QImage& picture, double x, double y, double width, double height)
{
    page().paintPicture(picture, x, y, width, height);
}

void Printer::print(const QString& text)
{
    page().print(text);
}

void Printer::endDoc()
{
    if (!device_)
        return;
    PrinterDevice* device = std::exchange(device_, nullptr);
    canvas_.setSink(nullptr);
    device->endDoc();
}

void Printer::killDoc()
{
    if (!device_)
        return;
    PrinterDevice* device = std::exchange(device_, nullptr);
    canvas_.setSink(nullptr);
    device->abortDoc();
}

Printer& printer()
{
    static Printer p;
    static const bool filled = [] {
        p.setDevices(systemPrinterDevices(), systemDefaultPrinterName());
        return true;
    }();
    (void)filled;
    return p;
}
