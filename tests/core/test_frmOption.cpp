#include "core/frmOption.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/msgbox.h"
#include "tests/support/childNamed.h"
#include "tests/support/dataFiles.h"

// Chart flags read "true" without regard to case; the period is outside the period list.
class OptionsDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        pd.kakoKikan = 400;
        pd.timerInter = 5;
        pd.graphFlags = {"TRUE", "False", "yes", "", "true", "tRuE", "0"};
    }
    void TearDown() override { delete form_.data(); }
    template <class W = QPushButton>
    W* get(const QString& n, int i = -1) const { return childNamed<W>(form_, i < 0 ? n : QString("%1(%2)").arg(n).arg(i)); }
    QString sliders() const
    {
        QStringList values;
        for (int i = 0; i < 8; ++i)
            values << QString::number(get<QSlider>("sldYosouPara", i)->value());
        return values.join(' ');
    }
    // What Strevin.ini holds: the two System keys, the eight chart flags and the eight weights.
    static QString stored()
    {
        QStringList values {iniRead("System", "tarKikanWebUma", "-"), iniRead("System", "timerInter", "-")};
        for (int i = 0; i < 8; ++i)
            values << iniRead("graph", QString("iniGraph(%1)").arg(i), "-");
        for (int i = 0; i < 8; ++i)
            values << iniRead("parameter", QString("para(%1)").arg(i), "-");
        return values.join(' ');
    }

    TestAppDir dir_;
    MsgBoxRecorder msgs_;
    QPointer<FrmOption> form_;
};

// A preset sets the sliders but stores nothing; CANCEL stores nothing; OK stores every value but the
// chart's line ratio, and memory too, so the chart shows a change without a restart.
TEST_F(OptionsDialog, CaptionsPresetsOkAndCancel)
{
    (form_ = new FrmOption)->show();
    expectShows(form_, {"ｵﾌﾟｼｮﾝ", "設定", "グラフ表示項目", "予想パラメーター", "出走表読込み時の過去履歴対象期間",
                        "Web取込待機時間", "(秒)", "チェックした項目がグラフに表示されます", "0%", "100%", "200%",
                        "予想のパラメーターの反映度を、各適性毎に設定", "適性全体", "枠順", "距離", "レース間隔", "開催場",
                        "馬場状態", "馬体重", "騎手", "標準", "本命重視", "穴党", "ｵﾌﾟｼｮﾝ更新", "CANCEL", "枠", "着順",
                        "最初のコーナー通過順位", "上がり指数", "1年以内", "1年半以内", "2年以内", "3年以内", "全て読み込み",
                        "5", "10", "20", "30"});
    EXPECT_EQ(sliders(), "100 100 100 100 100 100 100 100");
    get("cmdParaHonnmei")->click();
    EXPECT_EQ(sliders(), "80 110 120 80 80 80 50 120");
    get("cmdParaAna")->click();
    EXPECT_EQ(sliders(), "180 100 100 150 100 100 150 100");
    get("cmdCancel")->click();
    EXPECT_FALSE(QFile::exists(dir_.filePath("Strevin.ini")));
    (form_ = new FrmOption)->show();
    get("cmdParaAna")->click();
    get("cmdParaHyozyun")->click();
    get<QComboBox>("cmbTarKikanUma")->setCurrentIndex(1);
    get<QComboBox>("cmbInterTime")->setEditText("20");
    get<QCheckBox>("chkGraph", 1)->setChecked(true);
    get<QSlider>("sldYosouPara", 3)->setValue(37);
    get("cmdOk")->click();
    EXPECT_EQ(stored(), "550 20 true true false false true true false - 100 100 100 37 100 100 100 100");
    EXPECT_EQ(std::tuple(pd.kakoKikan, pd.timerInter, pd.graphFlags[1]), std::tuple(550, 20, QString("true")));
}

// Weights outside 0..200 are clamped silently; a time-out that is no number stores nothing and keeps
// the dialog; an empty period or a time-out under 5 s is left alone; a weight that is no number is reported.
TEST_F(OptionsDialog, ValuesAreCheckedBeforeAnyIsWritten)
{
    const QStringList values {"250", "-5", "99999999999", "  60 ", "", "150"};
    for (int i = 0; i < int(values.size()); ++i)
        iniWrite("parameter", QString("para(%1)").arg(i), values[i]);
    const QString before = stored();
    (form_ = new FrmOption)->show();
    EXPECT_EQ(sliders(), "200 0 200 60 100 150 100 100");
    get<QComboBox>("cmbInterTime")->setEditText("十秒");
    get("cmdOk")->click();
    EXPECT_EQ(msgs_.texts(), QStringList {"Error-frmOption-5"});
    EXPECT_EQ(stored(), before);
    EXPECT_TRUE(form_->isVisible());
    get<QComboBox>("cmbInterTime")->setEditText("3");
    get("cmdOk")->click();
    EXPECT_EQ(std::pair(pd.kakoKikan, pd.timerInter), std::pair(400, 5));
    EXPECT_EQ(stored(), "- - true false false false true true false - 200 0 200 60 100 150 100 100");
    iniWrite("parameter", "para(2)", "abc");
    (form_ = new FrmOption)->show();
    EXPECT_EQ(msgs_.texts().last(), "Error-frmOption-4");
    EXPECT_EQ(sliders(), "200 0 100 60 100 150 100 100");
}
