#include "core/frmOption.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/msgbox.h"
#include "tests/support/childNamed.h"
#include "tests/support/dataFiles.h"

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
    static QString stored()
    {
        QStringList values {iniRead("System", "tarKikanWebUma", "-"), iniRead("System", "timerInter", "-")};
        for (int i = 0; i < 16; ++i)  // the eight chart flags, then the eight weights
            values << iniRead(i < 8 ? "graph" : "parameter", QString(i < 8 ? "iniGraph(%1)" : "para(%1)").arg(i % 8), "-");
        return values.join(' ');
    }

    TestAppDir dir_;
    MsgBoxRecorder msgs_;
    QPointer<FrmOption> form_;
};

// A preset sets the sliders but stores nothing, and so does CANCEL; OK stores every value but the
// chart's line ratio, and memory too.
TEST_F(OptionsDialog, PresetsOkAndCancel)
{
    (form_ = new FrmOption)->show();
    get("cmdParaHonnmei")->click();
    EXPECT_EQ(sliders(), "80 110 120 80 80 80 50 120");
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

// Enter stores what the dialog shows wherever the focus is: never a preset over the user's weights,
// never losing the time-out being typed.
TEST_F(OptionsDialog, EnterStoresTheChoicesAndNeverRunsAPreset)
{
    for (const char* focus : {"cmdParaHonnmei", "cmbInterTime", "sldYosouPara(2)"}) {
        (form_ = new FrmOption)->show();
        QApplication::setActiveWindow(form_);
        get<QSlider>("sldYosouPara", 0)->setValue(37);
        get<QComboBox>("cmbInterTime")->setEditText("30");
        get<QWidget>(focus)->setFocus();
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr) << focus;
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent key(type, Qt::Key_Return, Qt::NoModifier);
            QApplication::sendEvent(target, &key);
        }
        EXPECT_EQ(stored(), "- 30 true false false false true true false - 37 100 100 100 100 100 100 100") << focus;
        EXPECT_FALSE(form_ && form_->isVisible()) << focus;
        QFile::remove(dir_.filePath("Strevin.ini"));
    }
}

// Stored weights not in 0..200 show the default and are reported once; a time-out that is no number
// stores nothing and keeps the dialog; one outside 5 s .. 1 h is left alone.
TEST_F(OptionsDialog, ValuesAreCheckedBeforeAnyIsWritten)
{
    const QStringList values {"250", "-5", "99999999999", "  60 ", "", "150", "abc", "0"};
    for (int i = 0; i < int(values.size()); ++i)
        iniWrite("parameter", QString("para(%1)").arg(i), values[i]);
    const QString before = stored();
    (form_ = new FrmOption)->show();
    EXPECT_EQ(sliders(), "100 100 100 60 100 150 100 0");
    EXPECT_EQ(msgs_.texts(), QStringList {"Error-frmOption-4"});
    get<QComboBox>("cmbInterTime")->setEditText("十秒");
    get("cmdOk")->click();
    EXPECT_EQ(msgs_.texts().last(), "Error-frmOption-5");
    EXPECT_EQ(stored(), before);
    EXPECT_TRUE(form_->isVisible());
    for (const char* ignored : {"3", "100000", "3601"}) {
        get<QComboBox>("cmbInterTime")->setEditText(ignored);
        get("cmdOk")->click();
        EXPECT_EQ(std::pair(pd.kakoKikan, pd.timerInter), std::pair(400, 5)) << ignored;
        (form_ = new FrmOption)->show();
    }
    EXPECT_EQ(stored(), "- - true false false false true true false - 100 100 100 60 100 150 100 0");
}

// A settings file that cannot be written is reported with path and key; the dialog and old values stay.
TEST_F(OptionsDialog, AFailedWriteIsReportedAndTheDialogStaysOpen)
{
    ASSERT_TRUE(QDir().mkdir(dir_.filePath("Strevin.ini")));  // no file can be written in its place
    (form_ = new FrmOption)->show();
    get<QComboBox>("cmbTarKikanUma")->setCurrentIndex(0);
    get<QCheckBox>("chkGraph", 1)->setChecked(true);
    get("cmdOk")->click();
    EXPECT_EQ(msgs_.texts(), QStringList {"Error-frmOption-5\n" + dir_.filePath("Strevin.ini") + " [System] tarKikanWebUma に書き込めません"});
    EXPECT_TRUE(form_->isVisible());
    EXPECT_EQ(std::pair(pd.kakoKikan, pd.graphFlags[1]), std::pair(400, QString("False")));
}
