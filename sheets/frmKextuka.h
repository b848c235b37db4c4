#pragma once
// The race-result sheet: one stored race before the race on screen with its runners, and a
// comment tab with the race's comment and each runner's comment and marks.
#include "sheets/kextukaRireki.h"
#include "sheets/sheetFrame.h"

class QLineEdit;

class FrmKextuka : public SheetFrame {
    Q_OBJECT
public:
    explicit FrmKextuka(const QString& raceCode);
    void load() override;
    // Reloads the comment tab for this sheet's race (after the comment dialog saved).
    void refreshComments();

protected:
    void layoutPages(int tabLeft, int tabTop, int tabWidth, int tabHeight) override;

private:
    void fillComments();
    void txtRaceComment_KeyPress();
    void gridComment_Click();

    RaceResult race_;
    QLineEdit* txtRaceComment;
    FlexGrid* gridComment;
};
