#pragma once
// Trapped failures show the user only a tag; the cause behind it (the failing query, file or
// subscript) goes to the logging category "brennock.trap" and, once a file is set, to a small log
// file that outlives the run, so a user can hand over what happened.
#include <QLoggingCategory>
#include <QString>
#include <exception>

Q_DECLARE_LOGGING_CATEGORY(lcTrap)

// The log file, or empty for none (the start of tests). Past kTrapLogLimit bytes it moves to one
// older file, name + ".old", so the two together stay bounded.
void setTrapLogFile(const QString& path);
constexpr qint64 kTrapLogLimit = 256 * 1024;

// One line: date-time, tag and the error's own text. A log that cannot be written is given up
// quietly: the failure being logged is what the user must hear about.
void logTrap(const QString& tag, const std::exception& error);
