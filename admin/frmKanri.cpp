#include "admin/frmKanri.h"

#include "admin/kanriBabaFile.h"
#include "admin/kanriCommon.h"
#include "admin/kanriSisuuHyouka.h"
#include "core/dataFiles.h"
#include "core/dialogSincyoku.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/database.h"
#include "platform/msgbox.h"
#include "platform/vbformat.h"
#include "platform/widgets.h"
#include "webimport/ReadWeb.h"
#include "webimport/importGuard.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QVBoxLayout>
#include <optional>

namespace {

QPointer<FrmKanri> instance;

QLineEdit* lineEdit(const QString& name, const QString& text = {})
{
    return named(new QLineEdit(text), name);
}

QLabel* label(const QString& name, const QString& text)
{
    return named(new QLabel(text), name);
}

QGroupBox* frame(const QString& name, const QString& title)
{
    return named(new QGroupBox(title), name);
}

}

// Marks the window busy for one button's work, also when the work fails: the buttons are off,
// the window refuses to close and the main window holds its own busy guard.
class KanriWorking {
public:
    explicit KanriWorking(FrmKanri& form) : form_(form)
    {
        form_.setWorking(true);
        if (form_.host_.setBusy)
            form_.host_.setBusy(true);
    }
    ~KanriWorking()
    {
        if (form_.host_.setBusy)
            form_.host_.setBusy(false);
        form_.setWorking(false);
    }
    KanriWorking(const KanriWorking&) = delete;
    KanriWorking& operator=(const KanriWorking&) = delete;

private:
    FrmKanri& form_;
};

FrmKanri::FrmKanri(QWidget* owner, KanriHost host)
    : QWidget(owner, Qt::Window)
    , host_(std::move(host))
{
    setObjectName("frmKanri");
    setWindowTitle("管理用");
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    for (QGroupBox* f : {buildFrame5(), buildFrame4(), buildFrame3(), buildFrame2(), buildFrame1()})
        layout->addWidget(f);
    layout->addStretch();

    connect(cmdAnalSisuu, &QPushButton::clicked, this, &FrmKanri::cmdAnalSisuu_Click);
    connect(cmdTimeChange, &QPushButton::clicked, this, &FrmKanri::cmdTimeChange_Click);
    connect(cmdReCal, &QPushButton::clicked, this, &FrmKanri::cmdReCal_Click);
    connect(cmdBabaFile, &QPushButton::clicked, this, &FrmKanri::cmdBabaFile_Click);
    connect(cmbZyunkai, &QPushButton::clicked, this, &FrmKanri::cmbZyunkai_Click);
    connect(Command1, &QPushButton::clicked, this, &FrmKanri::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &FrmKanri::Command2_Click);
    connect(cmdWebRead, &QPushButton::clicked, this, &FrmKanri::cmdWebRead_Click);
    Form_Load();
}

QGroupBox* FrmKanri::buildFrame5()
{
    QGroupBox* box = frame("Frame5", "地区・場・距離間 整合の分析");
    TxtTar01 = lineEdit("TxtTar01");
    TxtTar02 = lineEdit("TxtTar02");
    TxtTarZyo = lineEdit("TxtTarZyo", "対象場");
    cmbAnalSisuuSyurui = combo("cmbAnalSisuuSyurui");
    cmbAnalSisuuSyurui->setEditText("Combo1");
    TxtHosei = lineEdit("TxtHosei");
    txtAve01 = lineEdit("txtAve01");
    txtAve02 = lineEdit("txtAve02");
    txtCount = lineEdit("txtCount");
    cmdAnalSisuu = button("cmdAnalSisuu", "①分析の開始");
    cmdTimeChange = button("cmdTimeChange", "②基準タイムの書換・指数再計算");
    cmdReCal = button("cmdReCal", "③指数の再計算");
    auto* grid = new QGridLayout(box);
    grid->addWidget(TxtTarZyo, 0, 0);
    grid->addWidget(cmbAnalSisuuSyurui, 0, 1);
    grid->addWidget(label("Label6", "対象1"), 1, 0);
    grid->addWidget(TxtTar01, 1, 1);
    grid->addWidget(label("Label4", "と"), 1, 2);
    grid->addWidget(label("Label7", "対象2"), 1, 3);
    grid->addWidget(TxtTar02, 1, 4);
    grid->addWidget(label("Label5", "の間で"), 1, 5);
    grid->addWidget(cmdAnalSisuu, 1, 6);
    grid->addWidget(txtAve01, 2, 1);
    grid->addWidget(txtAve02, 2, 4);
    grid->addWidget(label("Label8", "データ数"), 2, 5);
    grid->addWidget(txtCount, 2, 6);
    grid->addWidget(label("Label3", "1の補正値"), 3, 0);
    grid->addWidget(TxtHosei, 3, 1);
    grid->addWidget(cmdTimeChange, 3, 3, 1, 3);
    grid->addWidget(cmdReCal, 3, 6);
    return box;
}

QGroupBox* FrmKanri::buildFrame4()
{
    QGroupBox* box = frame("Frame4", "馬場情報ファイルの作成");
    cmbNenBaba = combo("cmbNenBaba");
    cmbNenBaba->setEditText("Combo1");
    chkReCal = named(new QCheckBox("Check1"), "chkReCal");
    cmdBabaFile = button("cmdBabaFile", "馬場情報ファイル");
    auto* row = new QHBoxLayout(box);
    row->addWidget(cmbNenBaba);
    row->addWidget(chkReCal);
    row->addWidget(label("Label2", "全て再計算"));
    row->addStretch();
    row->addWidget(cmdBabaFile);
    return box;
}

QGroupBox* FrmKanri::buildFrame3()
{
    QGroupBox* box = frame("Frame3", "予想巡回");
    txtZyunkaiDate = lineEdit("txtZyunkaiDate", "Text1");
    cmbZyunkai = button("cmbZyunkai", "自動巡回");
    txtRaceInfo = label("txtRaceInfo", "Label2");
    txtRaceInfo->setMinimumWidth(120);
    auto* row = new QHBoxLayout(box);
    row->addWidget(txtZyunkaiDate);
    row->addWidget(cmbZyunkai);
    row->addWidget(txtRaceInfo);
    row->addStretch();
    return box;
}

QGroupBox* FrmKanri::buildFrame2()
{
    QGroupBox* box = frame("Frame2", "DB Tool");
    Command1 = button("Command1", "読込み済みDBの変換");
    Command2 = button("Command2", "Command2");
    auto* row = new QHBoxLayout(box);
    row->addWidget(Command1);
    row->addWidget(Command2);
    row->addStretch();
    return box;
}

QGroupBox* FrmKanri::buildFrame1()
{
    QGroupBox* box = frame("Frame1", "Web読込みテスト");
    txtURL = lineEdit("txtURL", "URLを入力");
    txtURL->setMinimumWidth(360);
    cmdWebRead = button("cmdWebRead", "開始");
    auto* grid = new QGridLayout(box);
    grid->addWidget(txtURL, 0, 0);
    grid->addWidget(cmdWebRead, 0, 1);
    grid->addWidget(label("Label1", "URLを指定し、CSVに出力します"), 1, 0, 1, 2);
    return box;
}

void FrmKanri::Form_Load()
{
    const VbDate today = vbToday();
    txtZyunkaiDate->setText(Format(today, "yyyy/mm/dd"));
    for (int back = 1; back <= 4; ++back)
        cmbNenBaba->addItem(QString::number(today.year() - back));
    cmbNenBaba->setEditText(Format(today, "yyyy"));
    cmbAnalSisuuSyurui->addItems({"地区間", "場間", "距離間"});
    cmbAnalSisuuSyurui->setEditText("地区間");
}

void FrmKanri::closeEvent(QCloseEvent* event)
{
    // The running work lives in this window's handler; closing would pull it from under it.
    if (working_) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
    // Batch mode ends with the window at once, not when its deferred deletion comes round.
    setObjectName(QString());
    instance.clear();
}

void FrmKanri::setWorking(bool on)
{
    working_ = on;
    for (QPushButton* b : findChildren<QPushButton*>())
        b->setEnabled(!on);
}

HyoukaTarget FrmKanri::target() const
{
    return {cmbAnalSisuuSyurui->currentText(), TxtTar01->text(), TxtTar02->text(), TxtTarZyo->text()};
}

// Every button's work runs here, inside runKanriOperation. Work that keeps slots open while the
// progress dialog lets events run holds the import token, so that a sheet or an import cannot
// take the slots meanwhile.
void FrmKanri::runOperation(const QString& name, bool holdsSlots, const std::function<void()>& work)
{
    if (working_)
        return;
    std::optional<ImportGuard> token;
    if (holdsSlots) {
        token.emplace();
        if (!token->acquiredOrSaid())
            return;
    }
    const KanriWorking working(*this);
    runKanriOperation(name, work);
}

void FrmKanri::cmdAnalSisuu_Click()
{
    runOperation("指数の分析", true, [this] {
        const HyoukaResult r = analSisuuHyouka(target());
        txtAve01->setText(r.ave01);
        txtAve02->setText(r.ave02);
        txtCount->setText(r.count);
        TxtHosei->setText(r.hosei);
    });
}

void FrmKanri::cmdTimeChange_Click()
{
    runOperation("基準タイムの書換", true, [this] { changeAveTime(target(), TxtHosei->text()); });
}

void FrmKanri::cmdReCal_Click()
{
    runOperation("指数の再計算", true, [this] { reCalSisuu(target()); });
}

void FrmKanri::cmdBabaFile_Click()
{
    runOperation("馬場情報ファイルの作成", true,
                 [this] { makeBabaFile(cmbNenBaba->currentText(), chkReCal->isChecked()); });
}

// The race reads of the run take the import token themselves.
void FrmKanri::cmbZyunkai_Click()
{
    runOperation("予想巡回", false, [this] {
        if (!host_.raceReader.starRaceRead)
            kanriFail("メイン画面のレース読込みを使えません");
        runZyunkai(txtZyunkaiDate->text(), host_.raceReader, [this](const QString& info) {
            txtRaceInfo->setText(info);
            txtRaceInfo->repaint();
        });
    });
}

void FrmKanri::Command1_Click()
{
    runOperation("読込み済みDBの変換", true, convertKisyuNames);
}

void FrmKanri::Command2_Click()
{
    runOperation("グラフテスト", false, [this] {
        const int h = pd.umaIdx;
        if (h < 1 || h > pd.uName.ubound() || h > pd.uDate.ubound(1) || pd.uName(h).isEmpty())
            kanriFail("グラフを描く馬がありません（レースを読み込んでください）");
        if (!host_.drawGraph)
            kanriFail("メイン画面のグラフを使えません");
        pd.graphShiftDays = 365;
        host_.drawGraph();
    });
}

// The page load takes the import token itself.
void FrmKanri::cmdWebRead_Click()
{
    runOperation("Web読込みテスト", false, [this] {
        if (readWebPageToCsv(txtURL->text()))
            msgBox("CSVを出力しました");
    });
}

void showFrmKanri(QWidget* owner, KanriHost host)
{
    if (!instance)
        instance = new FrmKanri(owner, std::move(host));
    instance->show();
    instance->raise();
    instance->activateWindow();
}

QString cutKisyuName(const QString& name)
{
    const qsizetype cut = name.indexOf(QLatin1Char('('));
    if (cut < 0)
        return name;
    const QList<uint> part = name.left(cut).toUcs4();
    return part.size() == 4 ? QString::fromUcs4(reinterpret_cast<const char32_t*>(part.data()) + 1, 3)
                            : name.left(cut);
}

void convertKisyuNames()
{
    const QString file = dataFileName(DataFileKind::NarData);
    openKanriDb(slotMain, DataFileKind::NarData);
    requireTables(slotMain, file, {"T_Rdata", "T_Useiseki"});
    showProgressWithCancel();
    DialogSincyoku& d = dialogSincyoku();
    const QString from = "FROM T_Rdata LEFT JOIN T_Useiseki ON T_Rdata.R_code = T_Useiseki.R_code ";
    d.setMax(float(RecordSet(slotMain, "SELECT COUNT(*) " + from).field(0).toInt() + 1));
    struct Change {
        QString kisyu, code, name;
    };
    std::vector<Change> changes;
    for (RecordSet rs(slotMain, "SELECT T_Useiseki.R_code, U_name, U_kisyu " + from + "ORDER BY T_Rdata.R_code, U_name");
         !rs.eof(); rs.moveNext()) {
        // A race stored without runners joins to a row without runner.
        if (!rs.field(1).isNull() && !rs.field(2).isNull()) {
            const QString stored = rs.field(2).toString();
            const QString cut = cutKisyuName(stored);
            if (cut != stored)
                changes.push_back({cut, rs.field(0).toString(), rs.field(1).toString()});
        }
        if (d.value() < d.max())
            d.setValue(d.value() + 1);
        checkKanriCancel();
    }
    KanriTransaction transaction(slotMain, file);
    transaction.write([&] {
        for (const Change& c : changes)
            slotConnection(slotMain).execute("UPDATE T_Useiseki SET U_kisyu = ? WHERE R_code = ? AND U_name = ?",
                                             {c.kisyu, c.code, c.name});
    });
    transaction.commit();
    unloadDialogSincyoku();
}
