#pragma once
// The entry procedure: sets the mode flags from the marker files, loads the settings held
// in memory and shows the main window.
void Main();
