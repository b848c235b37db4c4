#pragma once
// The small loading window shown while a page of the racing authority's server loads. Its
// timers and its Cancel button act only through the shared flags webTimeOut and webCancel,
// which the page loader tests at every pass of its waiting loop.
#include <QDialog>

class QLabel;
class QPushButton;
class QTimer;
class WebBrowser;

class DialogWeb : public QDialog {
    Q_OBJECT
public:
    DialogWeb();

    // What loading the window does; a time-out retry runs it again on the shown window.
    void formLoad();
    // Shows the window inside the screen and painted at once, for a caller about to wait on a page.
    void showOnScreen();
    // The same with a new loading text.
    void showLoading(const QString& title);

    QTimer* Timer1;       // page time-out, every timerInter seconds
    QLabel* lblTitle;     // progress text set by the callers
    QTimer* Timer2;       // keeps the window painted
    WebBrowser* WebBrowser1;
    QPushButton* cmdCancel;

protected:
    // Esc and the close box cancel like the button; hiding the window would hide Cancel.
    void reject() override;

private:
    void Timer1_Timer();
    void Timer2_Timer();
    void cmdCancel_Click();
};

// The page time-out in seconds that the window counts: timerInter, or its default when the
// setting is no positive number; at most what a timer counts in milliseconds.
int webTimeOutSeconds();

// The loaded window, loaded (not shown) at the first access after an unload, as forms are. Its
// owner window owns it once it is shown over one, and takes it along when it goes; the window is
// then no longer loaded, and the next access loads a new one.
DialogWeb& dialogWeb();
bool isDialogWebLoaded();
void unloadDialogWeb();
// Shows the loaded window with the text, owned by `owner` (none: as it is). It stays up from page
// to page (a window made anew for each page flashes blank with a fast server, and a click on
// Cancel can fall between two windows), painted before the page is asked for, and above its
// owner, so Cancel is never hidden behind the window the user clicked last.
void showDialogWebOver(QWidget* owner, const QString& title);
// Unloads the window however the scope that holds one ends.
struct DialogWebUnloader {
    DialogWebUnloader() = default;
    DialogWebUnloader(const DialogWebUnloader&) = delete;
    DialogWebUnloader& operator=(const DialogWebUnloader&) = delete;
    ~DialogWebUnloader() { unloadDialogWeb(); }
};
