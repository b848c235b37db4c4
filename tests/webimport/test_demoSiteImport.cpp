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

// Against the demo's server a track without racing that day is an answer without data: the import completes.
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

    void importDay(const VbDate& date)
    {
        QComboBox* const boxes[] = {form->cmbStartNen, form->cmbStartTuki, form->cmbStartHi, form->cmbEndNen, form->cmbEndTuki, form->cmbEndHi};
        for (int i = 0; i < 6; ++i) {
            boxes[i]->lineEdit()->selectAll();
            QTest::keyClicks(boxes[i]->lineEdit(), Format(date, QStringList {"yyyy", "mm", "dd"}[i % 3]));
        }
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
