#include "mainwindow/mainCsv.h"

#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/filedialog.h"
#include "platform/msgbox.h"
#include "platform/textcodec.h"
#include "platform/vberror.h"

#include <QFileDialog>
#include <algorithm>
#include <cmath>

namespace {
constexpr int lastExportedRun = 50;
const QString crlf = QStringLiteral("\r\n");

// Halves go to the even neighbour on the index as stored (56.5 gives 56, 57.5 gives 58).
QString wholeIndex(float sisuu)
{
    return QString::number(static_cast<long long>(std::nearbyint(sisuu)));
}

QString runnerLine(int h)
{
    QStringList fields {QString::number(pd.uWaku(h, 0)), QString::number(h), pd.uName(h)};
    const int last = std::min(lastExportedRun, pd.uSisuu.ubound(2));
    for (int j = 1; j <= last; ++j)
        if (pd.uSisuu(h, j) != 0)
            fields << wholeIndex(pd.uSisuu(h, j));
    return fields.join(QLatin1Char(','));
}
}  // namespace

QString csvExportText()
{
    QString text = QStringLiteral("枠番,馬番,馬名") + crlf;
    for (int h = 1; h <= pd.uName.ubound(); ++h)
        if (!pd.uName(h).isEmpty())
            text += runnerLine(h) + crlf;
    return text + crlf;
}

QString askCsvFile(QWidget* parent)
{
    QFileDialog dialog(parent, QStringLiteral("CSVファイルの保存"));
    dialog.setObjectName(QStringLiteral("CommonDialog1"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    dialog.setNameFilters({QStringLiteral("CSVファイル (*.CSV *.csv)"), QStringLiteral("すべてのファイル (*)")});
    prepareFileDialog(dialog, appPath());
    return runFileDialog(dialog);
}

void exportCsv(const QString& file)
{
    if (file.isEmpty())
        return;
    vbTrap(QStringLiteral("Error-frmMain-22"), [&] {
        saveCp932File(file, csvExportText());
        msgBox(file + QStringLiteral("へ出力しました"));
    });
}

void menuCsv_Click(QWidget* parent)
{
    exportCsv(askCsvFile(parent));
}
