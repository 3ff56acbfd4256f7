#include <QApplication>

#include "kd/file_io.h"
#include "kromby/app/kromby_app.h"
#include "kromby/app/main_form.h"
#include "kromby/ui/qt_dialogs.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The title goes to the message boxes; it is deliberately not the display name, which some
    // platforms append to every window caption.
    QApplication::setApplicationName(kApplicationTitle);

    std::vector<std::string> arguments;
    const QStringList args = QApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) arguments.push_back(args[i].toStdString());

    kui::QtDialogs dialogs(kApplicationTitle);
    KrombyApp kromby(dialogs, kd::PathFromUtf8(QApplication::applicationDirPath().toStdString()),
                     std::move(arguments));
    kromby.MainForm->show();
    return app.exec();
}
