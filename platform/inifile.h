#pragma once
// Sectioned settings file with the private-profile semantics the system relies on:
// sections and keys match without regard to case; a read fills a 256-character buffer
// (the value is cut to 255 characters), trims blanks and returns the default when the
// key is missing; a write replaces one key's line and keeps every other line as it was;
// the file is CP932 with CR LF. Writes go through a temporary file and a rename.
#include <QList>
#include <QString>

struct IniEntry {
    QString section, key, value;
};

class IniFile {
public:
    explicit IniFile(QString path) : path_(std::move(path)) {}

    // GetPrivateProfileString: returns the number of characters copied (0 when the value is
    // empty and the default is empty too), and the text in value.
    int getString(const QString& section, const QString& key, const QString& def, QString& value) const;
    // WritePrivateProfileString; false when the file could not be written.
    bool writeString(const QString& section, const QString& key, const QString& value) const;
    // Several keys in one write of the file: either every one is written or none is.
    bool writeStrings(const QList<IniEntry>& entries) const;

    const QString& path() const { return path_; }

private:
    QString path_;
};
