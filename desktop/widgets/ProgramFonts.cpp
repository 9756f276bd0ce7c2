#include "desktop/widgets/ProgramFonts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
#include <cstdio>

namespace vorn {

void registerProgramFonts() {
    static bool done = false;
    if (done || !QCoreApplication::instance())
        return;
    done = true;
    const QDir fonts(QCoreApplication::applicationDirPath() + "/fonts");
    for (const QString& name : fonts.entryList({"*.ttf"}, QDir::Files))
        if (QFontDatabase::addApplicationFont(fonts.filePath(name)) < 0)
            std::fprintf(stderr, "шрифт не загружен: %s\n",
                         QDir::toNativeSeparators(fonts.filePath(name)).toLocal8Bit().constData());
}

} // namespace vorn
