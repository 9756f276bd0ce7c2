#pragma once
// For the benchmarks: the bundled DATA open and a new calculation from its template open in
// a session, on a private copy removed at the end.
#include "document/Session.h"
#include "data/WorkCopy.h"
#include "data/DataModule.h"

#include <benchmark/benchmark.h>
#include <memory>

struct BundledCalculation {
    vorn::DataModule dm;
    std::unique_ptr<vorn::WorkCopy> copy;
    std::unique_ptr<vorn::Session> session; // null when the DATA does not open

    explicit BundledCalculation(benchmark::State& state) {
        dm.setDataDir(VORN_DATA_DIR);
        if (!dm.openReferenceTables()) {
            state.SkipWithError("DATA does not open");
            return;
        }
        copy = std::make_unique<vorn::WorkCopy>(VORN_DATA_DIR "/vorn.dbf");
        session = std::make_unique<vorn::Session>(dm);
        session->openCalculation(copy->path());
    }
    ~BundledCalculation() {
        session.reset();
        dm.closeAll();
    }
};
