#include "app/mainStart.h"

#include "core/dataFiles.h"
#include "core/mainStart.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "mainwindow/frmMain.h"
#include "platform/msgbox.h"
#include "platform/traplog.h"
#include "platform/vberror.h"
#include "platform/widgets.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

bool fileInProgramFolder(const QString& name)
{
    return QFileInfo(appPath() + name).isFile();
}

}

void Main()
{
    setTrapLogFile(appPath() + QStringLiteral("error.log"));
    vbTrap("Error-mainStart-1", [] {
        debugMode = fileInProgramFolder("kanri.id");
        pd.jraGraphOn = fileInProgramFolder(dataFileName(DataFileKind::JraGraph));
        if (const QString bad = loadSettings(); !bad.isEmpty())
            msgBox(QStringLiteral("Error-mainStart-1\nStrevin.ini %1").arg(bad));
    });
    auto* frmMain = new FrmMain;
    frmMain->setAttribute(Qt::WA_DeleteOnClose);
    keepOnScreen(frmMain);
    frmMain->show();
}

bool loadQtTranslations()
{
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        && QCoreApplication::installTranslator(translator))
        return true;
    delete translator;
    return false;
}
