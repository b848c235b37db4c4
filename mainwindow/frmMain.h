#pragma once
// The main window. For now it holds the start notice with the data-file status and the
// menus that reach the results import, the track-file install and the options.
#include <QMainWindow>

class QGroupBox;
class QLabel;
class QPushButton;

class FrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit FrmMain(QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void buildMenus();
    void buildFrameStart();
    void cmdBabaFile_Click();
    void cmdJraFile_Click();
    void cmdDbRead_Click();

    QGroupBox* frameStart;
    QLabel* Label1;
    QLabel* lblBabaFileRecnt;
    QLabel* lblBabaNotice;
    QLabel* lblJraFileRecnt;
    QLabel* lblJraNotice;
    QLabel* lblDbKikan;
    QLabel* lblDbNotice;
    QLabel* lblVersion;
    QPushButton* cmdBabaFile;
    QPushButton* cmdJraFile;
    QPushButton* cmdDbRead;
    QLabel* Picture3;
};
