#pragma once
// The race-result sheet: one stored race before the race on screen with its runners, and a
// comment tab with the race's comment and each runner's comment and marks.
#include "core/dialogComment.h"
#include "sheets/kextukaRireki.h"
#include "sheets/sheetFrame.h"

class QLineEdit;

class FrmKextuka : public SheetFrame {
    Q_OBJECT
public:
    explicit FrmKextuka(const QString& raceCode);
    void load() override;

protected:
    void layoutPages(int tabLeft, int tabTop, int tabWidth, int tabHeight) override;

private:
    void fillComments();
    void txtRaceComment_KeyPress();
    void gridComment_Click();
    // A save of one of this race's notes, from anywhere, shows here at once.
    void noteSaved(const QString& rCode, const QString& uName, const CommentNote& note);

    RaceResult race_;
    CommentCells commentCells_;
    QLineEdit* txtRaceComment;
    FlexGrid* gridComment;
};
