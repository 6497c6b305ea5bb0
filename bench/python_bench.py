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
    runs, seconds = timeit.Timer(lambda: project.operating_point(threads=1)).autorange()
    best = min(timeit.repeat(lambda: project.operating_point(threads=1), number=runs, repeat=5)) / runs
    print(f"operating point, {elements:3d} elements: {best * 1e6:8.1f} us per call from Python")


def study(variants):
    project = korvane.Project.load(EXAMPLE)
    side = int(round(variants ** 0.5))
    table = korvane.grid(tsr=numpy.linspace(4, 11, side).tolist(), pitch=numpy.linspace(-2, 8, variants // side).tolist())
    seconds = {}
    for workers in (1, 2):
        start = time.perf_counter()
        result = korvane.study(project, table, workers=workers, chunk_size=250)
        seconds[workers] = time.perf_counter() - start
        failed = (result.error != "").sum()
        print(f"study of {len(result)} operating points on {workers} worker(s): {seconds[workers]:6.2f} s "
              f"({len(result) / seconds[workers]:6.0f} per second, {failed} failed)")
    print(f"speed-up on 2 workers: {seconds[1] / seconds[2]:.2f}x")


if __name__ == "__main__":
    for elements in (17, 100):
        operating_point(elements)
    study(int(sys.argv[1]) if len(sys.argv) > 1 else 10000)
