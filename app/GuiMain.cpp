#include "app/GuiMain.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

namespace vorn {
// Placeholder window until the main window lands.
int runGui(int argc, char** argv, const std::string&, const std::string&,
           const std::vector<std::string>&) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Vorn");
    QMainWindow w;
    w.setWindowTitle("Vorn");
    w.setCentralWidget(new QLabel("Vorn версия 2.05 от 03.10.2002г."));
    w.resize(762, 526);
    w.show();
    return app.exec();
}
} // namespace vorn
