#pragma once
// The horse sheet: the subject sheet of one horse, with the previous and next runner of the race
// on screen, and a comment tab with the horse's comment, marks and per-race comments.
#include "core/dialogComment.h"
#include "sheets/subjectSheet.h"

class QComboBox;
class QGroupBox;
class QLineEdit;

class FrmUma : public SubjectSheet {
    Q_OBJECT
public:
    explicit FrmUma(const QString& key);
    void load() override;

protected:
    QString firstJockey() const override;
    std::vector<TekiseiRun> runsLookedAt(const std::vector<const SheetRun*>& listed) const override;
    bool fillComments(const std::vector<const SheetRun*>& listed) override;
    void layoutPages(int tabLeft, int tabTop, int tabWidth, int tabHeight) override;
    void toolbarClicked(const QString& key) override;

private:
    // The runner slot of the race on screen that holds this horse now, or 0.
    int currentSlot() const;
    void txtUmaComment_KeyPress();
    void gridComment_Click();
    void showSaved(QWidget* box);
    // The horse's general note into the comment box and the two mark boxes, as saved.
    void showGeneralNote(const CommentNote& note);
    // A save of one of this horse's notes, from anywhere, shows here at once.
    void noteSaved(const QString& rCode, const QString& uName, const CommentNote& note);

    // What the comment grid's rows stand for: the run's race code and its race label.
    struct CommentRow {
        QString rCode, raceLabel;
    };

    int slot_;  // taken at load
    std::vector<CommentRow> commentRows_;
    CommentCells commentCells_;
    QGroupBox* fraUmaComment;
    QLineEdit* txtUmaComment;
    QComboBox* cmbUmaSign01;
    QComboBox* cmbUmaSign02;
    FlexGrid* gridComment;
};
