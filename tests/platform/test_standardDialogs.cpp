#include "platform/filedialog.h"
#include "platform/msgbox.h"

#include <QApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <gtest/gtest.h>

namespace {

// The file list's rows as shown: name, size, type and date.
QStringList listedRows(const QFileDialog& dialog)
{
    const auto* tree = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    const QAbstractItemModel* model = tree->model();
    QStringList rows;
    for (int r = 0; r < model->rowCount(tree->rootIndex()); ++r) {
        QStringList cells;
        for (int c = 0; c < 4; ++c)
            cells << model->index(r, c, tree->rootIndex()).data().toString();
        rows << cells.join('|');
    }
    rows.sort();
    return rows;
}

// Runs the dialog, choosing `file` as soon as it shows.
QString chooseIn(QFileDialog& dialog, const QString& file)
{
    QTimer::singleShot(0, &dialog, [&dialog, file] {
        dialog.selectFile(file);
        static_cast<QDialog&>(dialog).accept();
    });
    return runFileDialog(dialog);
}

}  // namespace

// The dialog lists sizes, types and dates in Japanese, opens in the program folder given and, once the
// user has chosen a file, in that file's folder.
TEST(FileDialogs, JapaneseColumnsAndTheFolderLastChosen)
{
    QTemporaryDir program, other;
    ASSERT_TRUE(QDir(program.path()).mkdir("data"));
    QFile small(program.filePath("a.txt")), large(program.filePath("b.csv"));
    ASSERT_TRUE(small.open(QIODevice::WriteOnly) && small.write("12345") == 5 && large.open(QIODevice::WriteOnly)
                && large.write(QByteArray(3 * 1024, 'x')) == 3 * 1024);
    small.close();
    large.close();
    const QString day = QDateTime::currentDateTime().toString("yyyy/MM/dd");

    QFileDialog first;
    prepareFileDialog(first, program.path());
    first.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return listedRows(first).size() == 3; }, 5000));
    const QStringList rows = listedRows(first);
    EXPECT_EQ(std::tuple(first.directory().absolutePath(), rows.value(0).section('|', 0, 2), rows.value(1).section('|', 0, 2),
                         rows.value(2).section('|', 0, 2)),
              std::tuple(program.path(), QString("a.txt|5 バイト|TXT ファイル"), QString("b.csv|3.0 KB|CSV ファイル"),
                         QString("data||フォルダー")));
    EXPECT_TRUE(rows.value(0).section('|', 3).startsWith(day)) << rows.value(0).toStdString();
    first.hide();

    QFileDialog second;
    prepareFileDialog(second, program.path());
    EXPECT_EQ(chooseIn(second, other.filePath("chosen.txt")), other.filePath("chosen.txt"));
    QFileDialog third;
    prepareFileDialog(third, program.path());
    EXPECT_EQ(third.directory().absolutePath(), other.path());
}

// A box with a short message is still wide enough for its whole title beside the frame's buttons.
TEST(MessageBoxes, WideEnoughForTheirTitle)
{
    int width = 0, titleWidth = 0;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                width = box->width();
                titleWidth = box->fontMetrics().horizontalAdvance(box->windowTitle());
                box->accept();
            }
    });
    msgBox(QStringLiteral("済"), vbOKOnly, QStringLiteral("とても長い題名のついたメッセージボックス"));
    EXPECT_GE(width, titleWidth + 100);
}
