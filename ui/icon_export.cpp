// wintarvo-icon-export DIR: writes the application icon as DIR/SIZExSIZE/apps/wintarvo.png for
// the sizes a desktop's icon theme looks for. Run by the build; the files are installed.
#include <QDir>
#include <QGuiApplication>
#include <QString>

#include <cstdio>

#include "ui/app_icon.h"

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: wintarvo-icon-export DIR\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString dir = QString("%1/%2x%2/apps").arg(root).arg(size);
        if (!QDir().mkpath(dir) || !wintarvo::renderAppIcon(size).save(dir + "/wintarvo.png")) {
            std::fprintf(stderr, "wintarvo-icon-export: cannot write %s\n", qPrintable(dir));
            return 1;
        }
    }
    return 0;
}
