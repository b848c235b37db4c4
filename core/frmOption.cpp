#include "core/frmOption.h"

#include "core/mainStart.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "core/settingRanges.h"
#include "platform/msgbox.h"
#include "platform/vberror.h"
#include "platform/vbformat.h"
#include "platform/widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSlider>

namespace {

struct Period {
    const char* text;
    int days;
};
constexpr Period kPeriods[] = {
    {"1年以内", 365}, {"1年半以内", 550}, {"2年以内", 730}, {"3年以内", 1100}, {"全て読み込み", 5000},
};
constexpr const char* kTimeOuts[] = {"5", "10", "20", "30"};
constexpr const char* kGraphLabels[] = {"馬体重", "枠", "距離", "馬場状態", "最初のコーナー通過順位", "着順",
                                        "上がり指数"};
constexpr const char* kParaLabels[] = {"適性全体", "枠順", "距離", "レース間隔", "開催場", "馬場状態", "馬体重",
                                       "騎手"};
constexpr std::array<int, 8> kHyozyun {100, 100, 100, 100, 100, 100, 100, 100};
constexpr std::array<int, 8> kHonnmei {80, 110, 120, 80, 80, 80, 50, 120};
constexpr std::array<int, 8> kAna {180, 100, 100, 150, 100, 100, 150, 100};

QString graphKey(int i)
{
    return QString("iniGraph(%1)").arg(i);
}

// Every key of the choices, written to the file in one go: all of them or none.
QList<IniEntry> entriesOf(const OptionChoices& c)
{
    QList<IniEntry> entries;
    if (c.kakoKikan)
        entries.append({"System", "tarKikanWebUma", QString::number(*c.kakoKikan)});
    entries.append({"System", "timerInter", QString::number(c.timerInter)});
    for (int i = 0; i < 7; ++i)
        entries.append({"graph", graphKey(i), c.graphFlags[size_t(i)]});
    for (int i = 0; i < 8; ++i)
        entries.append({"parameter", settingPara(i).key, QString::number(c.weights[size_t(i)])});
    return entries;
}

// Memory takes the choices only once the file holds them.
void keepChoices(const OptionChoices& c)
{
    if (c.kakoKikan)
        pd.kakoKikan = *c.kakoKikan;
    pd.timerInter = c.timerInter;
    for (int i = 0; i < 7; ++i)
        pd.graphFlags[size_t(i)] = c.graphFlags[size_t(i)];
}

QString periodList()
{
    QStringList texts;
    for (const Period& p : kPeriods)
        texts << QStringLiteral("「%1」").arg(QString::fromUtf8(p.text));
    return texts.join(QString());
}

// A whole number typed in half- or full-width digits, blanks around it allowed.
std::optional<int> wholeNumber(const QString& text)
{
    bool ok = false;
    const int n = text.normalized(QString::NormalizationForm_KC).trimmed().toInt(&ok);
    return ok ? std::optional(n) : std::nullopt;
}

}

FrmOption::FrmOption(QWidget* parent)
    : QDialog(parent)
{
    setObjectName("frmOption");
    setWindowTitle("ｵﾌﾟｼｮﾝ");
    setAttribute(Qt::WA_DeleteOnClose);
    cmdOk = button("cmdOk", "ｵﾌﾟｼｮﾝ更新");
    cmdCancel = button("cmdCancel", "CANCEL");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    auto* layout = new QGridLayout(this);
    layout->addWidget(buildFrame1(), 0, 0);
    layout->addWidget(buildFrame2(), 1, 0);
    layout->addWidget(buildFrame3(), 0, 1, 2, 1);
    layout->addLayout(buttons, 2, 0, 1, 2);
    connect(cmdParaHyozyun, &QPushButton::clicked, this, [this] { setWeights(kHyozyun); });
    connect(cmdParaHonnmei, &QPushButton::clicked, this, [this] { setWeights(kHonnmei); });
    connect(cmdParaAna, &QPushButton::clicked, this, [this] { setWeights(kAna); });
    // Enter stores the choices; a preset only ever reacts to a click, never to Enter.
    cmdOk->setDefault(true);
    for (QPushButton* preset : {cmdParaHyozyun, cmdParaHonnmei, cmdParaAna})
        preset->setAutoDefault(false);
    connect(cmdOk, &QPushButton::clicked, this, &FrmOption::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::close);
    Form_Load();
}

QGroupBox* FrmOption::buildFrame1()
{
    auto* frame = named(new QGroupBox("設定"), "Frame1");
    cmbTarKikanUma = named(new QComboBox, "cmbTarKikanUma");
    cmbInterTime = named(new QComboBox, "cmbInterTime");
    makeEditable(cmbTarKikanUma);
    makeEditable(cmbInterTime);
    auto* grid = new QGridLayout(frame);
    grid->addWidget(new QLabel("出走表読込み時の過去履歴対象期間"), 0, 0);
    grid->addWidget(cmbTarKikanUma, 0, 1);
    grid->addWidget(new QLabel("Web取込待機時間"), 1, 0);
    grid->addWidget(cmbInterTime, 1, 1);
    grid->addWidget(new QLabel("(秒)"), 1, 2);
    return frame;
}

QGroupBox* FrmOption::buildFrame2()
{
    auto* frame = named(new QGroupBox("グラフ表示項目"), "Frame2");
    auto* grid = new QGridLayout(frame);
    grid->addWidget(new QLabel("チェックした項目がグラフに表示されます"), 0, 0, 1, 2);
    for (int i = 0; i < 7; ++i) {
        chkGraph[size_t(i)] = named(new QCheckBox(kGraphLabels[i]), QString("chkGraph(%1)").arg(i));
        grid->addWidget(chkGraph[size_t(i)], 1 + i / 2, i % 2);
    }
    return frame;
}

QGroupBox* FrmOption::buildFrame3()
{
    auto* frame = named(new QGroupBox("予想パラメーター"), "Frame3");
    auto* grid = new QGridLayout(frame);
    grid->addWidget(new QLabel("予想のパラメーターの反映度を、各適性毎に設定"), 0, 0, 1, 4);
    grid->addWidget(new QLabel("0%"), 1, 1, Qt::AlignLeft);
    grid->addWidget(new QLabel("100%"), 1, 2, Qt::AlignHCenter);
    grid->addWidget(new QLabel("200%"), 1, 3, Qt::AlignRight);
    for (int i = 0; i < 8; ++i) {
        auto* slider = named(new QSlider(Qt::Horizontal), QString("sldYosouPara(%1)").arg(i));
        slider->setRange(0, 200);
        slider->setTickInterval(10);
        slider->setTickPosition(QSlider::TicksBelow);
        slider->setSingleStep(1);
        slider->setMinimumWidth(240);
        sldYosouPara[size_t(i)] = slider;
        grid->addWidget(new QLabel(kParaLabels[i]), 2 + i, 0);
        grid->addWidget(slider, 2 + i, 1, 1, 3);
    }
    cmdParaHyozyun = button("cmdParaHyozyun", "標準");
    cmdParaHonnmei = button("cmdParaHonnmei", "本命重視");
    cmdParaAna = button("cmdParaAna", "穴党");
    auto* presets = new QHBoxLayout;
    presets->addWidget(cmdParaHyozyun);
    presets->addWidget(cmdParaHonnmei);
    presets->addWidget(cmdParaAna);
    grid->addLayout(presets, 10, 0, 1, 4);
    return frame;
}

// A switch is ticked only for "true" (any case): any other text is a series the chart leaves out.
void FrmOption::Form_Load()
{
    vbTrap("Error-frmOption-4", [this] {
        for (const Period& p : kPeriods)
            cmbTarKikanUma->addItem(p.text, p.days);
        cmbTarKikanUma->setCurrentIndex(cmbTarKikanUma->findData(pd.kakoKikan));
        for (const char* t : kTimeOuts)
            cmbInterTime->addItem(t);
        cmbInterTime->setEditText(QString::number(pd.timerInter));
        for (int i = 0; i < 7; ++i)
            chkGraph[size_t(i)]->setChecked(pd.graphFlags[size_t(i)].trimmed().compare("true", Qt::CaseInsensitive) == 0);
        loadWeights();
    });
}

// Every weight is read before a bad one is reported, so that OK never overwrites a good weight
// with a slider that was not reached. A weight that is no number or lies outside the sliders'
// range (a hand-edited settings file) shows the default.
void FrmOption::loadWeights()
{
    IniNumbers ini;
    std::array<int, 8> weights;
    for (int i = 0; i < 8; ++i)
        weights[size_t(i)] = CLng(ini.readSingle(settingPara(i)));
    setWeights(weights);
    ini.throwIfAnyBad();
}

void FrmOption::setWeights(const std::array<int, 8>& weights)
{
    for (int i = 0; i < 8; ++i)
        sldYosouPara[size_t(i)]->setValue(weights[size_t(i)]);
}

// An empty period box (a period of the settings file that is none of the entries) keeps the
// period; any other text must be an entry, and the time-out a whole number in its range.
std::variant<OptionChoices, OptionProblem> FrmOption::readChoices() const
{
    OptionChoices c;
    const QString period = cmbTarKikanUma->currentText().trimmed();
    for (const Period& p : kPeriods)
        if (period == QString::fromUtf8(p.text))
            c.kakoKikan = p.days;
    if (!period.isEmpty() && !c.kakoKikan)
        return OptionProblem {cmbTarKikanUma, QStringLiteral("出走表読込み時の過去履歴対象期間「%1」は選べません。\n%2のどれかを選んでください")
                                                  .arg(period, periodList())};
    const NumericSetting& timeOut = settingTimerInter();
    const std::optional<int> seconds = wholeNumber(cmbInterTime->currentText());
    if (!seconds || !timeOut.allows(*seconds))
        return OptionProblem {cmbInterTime, QStringLiteral("Web取込待機時間(秒)「%1」は使えません。\n%2から%3までの整数(秒)を入力してください")
                                                .arg(cmbInterTime->currentText())
                                                .arg(timeOut.low)
                                                .arg(timeOut.high)};
    c.timerInter = *seconds;
    for (int i = 0; i < 7; ++i)
        c.graphFlags[size_t(i)] = chkGraph[size_t(i)]->isChecked() ? "true" : "false";
    for (int i = 0; i < 8; ++i)
        c.weights[size_t(i)] = sldYosouPara[size_t(i)]->value();
    return c;
}

// Every field is checked before anything is written; a bad one is named with its range and
// gets the focus, and the dialog stays open with the user's choices, as it does when the
// settings file cannot be written.
void FrmOption::cmdOk_Click()
{
    vbTrap("Error-frmOption-5", [this] {
        const auto read = readChoices();
        if (const auto* problem = std::get_if<OptionProblem>(&read)) {
            msgBox(problem->message);
            problem->field->setFocus();
            problem->field->lineEdit()->selectAll();
            return;
        }
        const auto& choices = std::get<OptionChoices>(read);
        if (!iniWriteAll(entriesOf(choices))) {
            msgBox(QStringLiteral("設定を保存できませんでした。\n%1 に書き込めません")
                       .arg(QDir::toNativeSeparators(appPath() + "Strevin.ini")));
            return;
        }
        keepChoices(choices);
        close();
    });
}

void showFrmOption()
{
    static QPointer<FrmOption> form;
    if (!form) {
        form = new FrmOption;
        keepOnScreen(form);
    }
    form->show();
    form->raise();
    form->activateWindow();
}
