// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The Qt message boxes and file dialogs, checked while they are open and then answered.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
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
    std::optional<SaveChoice> chosen;
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
    EXPECT_EQ(chosen->path,
              std::filesystem::path(QDir(dir.path()).filePath("track.csv").toStdString()));
    EXPECT_EQ(chosen->filter, 0u);
}

const FileDialogOptions kLogTypes{{{u"CSV Files (*.csv)", u"*.csv"},
                                   {u"GPX Files (*.gpx)", u"*.gpx"},
                                   {u"KML Files (*.kml)", u"*.kml"},
                                   {u"HTML Map Pages (*.html)", u"*.html"}},
                                  u"csv"};

// As a user does it: the type picked in the dialog's list of file types.
void PickFileType(QFileDialog* dialog, const QString& type) {
    auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(combo, nullptr);
    const int index = combo->findText(type);
    ASSERT_GE(index, 0);
    combo->setCurrentIndex(index);
    emit combo->activated(index);
    emit combo->textActivated(type);
}

struct TypeRow {
    const char* name;
    const char* type;
    const char* typed;
    const char* saved;
    size_t filter;
};

class SaveTypes : public ::testing::TestWithParam<TypeRow> {};

TEST_P(SaveTypes, ReportThePickedTypeAndAddItsExtension) {
    QTemporaryDir dir;
    QtUiServices ui;
    std::optional<SaveChoice> chosen;
    WhileModal(
        [&](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->nameFilters(),
                      (QStringList{QStringLiteral("CSV Files (*.csv)"),
                                   QStringLiteral("GPX Files (*.gpx)"),
                                   QStringLiteral("KML Files (*.kml)"),
                                   QStringLiteral("HTML Map Pages (*.html)")}));
            EXPECT_EQ(dialog->selectedNameFilter(), QStringLiteral("CSV Files (*.csv)"));
            dialog->setDirectory(dir.path());
            if (*GetParam().type != '\0') {
                PickFileType(dialog, QString::fromUtf8(GetParam().type));
            }
            dialog->selectFile(QString::fromUtf8(GetParam().typed));
            static_cast<QDialog*>(dialog)->accept();
        },
        [&] { chosen = ui.SaveFileDialog(kLogTypes); });
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(chosen->path,
              std::filesystem::path(QDir(dir.path()).filePath(GetParam().saved).toStdString()));
    EXPECT_EQ(chosen->filter, GetParam().filter);
}

INSTANTIATE_TEST_SUITE_P(
    Ui, SaveTypes,
    ::testing::Values(TypeRow{"TypeLeftAlone", "", "trip", "trip.csv", 0},
                      TypeRow{"Gpx", "GPX Files (*.gpx)", "trip", "trip.gpx", 1},
                      TypeRow{"Kml", "KML Files (*.kml)", "trip", "trip.kml", 2},
                      TypeRow{"MapPage", "HTML Map Pages (*.html)", "trip", "trip.html", 3},
                      TypeRow{"BackToCsv", "CSV Files (*.csv)", "trip", "trip.csv", 0},
                      TypeRow{"TypedExtensionKept", "HTML Map Pages (*.html)", "trip.htm",
                              "trip.htm", 3}),
    test::RowName());

TEST(FilterExtension, IsThePatternsExtensionOrTheDefault) {
    EXPECT_EQ(FilterExtension(kLogTypes, 0), QStringLiteral("csv"));
    EXPECT_EQ(FilterExtension(kLogTypes, 3), QStringLiteral("html"));
    EXPECT_EQ(FilterExtension(kLogTypes, 4), QStringLiteral("csv")) << "no such type";
    EXPECT_EQ(FilterExtension(kLogTypes, -1), QStringLiteral("csv"));
    const FileDialogOptions any{{{u"All Files (*.*)", u"*.*"}, {u"Pages", u"*.html;*.htm"}},
                                u"bin"};
    EXPECT_EQ(FilterExtension(any, 0), QStringLiteral("bin"));
    EXPECT_EQ(FilterExtension(any, 1), QStringLiteral("bin"));
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
