#include <QApplication>

#include "dravik/app/dialogs.h"
#include "dravik/app/dravik_app.h"
#include "kd/file_io.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Dravik"));
    QApplication::setWindowIcon(DravikIcon());
    QtDravikDialogs dialogs;
    CDravikApp theApp(dialogs, kd::PathFromUtf8(QCoreApplication::applicationDirPath().toStdString()),
                      CDravikApp::DefaultStateDir());
    theApp.InitInstance();
    return 0;
}
