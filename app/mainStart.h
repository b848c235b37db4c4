#pragma once
// The entry procedure: sets the mode flags from the marker files, loads the settings held
// in memory and shows the main window.
void Main();

// Qt's own dialogs and buttons (file dialogs, OK and Cancel) speak Japanese, as the program
// does, whatever the desktop's language. Without Qt's translations installed they stay in
// English; false then.
bool loadQtTranslations();
