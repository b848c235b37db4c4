#include "charts/frmHlpGraph.h"

#include "core/publicFunction.h"
#include "platform/colors.h"
#include "platform/fonts.h"
#include "platform/vberror.h"
#include "platform/widgets.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>
#include <QtEndian>

namespace {
struct Topic {
    const char* caption;
    const char* picture;
    const char* title;
};
const Topic topics[] = {
    {"全体", "graphZentai.jpg", "グラフの見方（全体）"},
    {"スピード指数", "graphSisuu.jpg", "グラフの見方（スピード指数）"},
    {"着順・コーナー通過順", "graphCyakuTuka.jpg", "グラフの見方（着順・コーナー通過順）"},
    {"馬場状態", "graphBaba.jpg", "グラフの見方（馬場状態）"},
    {"距離・枠", "graphKyoriWaku.jpg", "グラフの見方（距離・枠）"},
    {"馬体重", "graphTaizyu.jpg", "グラフの見方（馬体重）"},
};
constexpr int labelTops[] = {135, 525, 915, 1290, 1680, 2070};
constexpr int imageLeft = 2000, imageTop = 100;
}  // namespace

QCursor loadHandCursor(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QCursor(Qt::PointingHandCursor);
    const QByteArray data = file.readAll();
    // Header: reserved 0, type 2 (cursor), count; the first entry's hot spot at bytes 10..13.
    const auto word = [&](int at) { return qFromLittleEndian<quint16>(data.constData() + at); };
    if (data.size() < 22 || word(0) != 0 || word(2) != 2 || word(4) == 0)
        return QCursor(Qt::PointingHandCursor);
    QImage image;
    if (!image.loadFromData(data, "CUR") && !image.loadFromData(data, "ICO"))
        return QCursor(Qt::PointingHandCursor);
    const int hotX = std::min<int>(word(10), image.width() - 1);
    const int hotY = std::min<int>(word(12), image.height() - 1);
    return QCursor(QPixmap::fromImage(image), hotX, hotY);
}

FrmHlpGraph::FrmHlpGraph(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName("frmHlpGraph");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("グラフの見方"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    QFont font = vbFont(QStringLiteral("ＭＳ Ｐゴシック"), 9);
    font.setBold(true);
    font.setUnderline(true);
    for (int i = 0; i < 6; ++i) {
        auto* label = placed(new QLabel(this), QStringLiteral("lblSyurui_%1").arg(i), 75, labelTops[i],
                             i == 1 ? 1830 : 1500, 240);
        label->setFont(font);
        QPalette lp = label->palette();
        lp.setColor(QPalette::WindowText, vbColor(vbBlue));
        label->setPalette(lp);
        label->installEventFilter(this);
        lblSyurui[size_t(i)] = label;
    }
    Image1 = named(new QLabel(this), QStringLiteral("Image1"));
    Form_Load();
}

void FrmHlpGraph::Form_Load()
{
    vbTrap(QStringLiteral("Error-frmHlpGraph-1"), [this] {
        const QCursor hand = loadHandCursor(appPath() + "harrow.cur");
        for (QLabel* label : lblSyurui)
            label->setCursor(hand);
        for (int i = 0; i < 6; ++i) {
            QLabel* label = lblSyurui[size_t(i)];
            label->setText(QString::fromUtf8(topics[i].caption));
            // The IPA face runs wider than the designed one: a caption is never cut.
            label->resize(std::max(label->width(), label->sizeHint().width()), label->height());
        }
        showHelpImage(appPath() + QString::fromUtf8(topics[0].picture));
        setWindowTitle(QString::fromUtf8(topics[0].title));
    });
}

void FrmHlpGraph::showHelpImage(const QString& path)
{
    vbTrap(QStringLiteral("Error-frmHlpGraph-2"), [&] {
        Image1->move(twipsToPixels(imageLeft), twipsToPixels(imageTop));
        QImage picture;
        if (!picture.load(path) || picture.isNull())
            throw VbError(vbErrFile, QStringLiteral("picture not readable: ") + path,
                          QFileInfo::exists(path) ? VbCause::none : VbCause::missing);
        Image1->setPixmap(QPixmap::fromImage(picture));
        Image1->resize(picture.size());
        // The outer size, frame included, fits the picture (pixels x 15 twips) with margins. Before
        // the first show the window has no frame of its own yet: it gets one like the open windows'.
        const QSize outer(twipsToPixels(pixelsToTwips(picture.width()) + imageLeft + 200),
                          twipsToPixels(pixelsToTwips(picture.height()) + imageTop + 500));
        resize(outer.shrunkBy(windowFrame(this)));
    });
}

void FrmHlpGraph::lblSyurui_Click(int index)
{
    vbTrap(QStringLiteral("Error-frmHlpGraph-3"), [&] {
        if (index < 0 || index > 5)
            return;
        showHelpImage(appPath() + QString::fromUtf8(topics[index].picture));
        setWindowTitle(QString::fromUtf8(topics[index].title));
    });
}

bool FrmHlpGraph::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        for (int i = 0; i < 6; ++i)
            if (watched == lblSyurui[size_t(i)]) {
                lblSyurui_Click(i);
                return true;
            }
    return QWidget::eventFilter(watched, event);
}

void showFrmHlpGraph()
{
    static QPointer<FrmHlpGraph> form;
    if (!form)
        form = new FrmHlpGraph;
    form->show();
    form->raise();
    form->activateWindow();
}
