#pragma once
// The CSV export of the race shown: per runner its bracket, number and name, then the speed
// index of each of its past runs 1..50 that has one, as whole numbers.
#include <QString>
#include <functional>

class QWidget;

// The whole file text: the header, one line per runner with a name, an empty last line (CR LF).
QString csvExportText();
// The save dialog; "" when the user cancels.
QString askCsvFile(QWidget* parent);
// Writes the file in one piece in the Japanese code page and says where; nothing for "".
void exportCsv(const QString& file);
// menuCsv: asks for the file and exports to it.
void menuCsv_Click(QWidget* parent);
