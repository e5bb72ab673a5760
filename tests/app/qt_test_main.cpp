// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// GoogleTest main for the tests that need a QApplication. They run without a display:
// the offscreen platform unless the environment names another.
#include <gtest/gtest.h>

#include <QApplication>

#include "app/quarnel_app.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    quarnel::ConfigureApplication(app);
    return RUN_ALL_TESTS();
}
