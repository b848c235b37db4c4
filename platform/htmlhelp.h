#pragma once
// The program's help window: shows a topic of a compiled help file (.chm) and follows the links
// between its pages. One window for the program; a second call shows the new topic in it.
#include <QString>

// False when the file cannot be opened or holds no such topic; nothing is shown then.
bool htmlHelp(const QString& chmFile, const QString& topic);
