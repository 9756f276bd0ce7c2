// For the lock tests, the other process: opens a table, edits record RECNO (taking its
// lock), writes "1" into READY (or "0" when the edit failed) and ends once DONE appears,
// the lock going with it.
//   lock_holder TABLE RECNO READY DONE
#include "data/Table.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

int main(int argc, char** argv) {
    if (argc != 5)
        return 2;
    namespace fs = std::filesystem;
    const char* ok = "1";
    vorn::Table t;
    try {
        t.setTableName(argv[1]);
        t.open();
        for (long i = 1; i < std::atol(argv[2]); ++i)
            t.next();
        t.edit();
    } catch (const vorn::DbfError&) {
        ok = "0";
    }
    std::ofstream(fs::u8path(argv[3])) << ok;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!fs::exists(fs::u8path(argv[4])) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return 0;
}
