#include "platform/vbformat.h"
#include "tests/webimport/webImportFixture.h"
#include "tools/demoSite.h"
#include "webimport/frmWebSeiseki.h"
#include "webimport/importGuard.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

namespace {

// The results import as a new user runs it against the demo's page server: a day where the
// demo has no race at a track is an answer without data, so every track of the day is asked and
// the import completes.
struct DemoSiteImport : WebImportTest {
    DemoRace race;
    std::unique_ptr<DemoSite> site;
    QPointer<FrmWebSeiseki> form;

    void SetUp() override
    {
        WebImportTest::SetUp();
        appDir.createNarData();
        appDir.createStrevinData();
        race.date = VbDate::fromYmd(2008, 4, 21);
        setVbToday(race.date);
        site = std::make_unique<DemoSite>(race);
        ASSERT_TRUE(site->listen(0));
        iniWrite("System", "webHost", QStringLiteral("127.0.0.1:%1").arg(site->port()));
        form = new FrmWebSeiseki;
    }
    void TearDown() override
    {
        delete form.data();
        setVbToday(VbDate());
        WebImportTest::TearDown();
    }

    void typeDay(QComboBox* year, QComboBox* month, QComboBox* day, const VbDate& date)
    {
        for (const auto& [box, text] : {std::pair {year, Format(date, "yyyy")}, {month, Format(date, "mm")},
                                        {day, Format(date, "dd")}}) {
            box->lineEdit()->selectAll();
            QTest::keyClicks(box->lineEdit(), text);
        }
    }
    void importDay(const VbDate& date)
    {
        typeDay(form->cmbStartNen, form->cmbStartTuki, form->cmbStartHi, date);
        typeDay(form->cmbEndNen, form->cmbEndTuki, form->cmbEndHi, date);
        QTest::mouseClick(form->cmdWebStart, Qt::LeftButton);
    }
};

TEST_F(DemoSiteImport, ADayWithoutRacingAtATrackIsReadToTheEnd)
{
    for (const VbDate& day : {race.date.addDays(-1), demoLastRaceDate(race).addDays(-1)}) {
        messages.clear();
        importDay(day);
        EXPECT_EQ(shown(), Format(day, "yyyy/mm/dd").toStdString() + "まで読込み完了\n保存したレース数：0");
        EXPECT_FALSE(ImportGuard::busy() || isDialogWebLoaded());
    }
    EXPECT_EQ(stored("SELECT COUNT(*) FROM T_Rdata"), "0");
    EXPECT_EQ(stored("SELECT LastDate FROM LastDate"), race.date.addDays(-1).toDbText().toStdString());
}

}
