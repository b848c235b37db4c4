#pragma once
// Reads a data file with the sqlcipher shell, independently of our database layer.
#include <QString>
#include <QStringList>

// Runs one query on the file with the password's raw key; the output lines ("|" between fields),
// or a null list when the shell is not installed.
QStringList sqlcipherQuery(const QString& file, const QString& password, const QString& sql);
