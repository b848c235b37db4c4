#pragma once
// The file dialogs: always Qt's own dialog (a desktop's dialog may speak another language), with
// Japanese type names and dates, opening in the folder the user last chose a file in (the program
// folder at first).
#include <QString>

class QFileDialog;

// Prepares a dialog: firstFolder is where it opens while no file has been chosen yet.
void prepareFileDialog(QFileDialog& dialog, const QString& firstFolder);
// Runs a prepared dialog: the file chosen, or "" when cancelled; its folder is remembered.
QString runFileDialog(QFileDialog& dialog);
