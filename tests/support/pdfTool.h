#pragma once
// Reads a PDF file with poppler's tools, independently of the program.
#include <QImage>
#include <QMap>
#include <QString>

// pdfinfo's fields ("Pages", "Page size" ...); empty when the tool is missing or fails.
QMap<QString, QString> pdfInfo(const QString& file);
// Page `page` (from 1) rendered by pdftoppm at `dpi`; a null image when it fails.
QImage pdfPage(const QString& file, int page, int dpi);
