#include "core/frmOption.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/msgbox.h"
#include "tests/support/childNamed.h"
#include "tests/support/dataFiles.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <gtest/gtest.h>

namespace {

QStringList items(const QComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

class OptionsDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        pd.kakoKikan = 730;
        pd.timerInter = 5;
        pd.graphFlags.fill("true");
    }
    void TearDown() override { delete form_.data(); }

    FrmOption& open()
    {
        form_ = new FrmOption;
        form_->show();
        return *form_;
    }
    template <class W>
    W* get(const QString& name) const
    {
        return childNamed<W>(form_, name);
    }
    void press(const QString& button) const { get<QPushButton>(button)->click(); }
    QSlider* slider(int i) const { return get<QSlider>(QString("sldYosouPara(%1)").arg(i)); }
    QCheckBox* check(int i) const { return get<QCheckBox>(QString("chkGraph(%1)").arg(i)); }
    std::vector<int> weights() const
    {
        std::vector<int> w;
        for (int i = 0; i < 8; ++i)
            w.push_back(slider(i)->value());
        return w;
    }
    static std::vector<int> storedWeights()
    {
        std::vector<int> w;
        for (int i = 0; i < 8; ++i)
            w.push_back(iniRead("parameter", QString("para(%1)").arg(i), "none").toInt());
        return w;
    }
    bool iniExists() const { return QFile::exists(dir_.filePath("Strevin.ini")); }

    TestAppDir dir_;
    MsgBoxRecorder msgs_;
    QPointer<FrmOption> form_;
};

}

TEST_F(OptionsDialog, ShowsEveryControlWithItsCaption)
{
    FrmOption& f = open();
    EXPECT_EQ(f.windowTitle(), "ｵﾌﾟｼｮﾝ");
    EXPECT_EQ(get<QGroupBox>("Frame1")->title(), "設定");
    EXPECT_EQ(get<QGroupBox>("Frame2")->title(), "グラフ表示項目");
    EXPECT_EQ(get<QGroupBox>("Frame3")->title(), "予想パラメーター");
    QStringList labels;
    for (const QLabel* l : f.findChildren<QLabel*>())
        labels << l->text();
    for (const char* text : {"出走表読込み時の過去履歴対象期間", "Web取込待機時間", "(秒)",
                             "チェックした項目がグラフに表示されます", "予想のパラメーターの反映度を、各適性毎に設定",
                             "0%", "100%", "200%", "適性全体", "枠順", "距離", "レース間隔", "開催場", "馬場状態",
                             "馬体重", "騎手"})
        EXPECT_TRUE(labels.contains(text)) << text;
    const QStringList checks {"馬体重", "枠", "距離", "馬場状態", "最初のコーナー通過順位", "着順", "上がり指数"};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(check(i)->text(), checks[i]);
        EXPECT_TRUE(check(i)->isChecked());
    }
    for (const auto& [name, caption] : std::vector<std::pair<QString, QString>> {
             {"cmdParaHyozyun", "標準"}, {"cmdParaHonnmei", "本命重視"}, {"cmdParaAna", "穴党"},
             {"cmdOk", "ｵﾌﾟｼｮﾝ更新"}, {"cmdCancel", "CANCEL"}})
        EXPECT_EQ(get<QPushButton>(name)->text(), caption);
    EXPECT_EQ(items(get<QComboBox>("cmbTarKikanUma")),
              (QStringList {"1年以内", "1年半以内", "2年以内", "3年以内", "全て読み込み"}));
    EXPECT_EQ(get<QComboBox>("cmbTarKikanUma")->currentText(), "2年以内");
    EXPECT_EQ(items(get<QComboBox>("cmbInterTime")), (QStringList {"5", "10", "20", "30"}));
    EXPECT_EQ(get<QComboBox>("cmbInterTime")->currentText(), "5");
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(slider(i)->minimum(), 0);
        EXPECT_EQ(slider(i)->maximum(), 200);
        EXPECT_EQ(slider(i)->tickInterval(), 10);
        EXPECT_EQ(slider(i)->singleStep(), 1);
    }
    EXPECT_EQ(weights(), std::vector<int>(8, 100));
}

TEST_F(OptionsDialog, OkWithoutChangesRewritesTheSameValues)
{
    open();
    press("cmdOk");
    EXPECT_TRUE(form_.isNull() || !form_->isVisible());
    EXPECT_EQ(iniRead("System", "tarKikanWebUma", "none"), "730");
    EXPECT_EQ(iniRead("System", "timerInter", "none"), "5");
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(iniRead("graph", QString("iniGraph(%1)").arg(i), "none"), "true");
    EXPECT_EQ(iniRead("graph", "iniGraph(7)", "none"), "none");  // the line ratio is not this dialog's
    EXPECT_EQ(storedWeights(), std::vector<int>(8, 100));
    EXPECT_TRUE(msgs_.texts().isEmpty());
}

TEST_F(OptionsDialog, PresetsSetTheSlidersAndOkStoresThem)
{
    open();
    press("cmdParaHonnmei");
    EXPECT_EQ(weights(), (std::vector<int> {80, 110, 120, 80, 80, 80, 50, 120}));
    press("cmdParaAna");
    EXPECT_EQ(weights(), (std::vector<int> {180, 100, 100, 150, 100, 100, 150, 100}));
    press("cmdParaHyozyun");
    EXPECT_EQ(weights(), std::vector<int>(8, 100));
    press("cmdParaAna");
    EXPECT_FALSE(iniExists());  // a preset alone stores nothing
    press("cmdOk");
    EXPECT_EQ(storedWeights(), (std::vector<int> {180, 100, 100, 150, 100, 100, 150, 100}));
}

TEST_F(OptionsDialog, CancelStoresNothing)
{
    open();
    press("cmdParaHonnmei");
    check(2)->setChecked(false);
    get<QComboBox>("cmbTarKikanUma")->setCurrentIndex(0);
    get<QComboBox>("cmbInterTime")->setEditText("30");
    press("cmdCancel");
    EXPECT_FALSE(iniExists());
    EXPECT_EQ(pd.kakoKikan, 730);
    EXPECT_EQ(pd.timerInter, 5);
    EXPECT_EQ(pd.graphFlags[2], "true");
}

TEST_F(OptionsDialog, ChosenValuesReachMemoryAndFile)
{
    open();
    get<QComboBox>("cmbTarKikanUma")->setCurrentIndex(1);
    get<QComboBox>("cmbInterTime")->setEditText("20");
    check(0)->setChecked(false);
    check(6)->setChecked(false);
    slider(3)->setValue(37);
    press("cmdOk");
    EXPECT_EQ(pd.kakoKikan, 550);
    EXPECT_EQ(iniRead("System", "tarKikanWebUma", "none"), "550");
    EXPECT_EQ(pd.timerInter, 20);
    EXPECT_EQ(iniRead("System", "timerInter", "none"), "20");
    // The chart reads the shared text, so the change shows without a restart.
    EXPECT_EQ(pd.graphFlags[0], "false");
    EXPECT_EQ(pd.graphFlags[1], "true");
    EXPECT_EQ(pd.graphFlags[6], "false");
    EXPECT_EQ(iniRead("graph", "iniGraph(6)", "none"), "false");
    EXPECT_EQ(storedWeights()[3], 37);
}

TEST_F(OptionsDialog, PeriodOutsideTheListAndShortTimeOutChangeNothing)
{
    pd.kakoKikan = 400;
    open();
    EXPECT_EQ(get<QComboBox>("cmbTarKikanUma")->currentText(), "");
    get<QComboBox>("cmbInterTime")->setEditText("3");
    press("cmdOk");
    EXPECT_EQ(pd.kakoKikan, 400);
    EXPECT_EQ(iniRead("System", "tarKikanWebUma", "none"), "none");
    EXPECT_EQ(pd.timerInter, 5);
    EXPECT_EQ(iniRead("System", "timerInter", "none"), "none");
    EXPECT_EQ(iniRead("graph", "iniGraph(0)", "none"), "true");
}

TEST_F(OptionsDialog, TimeOutThatIsNoNumberStoresNothingAndKeepsTheDialog)
{
    open();
    get<QComboBox>("cmbTarKikanUma")->setCurrentIndex(0);
    check(1)->setChecked(false);
    get<QComboBox>("cmbInterTime")->setEditText("十秒");
    press("cmdOk");
    EXPECT_EQ(msgs_.texts(), QStringList {"Error-frmOption-5"});
    EXPECT_FALSE(iniExists());
    EXPECT_EQ(pd.kakoKikan, 730);
    EXPECT_EQ(pd.graphFlags[1], "true");
    ASSERT_FALSE(form_.isNull());
    EXPECT_TRUE(form_->isVisible());
}

TEST_F(OptionsDialog, WeightsOutOfRangeAreClampedWithoutAMessage)
{
    iniWrite("parameter", "para(0)", "250");
    iniWrite("parameter", "para(1)", "-5");
    iniWrite("parameter", "para(2)", "99999999999");
    iniWrite("parameter", "para(3)", "  60 ");
    pd.graphFlags = {"TRUE", "False", "yes", "", "true", "tRuE", "0"};
    open();
    EXPECT_EQ(weights(), (std::vector<int> {200, 0, 200, 60, 100, 100, 100, 100}));
    const std::vector<bool> ticked {true, false, false, false, true, true, false};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(check(i)->isChecked(), ticked[size_t(i)]) << i;
    EXPECT_TRUE(msgs_.texts().isEmpty());
}

TEST_F(OptionsDialog, WeightThatIsNoNumberIsReportedAndTheOthersKept)
{
    iniWrite("parameter", "para(2)", "abc");
    iniWrite("parameter", "para(5)", "150");
    open();
    EXPECT_EQ(msgs_.texts(), QStringList {"Error-frmOption-4"});
    EXPECT_EQ(weights(), (std::vector<int> {100, 100, 100, 100, 100, 150, 100, 100}));
    press("cmdOk");
    EXPECT_EQ(storedWeights(), (std::vector<int> {100, 100, 100, 100, 100, 150, 100, 100}));
}

TEST_F(OptionsDialog, OneWindowAtATime)
{
    showFrmOption();
    showFrmOption();
    int shown = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        shown += w->objectName() == "frmOption" && w->isVisible();
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(isFormLoaded("frmOption"));
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "frmOption") {
            delete w;  // its own popups go with it, so the list is stale now
            break;
        }
}
