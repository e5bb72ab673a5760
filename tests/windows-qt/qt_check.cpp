// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// A small form with the same text in a label, a line edit and a push button, for checking
// that a Qt build draws text on a platform:
//   qt-check --text TEXT --grab FILE.png   renders the form into FILE.png and ends
//   qt-check --text TEXT --ready FILE      shows the form as a window, writes FILE once it
//                                          has been painted, and closes when FILE is
//                                          deleted (or after a minute, so nothing hangs)
// Qt's own options (-platform NAME) come first. It prints the platform plugin, the style
// and the form's font, one per line, so that a log says what was checked, and where each
// control is in the picture ("region label 258x20+11+11"; on the screen for a window),
// so that a check can look at each one's text.
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <QTextStream>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <utility>

namespace {

// The value after option `name`, or an empty string.
QString OptionValue(const QStringList& args, const QString& name) {
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args[at + 1] : QString();
}

using Controls = QList<std::pair<const char*, QWidget*>>;

// Prints the controls' places as ImageMagick geometries: on the screen, or in `form`.
void PrintRegions(const Controls& controls, const QWidget& form, bool on_screen) {
    QTextStream out(stdout);
    for (const auto& [name, control] : controls) {
        const QPoint at =
            on_screen ? control->mapToGlobal(QPoint(0, 0)) : control->mapTo(&form, QPoint(0, 0));
        out << "region " << name << ' ' << control->width() << 'x' << control->height() << '+'
            << at.x() << '+' << at.y() << '\n';
    }
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // A blinking caret would make two pictures of the same form differ.
    QApplication::setCursorFlashTime(0);

    const QStringList args = QApplication::arguments();
    const QString text = OptionValue(args, "--text");
    const QString grab_file = OptionValue(args, "--grab");
    const QString ready_file = OptionValue(args, "--ready");
    if (grab_file.isEmpty() == ready_file.isEmpty()) {
        QTextStream(stderr) << "usage: qt-check [-platform NAME] --text TEXT "
                               "(--grab FILE.png | --ready FILE)\n";
        return 2;
    }

    QWidget form;
    form.setWindowTitle("Qt check");
    auto* layout = new QVBoxLayout(&form);
    auto* label = new QLabel(text);
    auto* edit = new QLineEdit(text);
    auto* button = new QPushButton(text);
    layout->addWidget(label);
    layout->addWidget(edit);
    layout->addWidget(button);
    const Controls controls = {{"label", label}, {"edit", edit}, {"button", button}};
    // One size whatever the text, so that pictures of different texts compare pixel by pixel.
    form.setFixedSize(280, 130);

    QTextStream(stdout) << "platform: " << QGuiApplication::platformName() << '\n'
                        << "style: " << QApplication::style()->name() << '\n'
                        << "font: " << form.font().family() << ' ' << form.font().pointSizeF()
                        << '\n';

    if (!grab_file.isEmpty()) {
        const QPixmap picture = form.grab();
        if (!picture.save(grab_file, "PNG")) {
            QTextStream(stderr) << "cannot write " << grab_file << '\n';
            return 1;
        }
        PrintRegions(controls, form, false);
        return 0;
    }

    form.move(0, 0);
    form.show();
    // Written a moment after showing, once the window system has had time to paint it.
    QTimer::singleShot(1000, &form, [&] {
        PrintRegions(controls, form, true);
        QFile ready(ready_file);
        if (!ready.open(QIODevice::WriteOnly))
            QApplication::exit(1);
    });
    auto* watch = new QTimer(&form);
    QObject::connect(watch, &QTimer::timeout, &form, [&ready_file] {
        if (!QFile::exists(ready_file))
            QApplication::quit();
    });
    QTimer::singleShot(1100, watch, [watch] { watch->start(100); });
    QTimer::singleShot(60000, &form, [] { QApplication::exit(3); });
    return app.exec();
}
