#pragma once
// The printer as the system drives it: a list of printers by device name, one current printer,
// and a document drawn with CurrentX/CurrentY, FontSize, Print and PaintPicture on A4 paper (the
// only paper the system prints on) in twips or character units, ended with EndDoc or dropped with KillDoc. A document begins with
// its first drawing call. Each printer is a PrinterDevice: a printer of the system (Qt's print
// support, CUPS here), a PDF file, or a recording one for tests.
#include "platform/canvas.h"

#include <QImage>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

enum VbPrinterOrientation { vbPRORPortrait = 1, vbPRORLandscape = 2 };
enum VbScaleMode { vbTwips = 1, vbCharacters = 4 };

// The page of an A4 sheet in twips, as oriented.
QSizeF a4PageTwips(int orientation);

class PrinterDevice {
public:
    virtual ~PrinterDevice() = default;
    virtual QString deviceName() const = 0;
    // Starts a document on A4 paper in this orientation; the sink receives its drawing in twips.
    // A printer that cannot start one throws VbError.
    virtual CanvasSink* beginDoc(int orientation) = 0;
    // Sends the finished document; a failure throws VbError (the document is gone either way).
    virtual void endDoc() = 0;
    // Drops the document: nothing is printed or written.
    virtual void abortDoc() = 0;
};

// The printers of the system, in the system's order, then the PDF file printer (always there).
std::vector<std::unique_ptr<PrinterDevice>> systemPrinterDevices();
// The device name of the system's default printer ("" when there is none).
QString systemDefaultPrinterName();

// The save dialog of the PDF file printer; "" when the user cancels.
QString askPdfPath();

// A printer that writes each document as a PDF file at the path that `askPath` gives when the
// document ends ("" cancels the document). The file appears whole or not at all.
class PdfPrinterDevice : public PrinterDevice {
public:
    static inline const QString name = QStringLiteral("PDF");
    explicit PdfPrinterDevice(std::function<QString()> askPath);
    ~PdfPrinterDevice() override;
    QString deviceName() const override { return name; }
    CanvasSink* beginDoc(int orientation) override;
    void endDoc() override;
    void abortDoc() override;

private:
    struct Doc;
    std::function<QString()> askPath_;
    std::unique_ptr<Doc> doc_;
};

// Keeps every document with its calls, for tests; can be told to fail at a given drawing call
// (counted over its whole life from 1), as a printer that disappears mid-job.
class RecordingPrinterDevice : public PrinterDevice {
public:
    struct Document {
        int orientation = 0;
        std::vector<CanvasOp> ops;
        bool ended = false;    // EndDoc sent it
        bool aborted = false;  // KillDoc dropped it
    };
    explicit RecordingPrinterDevice(QString name) : name_(std::move(name)) {}
    QString deviceName() const override { return name_; }
    CanvasSink* beginDoc(int orientation) override;
    void endDoc() override;
    void abortDoc() override;

    const std::vector<Document>& documents() const { return documents_; }
    void failAtCall(int n) { failAt_ = n; }

private:
    class Sink : public CanvasSink {
    public:
        explicit Sink(RecordingPrinterDevice* device) : device_(device) {}
        void draw(const CanvasOp& op) override;

    private:
        RecordingPrinterDevice* device_;
    };
    QString name_;
    std::vector<Document> documents_;
    Sink sink_ {this};
    int calls_ = 0;
    int failAt_ = 0;
};

class Printer {
public:
    Printer();
    // The Printers collection: device names in order.
    QStringList deviceNames() const;
    // The current printer's device name ("" when there is no printer at all).
    QString deviceName() const;
    // Set Printer = the first printer with that name; a name that matches none keeps the current.
    bool selectByName(const QString& name);

    // The orientation of the next document (a document already begun keeps its own).
    void setOrientation(int orientation);
    int orientation() const { return orientation_; }
    // Twips, or characters of 120 twips across and 240 down; CurrentX/CurrentY are in this unit.
    void setScaleMode(int mode);
    double currentX() const { return canvas_.currentX; }
    double currentY() const { return canvas_.currentY; }
    void setCurrentX(double x) { canvas_.currentX = x; }
    void setCurrentY(double y) { canvas_.currentY = y; }
    void setFontSize(double points) { canvas_.setFontSize(points); }
    double fontSize() const { return canvas_.fontSize(); }

    void paintPicture(const QImage& picture, double x, double y, double width, double height);
    void print(const QString& text);
    // Sends the document to the printer; a failure is a VbError (the document is closed anyway).
    void endDoc();
    // Drops the document begun, if any.
    void killDoc();
    bool docOpen() const { return device_ != nullptr; }

    // Replaces the printers (tests, or a fresh look at the system); the named one becomes current,
    // else the first.
    void setDevices(std::vector<std::unique_ptr<PrinterDevice>> devices, const QString& current);

private:
    Canvas& page();
    void sizeCanvas();
    void applyScale();

    std::vector<std::unique_ptr<PrinterDevice>> devices_;
    int current_ = -1;
    PrinterDevice* device_ = nullptr;  // the device of the open document
    Canvas canvas_ {nullptr, 0, 0};
    int orientation_ = vbPRORPortrait;
    int scaleMode_ = vbTwips;
};

// Drops the document of a print job that ends without EndDoc (an error on the way), so no
// document is left open.
class PrinterDocGuard {
public:
    explicit PrinterDocGuard(Printer& printer) : printer_(printer) {}
    ~PrinterDocGuard() { printer_.killDoc(); }
    PrinterDocGuard(const PrinterDocGuard&) = delete;
    PrinterDocGuard& operator=(const PrinterDocGuard&) = delete;

private:
    Printer& printer_;
};

// The program's printer: the system's printers and the PDF file, the default printer current.
Printer& printer();
