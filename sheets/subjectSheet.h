#pragma once
// What the horse sheet and the person sheets share: the period combo, the run-history and the
// two aptitude grids over the subject's runs, and the fill that draws them under the progress
// dialog.
#include "sheets/sheetFrame.h"
#include "sheets/umaTekisei.h"
#include <QElapsedTimer>

class QComboBox;
class QTimer;
class SheetRunReader;

class SubjectSheet : public SheetFrame {
    Q_OBJECT
public:
    ~SubjectSheet() override;
    // True while the rest of a long run list is still being read.
    bool runsArriving() const;

protected:
    SubjectSheet(SheetKind kind, const QString& key, const SheetTags& tags, const QString& fillTag, int progressMax);

    // The frame, the four run and aptitude tabs (more tabs may follow) and the period items.
    void buildSubject(const QString& caption, const QStringList& buttonKeys);
    // Load steps after the frame: layout, period text, label, hidden pages, the fill, tab 1 shown.
    void loadSubject(const QString& infoText);
    // The fill: lists, average weight and every grid. Tells the user and changes nothing while an
    // import holds the data files.
    void cmbTarKikan_Click();
    void layoutPages(int tabLeft, int tabTop, int tabWidth, int tabHeight) override;
    void closeEvent(QCloseEvent* event) override;

    // The jockey that heads jkList (empty: the newest run's).
    virtual QString firstJockey() const { return {}; }
    // The runs the aptitude tables count: by default exactly those the run grid listed.
    virtual std::vector<TekiseiRun> runsLookedAt(const std::vector<const SheetRun*>& listed) const;
    // The horse sheet's comment tab, a step of the fill's progress; the others have none and
    // return false.
    virtual bool fillComments(const std::vector<const SheetRun*>&) { return false; }

    QComboBox* cmbTarKikan;
    FlexGrid* gridTekiseiSisuu;
    FlexGrid* gridTekiseiRentai;
    FlexGrid* gridMochiTime;

private:
    void fill();
    // One slice of the arriving runs: read, and added to the run grid a few times a second.
    void arrive();
    void showArrived();
    void stopArrival();

    QString fillTag_;
    int progressMax_;
    std::unique_ptr<SheetRunReader> reader_;
    QTimer* arrival_;
    std::vector<SheetRun> arrived_;  // read, not yet in the run grid
    QElapsedTimer sinceShown_;
};
