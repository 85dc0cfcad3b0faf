#include "app/AppLook.h"
#include "app/ui/MDIForm1.h"
#include "util/AppInfo.h"

#include <QApplication>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(AppInfo::Title);
    AppLook::Apply(app);
    MDIForm1 window;
    window.showMaximized();
    return app.exec();
}
