// The Qt message boxes and file dialogs, checked while they are open and then answered.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "app/qt_ui_services.h"
#include "support/row_name.h"

namespace quarnel {
namespace {

// Rows print as their names wherever a parameter is shown.
using test::PrintTo;

// Runs `inspect` on the first modal window that opens while `open` runs.
template <typename Open>
void WhileModal(std::function<void(QWidget*)> inspect, Open open) {
    bool seen = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && !seen) {
            seen = true;
            inspect(modal);
        }
    });
    poll.start();
    open();
    EXPECT_TRUE(seen);
}

TEST(ApplicationName, IsTheExecutableNameWithoutExtension) {
    EXPECT_EQ(ApplicationName(), QStringLiteral("app_qt_test"));
}

struct BoxRow {
    const char* name;
    bool error;
    QMessageBox::Icon icon;
};

class MessageBoxes : public ::testing::TestWithParam<BoxRow> {};

TEST_P(MessageBoxes, OneOkButtonAndTheApplicationNameAsCaption) {
    QtUiServices ui;
    WhileModal(
        [&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->icon(), GetParam().icon);
            EXPECT_EQ(box->windowTitle(), ApplicationName());
            EXPECT_EQ(box->text(), QStringLiteral("USB CONNECT FAILURE"));
            EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
            box->button(QMessageBox::Ok)->click();
        },
        [&] {
            if (GetParam().error) {
                ui.ShowErrorBox(u"USB CONNECT FAILURE");
            } else {
                ui.ShowMessage(u"USB CONNECT FAILURE");
            }
        });
}

INSTANTIATE_TEST_SUITE_P(Ui, MessageBoxes,
                         ::testing::Values(BoxRow{"Message", false, QMessageBox::Warning},
                                           BoxRow{"ErrorBox", true, QMessageBox::Critical}),
                         test::RowName());

TEST(MessageBoxes, ShowPlainTextAsItIs) {
    QtUiServices ui;
    WhileModal(
        [](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->text(), QStringLiteral("Cannot open Lang.ini file!"));
            box->accept();
        },
        [&] { ui.ShowMessage(u"Cannot open Lang.ini file!"); });
}

TEST(FileDialogs, SaveAddsTheDefaultExtensionAndNeverAsksToReplace) {
    QTemporaryDir dir;
    QtUiServices ui;
    std::optional<std::filesystem::path> chosen;
    WhileModal(
        [&](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
            EXPECT_EQ(dialog->nameFilters(), QStringList{QStringLiteral("CSV Files (*.csv)")});
            EXPECT_EQ(dialog->defaultSuffix(), QStringLiteral("csv"));
            EXPECT_TRUE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
            dialog->setDirectory(dir.path());
            dialog->selectFile(QStringLiteral("track"));
            static_cast<QDialog*>(dialog)->accept();  // as the Save or Open button does
        },
        [&] {
            chosen = ui.SaveFileDialog({{{u"CSV Files (*.csv)", u"*.csv"}}, u"csv"});
        });
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, std::filesystem::path(QDir(dir.path()).filePath("track.csv").toStdString()));
}

TEST(FileDialogs, OpenUsesTheFiltersAndCancelGivesNothing) {
    QtUiServices ui;
    std::optional<std::filesystem::path> chosen = std::filesystem::path("unchanged");
    WhileModal(
        [&](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
            EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
            EXPECT_EQ(dialog->nameFilters(), (QStringList{QStringLiteral("BIN Files (*.bin)"),
                                                          QStringLiteral("All Files (*)")}));
            dialog->reject();
        },
        [&] {
            chosen = ui.OpenFileDialog(
                {{{u"BIN Files (*.bin)", u"*.bin"}, {u"All Files (*.*)", u"*.*"}}, u""});
        });
    EXPECT_FALSE(chosen.has_value());
}

TEST(FileDialogs, OpenReturnsTheChosenFile) {
    QTemporaryDir dir;
    const QString image = QDir(dir.path()).filePath(QStringLiteral("image.md5"));
    QFile file(image);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    QtUiServices ui;
    std::optional<std::filesystem::path> chosen;
    WhileModal(
        [&](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            ASSERT_NE(dialog, nullptr);
            dialog->selectFile(image);
            static_cast<QDialog*>(dialog)->accept();  // as the Save or Open button does
        },
        [&] {
            chosen = ui.OpenFileDialog(
                {{{u"MD5 Files (*.md5)", u"*.md5"}, {u"All Files (*.*)", u"*.*"}}, u""});
        });
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, std::filesystem::path(image.toStdString()));
}

TEST(NameFilters, EveryFileMeansEveryFileHere) {
    const FileDialogOptions options{
        {{u"BIN Files (*.bin)", u"*.bin"}, {u"All Files (*.*)", u"*.*"}, {u"Logs", u"*.csv"}}, u""};
    EXPECT_EQ(NameFilters(options),
              (QStringList{QStringLiteral("BIN Files (*.bin)"), QStringLiteral("All Files (*)"),
                           QStringLiteral("Logs (*.csv)")}));
}

}  // namespace
}  // namespace quarnel
