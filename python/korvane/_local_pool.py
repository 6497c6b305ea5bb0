"""The chunks of a study on local worker processes: a worker that dies (a crash, an
out-of-memory kill, os._exit in the user's function) costs only the rows it was computing,
and Ctrl-C ends every worker at once."""

import signal
from concurrent.futures import ProcessPoolExecutor, wait
from concurrent.futures.process import BrokenProcessPool

DIED = "the worker process computing this row ended without a result (it crashed or was killed)."


_in_worker = False


def in_worker():
    """Whether this process is a worker of a local study (whose own studies then run in
    it: a worker ended early must leave no processes of its own behind)."""
    return _in_worker


def _start_worker():
    global _in_worker
    _in_worker = True
    # Ctrl-C reaches the whole process group: the study's own process decides what it
    # stops, not each worker.
    signal.signal(signal.SIGINT, signal.SIG_IGN)


def _terminate(pool):
    # The executor has no public way to end running workers before they finish.
    processes = list((getattr(pool, "_processes", None) or {}).values())
    for process in processes:
        process.terminate()
    for process in processes:
        process.join()
    pool.shutdown(wait=False, cancel_futures=True)


def _round(run, tasks, workers):
    """Runs tasks ({key: args}) in a fresh pool; {key: result} of those that finished
    before a worker died (all of them when none did)."""
    done = {}
    pool = ProcessPoolExecutor(min(workers, len(tasks)), initializer=_start_worker)
    try:
        futures = {pool.submit(run, *args): key for key, args in tasks.items()}
        wait(futures)
        for future, key in futures.items():
            try:
                done[key] = future.result()
            except BrokenProcessPool:
                pass
    except BaseException:
        _terminate(pool)
        raise
    pool.shutdown(wait=True)
    return done


def run_chunks(run, chunks, workers):
    """run(chunk) for every chunk (a list of rows) on workers processes: a list of lists of
    (values, error) per row, in order."""
    tasks = {(i,): (chunk,) for i, chunk in enumerate(chunks)}
    results = {}
    while tasks:
        done = _round(run, tasks, workers)
        results.update(done)
        tasks = {key: args for key, args in tasks.items() if key not in done}
        if any(len(chunk) > 1 for chunk, in tasks.values()):
            # A worker died: the rows of the unfinished chunks go on one by one, so that
            # a row that kills its worker costs no other row.
            tasks = {key + (k,): ([row],) for key, (chunk,) in tasks.items() for k, row in enumerate(chunk)}
        elif tasks and not done:
            # Nothing finished: the first row alone shows whether it is the one that dies.
            first = next(iter(tasks))
            results[first] = _round(run, {first: tasks.pop(first)}, 1).get(first, [(None, DIED)])
    # Back in row order: a chunk's key, or its rows' keys after a split.
    return [results[key] for key in sorted(results)]
