// Start-up time: from the start of a fresh process to the main window shown with every
// reference table open. The benchmark starts itself as a child process several times and
// reports the median and the worst run.
#include "desktop/shell/MainWindow.h"
#include "document/Session.h"
#include "data/DataModule.h"

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {
int child(int argc, char** argv, const char* dataDir) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Vorn");
    vorn::DataModule dm;
    vorn::Session session(dm);
    vorn::MainWindow window(dm, session, dataDir);
    QObject::connect(&window, &vorn::MainWindow::startupFinished, [&] {
        std::puts("ready");
        std::fflush(stdout);
        std::_Exit(0); // the measurement ends here; tear-down is not start-up
    });
    window.show();
    return app.exec() == 0 && !window.startupFailed() ? 0 : 1;
}
} // namespace

int main(int argc, char** argv) {
    const char* dataDir = VORN_DATA_DIR;
    if (argc > 1 && std::string(argv[1]) == "--child")
        return child(argc, argv, dataDir);

    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    const std::string command = std::string("/proc/") + std::to_string(getpid()) + "/exe --child";
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        FILE* p = popen(command.c_str(), "r");
        if (!p)
            return 1;
        char line[32] = {};
        const bool ready = std::fgets(line, sizeof line, p) && std::string(line) == "ready\n";
        const auto t1 = std::chrono::steady_clock::now();
        pclose(p);
        if (!ready) {
            std::fprintf(stderr, "bench_startup: the window did not start\n");
            return 1;
        }
        ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    std::printf("startup (process start to window shown, tables open): median %.1f ms, "
                "best %.1f ms, worst %.1f ms over %d runs; goal < 300 ms\n",
                ms[ms.size() / 2], ms.front(), ms.back(), runs);
    return 0;
}
