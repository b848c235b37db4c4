#pragma once
// Generated benchmark data kept between runs: a folder under the build's test output, named after
// the schemas the data was made from, so that data of an older schema is made afresh.
#include <QString>
#include <QStringList>
#include <functional>

// The folder `name`_<schema hash> holding complete data; `generate` fills an empty one first (it
// counts as complete once `generate` returns). Folders of the same name and other hashes go.
QString keptBenchFolder(const QString& name, const QStringList& schemas,
                        const std::function<void(const QString& folder)>& generate);
