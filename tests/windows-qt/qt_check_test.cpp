// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// QtTest itself under Wine: a table of typed texts and a click, on real widgets.
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

class QtCheckTest : public QObject {
    Q_OBJECT

private slots:
    void typedTextIsShown_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("shown");
        QTest::newRow("digits") << "0123456789" << 32 << "0123456789";
        QTest::newRow("cut at the limit") << "+4915112345678" << 8 << "+4915112";
        // QTest types only the Latin-1 characters that have a key of their own.
        QTest::newRow("beyond ASCII")
            << QString::fromUtf8("MÜNCHEN ß") << 32 << QString::fromUtf8("MÜNCHEN ß");
    }

    void typedTextIsShown() {
        QFETCH(QString, typed);
        QFETCH(int, limit);
        QFETCH(QString, shown);
        QLineEdit edit;
        edit.setMaxLength(limit);
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        QTest::keyClicks(&edit, typed);
        QCOMPARE(edit.text(), shown);
    }

    void clickEmitsClickedOnce() {
        QPushButton button("OK");
        QSignalSpy clicked(&button, &QPushButton::clicked);
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);
    }
};

QTEST_MAIN(QtCheckTest)
#include "qt_check_test.moc"
