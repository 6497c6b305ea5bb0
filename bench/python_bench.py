"""The korvane Python module's costs, beside build/bench/project_op_bench (the same
operating point in C++):

  - one operating point of the NREL 5-MW example from Python, with 17 elements (as in
    CCBlade's example of this rotor) and the project's 100, on one thread;
  - a study of 10 000 single operating points (tip speed ratio x pitch) on 1 and on 2
    local worker processes.

Usage: PYTHONPATH=build/python /usr/bin/python3 bench/python_bench.py [VARIANTS]
"""

import os
import sys
import time
import timeit

import numpy

import korvane

EXAMPLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "examples", "nrel5mw.kvp")


def operating_point(elements):
    project = korvane.Project.load(EXAMPLE)
    project.solver_settings.n_elements = elements
    call = lambda: project.operating_point(threads=1)  # noqa: E731
    runs, _ = timeit.Timer(call).autorange()
    # Wall and processor time, as Google Benchmark reports them (a busy machine
    # stretches the first, not the second).
    wall = min(timeit.repeat(call, number=runs, repeat=5)) / runs
    cpu = min(timeit.repeat(call, number=runs, repeat=5, timer=time.process_time)) / runs
    print(f"operating point, {elements:3d} elements: {wall * 1e6:8.1f} us wall, {cpu * 1e6:8.1f} us CPU per call")


def study(variants):
    project = korvane.Project.load(EXAMPLE)
    side = int(round(variants ** 0.5))
    table = korvane.grid(tsr=numpy.linspace(4, 11, side).tolist(), pitch=numpy.linspace(-2, 8, variants // side).tolist())
    seconds = {}
    print(f"load average before the study: {os.getloadavg()[0]:.2f}")
    for workers in (1, 2):
        start, cpu = time.perf_counter(), os.times()
        result = korvane.study(project, table, workers=workers, chunk_size=250)
        seconds[workers] = time.perf_counter() - start
        used = sum(os.times()[:4]) - sum(cpu[:4])
        failed = (result.error != "").sum()
        print(f"study of {len(result)} operating points on {workers} worker(s): {seconds[workers]:6.2f} s wall, "
              f"{used:6.2f} s CPU ({len(result) / seconds[workers]:6.0f} per second, {failed} failed)")
    print(f"speed-up on 2 workers: {seconds[1] / seconds[2]:.2f}x (load average {os.getloadavg()[0]:.1f} "
          f"on {os.cpu_count()} cores)")


if __name__ == "__main__":
    for elements in (17, 100):
        operating_point(elements)
    study(int(sys.argv[1]) if len(sys.argv) > 1 else 10000)
