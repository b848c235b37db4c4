#pragma once
// Installs a newer edition of a track information file picked by the user: the local
// Strevin_data.dat or the central jraGraph.dat in the program folder.
#include <QString>
#include <functional>

// True when a file was installed; false when nothing was picked, the pick was the installed
// file itself, the file was of the wrong kind, had no edition date or could not be used.
bool updateNarBabaFile();
bool updateJraBabaFile();

// The open-file dialog, given its title and filter ("name (*.ext);;..."); returns the chosen
// path or "" when cancelled. Tests install their own so that no person has to pick; an empty
// function brings Qt's dialog back.
using BabaFilePicker = std::function<QString(const QString& title, const QString& filter)>;
void setBabaFilePicker(BabaFilePicker picker);
