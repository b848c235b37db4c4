#pragma once
// A large generated data file kept between benchmark runs, in a folder named after the race
// database schema it was made from; folders made from an older schema are deleted.
#include <QString>
#include <functional>

// The folder "<prefix><schema hash>" under the test output's bench folder; generate(folder) runs
// when it holds no NAR_data.dat yet.
QString schemaKeptFolder(const QString& prefix, const std::function<void(const QString& folder)>& generate);
