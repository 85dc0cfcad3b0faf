#include "util/AppInfo.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(AppInfo::Title);
    QMainWindow window;
    window.setWindowTitle(AppInfo::MainCaption());
    window.showMaximized();
    return app.exec();
}
