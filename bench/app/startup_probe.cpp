// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// One start-up, measured in a process of its own so that its peak memory is its own:
//   app_startup_probe form   the main form: construction, start-up, shown
//   app_startup_probe bare   a plain QDialog with the same controls built the same way
// Prints "<nanoseconds from construction to shown> <peak resident set in KiB>".
#include <sys/resource.h>

#include <QApplication>
#include <QDialog>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/dialog_units.h"
#include "app/form_builder.h"
#include "app/no_device_backend.h"
#include "app/quarnel_app.h"
#include "app/quarnel_dlg.h"
#include "device/clock.h"
#include "device/command_areas.h"
#include "form/control_table.h"

namespace {

// Message boxes and dialogs answer at once: a measurement never waits for a person.
class SilentUi final : public quarnel::UiServices {
public:
    void ShowMessage(const std::u16string&) override {}
    void ShowErrorBox(const std::u16string&) override {}
    std::optional<quarnel::SaveChoice> SaveFileDialog(const quarnel::FileDialogOptions&) override {
        return std::nullopt;
    }
    std::optional<std::filesystem::path> OpenFileDialog(
        const quarnel::FileDialogOptions&) override {
        return std::nullopt;
    }
};

void ShowAndWait(QWidget& w) {
    w.show();
    while (w.windowHandle() == nullptr || !w.windowHandle()->isExposed()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    QCoreApplication::processEvents();  // the first paint
}

long PeakRssKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
    const bool form = argc > 1 && std::strcmp(argv[1], "form") == 0;
    const bool bare = argc > 1 && std::strcmp(argv[1], "bare") == 0;
    if (!form && !bare) {
        std::fprintf(stderr, "usage: %s form|bare\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    quarnel::ConfigureApplication(app);

    quarnel::NoDeviceBackend backend;
    quarnel::SteadyClock clock;
    quarnel::CommandAreas areas;
    SilentUi ui;

    const auto start = std::chrono::steady_clock::now();
    std::unique_ptr<QWidget> shown;
    if (form) {
        // The program's own folder holds Player.ini and Lang/, as beside the real program.
        auto dlg =
            std::make_unique<quarnel::CQuarnelDlg>(quarnel::DeviceLink{backend, clock, areas}, ui);
        ShowAndWait(*dlg);
        shown = std::move(dlg);
    } else {
        auto dlg = std::make_unique<QDialog>();
        dlg->setFont(quarnel::CQuarnelDlg::FormFont());
        const quarnel::DialogUnits units = quarnel::DialogUnits::Of(dlg->font());
        quarnel::BuildControls(*dlg, units);
        dlg->setFixedSize(units.ToPixelsX(quarnel::kFormWidthDlu),
                          units.ToPixelsY(quarnel::kFormHeightDlu));
        ShowAndWait(*dlg);
        shown = std::move(dlg);
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    std::printf("%lld %ld\n",
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count()),
                PeakRssKiB());
    return 0;
}
