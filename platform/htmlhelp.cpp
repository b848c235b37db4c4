#include "platform/htmlhelp.h"

#include "platform/webbrowser.h"

#include <QFile>
#include <QPointer>
#include <QTextBrowser>
#include <chm_lib.h>
#include <memory>

namespace {

struct ChmCloser {
    void operator()(chmFile* file) const { chm_close(file); }
};
using ChmHandle = std::unique_ptr<chmFile, ChmCloser>;

// One object of the help file by its path inside it ("/index.htm"); null when there is none.
QByteArray readObject(chmFile* file, const QString& path)
{
    chmUnitInfo unit {};
    const QByteArray name = (path.startsWith(u'/') ? path : u'/' + path).toUtf8();
    if (chm_resolve_object(file, name.constData(), &unit) != CHM_RESOLVE_SUCCESS)
        return {};
    QByteArray bytes(qsizetype(unit.length), Qt::Uninitialized);
    const LONGINT64 read = chm_retrieve_object(file, &unit, reinterpret_cast<unsigned char*>(bytes.data()), 0,
                                               LONGINT64(unit.length));
    return read == LONGINT64(unit.length) ? bytes : QByteArray();
}

// Pages and pictures come out of the help file; links resolve inside it.
class HelpWindow : public QTextBrowser {
public:
    HelpWindow(ChmHandle file) : file_(std::move(file))
    {
        setObjectName("helpWindow");
        setWindowTitle(QStringLiteral("Brennock ヘルプ"));
        setAttribute(Qt::WA_DeleteOnClose);
        setOpenLinks(true);
        resize(720, 560);
    }
    bool hasTopic(const QString& topic) const { return !readObject(file_.get(), topic).isEmpty(); }

protected:
    QVariant loadResource(int type, const QUrl& url) override
    {
        const QByteArray bytes = readObject(file_.get(), url.path());
        if (type == QTextDocument::HtmlResource)
            return decodePage(bytes, {});
        return bytes;
    }

private:
    ChmHandle file_;
};

QPointer<HelpWindow> helpWindow;

}

bool htmlHelp(const QString& chmFile, const QString& topic)
{
    ChmHandle file(chm_open(QFile::encodeName(chmFile).constData()));
    if (!file)
        return false;
    auto* window = new HelpWindow(std::move(file));
    if (!window->hasTopic(topic)) {
        delete window;
        return false;
    }
    if (helpWindow)
        helpWindow->close();
    helpWindow = window;
    window->setSource(QUrl(u'/' + topic));
    window->show();
    window->raise();
    return true;
}
