#include "python/unlocked.h"

#include "bemt/ThreadCount.h"

namespace korvane::python {

Prepared prepare(const PythonProject& p, SignalWatch& watch) {
    Prepared prepared{p.data, {}};
    checkForComputation(prepared.project);
    prepared.input = computationInput(prepared.project, watch.progress(), watch.interruption(), p.opener());
    return prepared;
}

void setThreads(bemt::BEMTTools& tools, int threads) {
    tools.setThreads(threads > 0 ? threads : bemt::ThreadCount::fromEnvironment().value_or(bemt::ThreadCount::cores()));
}

}  // namespace korvane::python
