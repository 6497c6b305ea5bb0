"""What the Python module's tests share: the examples, korvane-cli, a project to compute."""

import json
import os
import subprocess

import numpy
import pytest

import korvane

EXAMPLES = os.environ["KORVANE_EXAMPLES"]
CLI = os.environ["KORVANE_CLI"]
NREL_PATH = os.path.join(EXAMPLES, "nrel5mw.kvp")


def run_cli(*args, check=True):
    """korvane-cli's exit status, standard output and standard error."""
    done = subprocess.run([CLI, *map(str, args)], capture_output=True, text=True)
    if check and done.returncode not in (0, 3):
        raise AssertionError(f"korvane-cli {' '.join(map(str, args))}: {done.stderr}")
    return done.returncode, done.stdout, done.stderr


def cli_json(*args):
    return json.loads(run_cli(*args, "--json", "-", "--no-progress")[1])


@pytest.fixture
def nrel5mw():
    return korvane.Project.load(os.path.join(EXAMPLES, "nrel5mw.kvp"))


def small_rotor(lift=0.1):
    """A rotor from arrays alone, its polars in memory."""
    alpha = numpy.linspace(-10, 20, 7)
    polar = (alpha, lift * alpha, 0.01 + 1e-4 * alpha**2)
    return korvane.Project.from_arrays(40, [2, 20, 40], [2, 2, 1], [15, 5, 0], [(0, *polar), (1, *polar)], V0=8, rpm=20)
