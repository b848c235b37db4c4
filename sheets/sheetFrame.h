#pragma once
// The frame every sheet shares: the band with its keyed toolbar, the information label, the tab
// strip with the controls laid over it and switched by caption, the layout in twips, the run
// grid's dispatcher, and the unload that brings the main window back.
#include "sheets/sheetData.h"
#include <QList>
#include <QString>
#include <QWidget>

class FlexGrid;
class QLabel;
class QTabBar;
class QToolBar;

// The failure tags of one sheet's handlers.
struct SheetTags {
    QString load, resize, unload, gridRireki, toolbar, hide, tab;
};

class SheetFrame : public QWidget {
    Q_OBJECT
public:
    SheetKind kind() const { return kind_; }
    // The subject the sheet was opened for (a name or a race code).
    const QString& key() const { return key_; }
    // Form_Load: builds the window from its key and fills it.
    virtual void load() = 0;

protected:
    SheetFrame(SheetKind kind, const QString& key, const SheetTags& tags);

    // The band, toolbar (buttons by key: "Prev", "Next", "Back") and label named infoName.
    void buildFrame(const QString& caption, const QString& infoName, const QStringList& buttonKeys);
    void addTab(const QString& caption, const QList<QWidget*>& controls);
    // Every page control hidden (hideGrids), then those of the selected tab's caption shown.
    void tabMain_Click();
    void hideGrids();
    // Called by Form_Resize with the tab strip's rectangle in twips; places the page controls.
    virtual void layoutPages(int tabLeft, int tabTop, int tabWidth, int tabHeight) = 0;
    virtual void toolbarClicked(const QString& key);
    void Form_Resize();
    // The fit rule against this window's tab strip for a grid placed on it.
    void fitToTab(FlexGrid& grid);

    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

    SheetKind kind_;
    QString key_;
    SheetTags tags_;
    QWidget* cbMain = nullptr;
    QToolBar* tbMenuMove = nullptr;
    QLabel* lblInfo = nullptr;
    QTabBar* tabMain = nullptr;
    FlexGrid* gridRireki = nullptr;

private:
    void gridRireki_Click();
    QList<QPair<QString, QList<QWidget*>>> pages_;
};

// The main window while it exists (the owner of the note editor), else null.
QWidget* mainWindowWidget();
// Shows the main window again (modeless) unless the program is ending; it is raised only when no
// sheet but the closing one is open, so that it never covers the sheets still open.
void showMainWindowAgain(const QWidget* closing);
// A toolbar picture from the program folder; "Back" falls back to "List.gif", any other missing
// picture gives none.
QString sheetPicturePath(const QString& file);
