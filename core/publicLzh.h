#pragma once
// Packing a folder into an LZH archive, as the batch output does once per run.
#include <QString>

// Adds files (a folder or one file) to the archive with the archiver switches "a -x1 -r2":
// folders recursively, names kept with their folders. Returns false after showing
// "LZHファイルの作成に失敗しました" and the reason; the previous archive then stays as it was. The
// archive's folder must exist: none is made.
bool lzhAdd(const QString& files, const QString& archive);
