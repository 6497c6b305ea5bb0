"""The computations from Python against korvane-cli's JSON documents, the interpreter's
lock, and Ctrl-C."""

import multiprocessing
import os
import pickle
import signal
import sys
import threading
import time

import numpy
import pytest

import korvane

from conftest import EXAMPLES, cli_json, run_cli

NREL = os.path.join(EXAMPLES, "nrel5mw.kvp")


def columns(rows):
    """A list of row dictionaries as arrays by key."""
    return {k: numpy.array([numpy.nan if r[k] is None else r[k] for r in rows]) for k in rows[0]}


def same(array, expected):
    numpy.testing.assert_array_equal(numpy.asarray(array, dtype=float), numpy.asarray(expected, dtype=float))


def check_arrays(result, document):
    """Every array of the result holds the document's numbers."""
    if result.command in ("op", "design"):
        for k, value in columns(document["points"]).items():
            if k != "elements":
                same(getattr(result, k), value)
        for i, point in enumerate(document["points"]):
            for k, value in columns(point["elements"]).items():
                same(result.elements[k][i], value)
    elif result.command == "char":
        for k, value in columns(document["steps"]).items():
            if k != "points":
                same(getattr(result, k), value)
        for i, step in enumerate(document["steps"]):
            for k, value in columns(step["points"]).items():
                same(getattr(result, k)[i], value)
    elif result.command == "power-curve":
        for k, value in columns(document["points"]).items():
            same(getattr(result, k), value)
    else:
        for k in ("tsr", "pitch", "cp", "ct", "cq", "converged"):
            same(getattr(result, k), document[k])


@pytest.mark.parametrize("method, arguments, command", [
    ("operating_point", {}, ["op"]),
    ("operating_point", {"pitch": 2.5, "threads": 1}, ["op", "--pitch", "2.5"]),
    ("design", {"c_limit": 0.07}, ["design", "--c-limit", "0.07"]),
    ("characteristics", {"range": (4, 10, 1.5), "pitch": 1}, ["char", "--range", "4:10:1.5", "--pitch", "1"]),
    ("characteristics", {"range": (5, 12, 1), "range_type": "wind"}, ["char", "--range", "5:12:1", "--range-type", "wind"]),
    ("power_curve", {"rated_power": 4e6}, ["power-curve", "--rated-power", "4e6"]),
    ("surface", {"tsr": (4, 10, 2), "pitch": (0, 4, 2), "wind": 9}, ["surface", "--tsr", "4:10:2", "--pitch", "0:4:2", "--wind", "9"]),
])
def test_each_computation_gives_korvane_clis_document(nrel5mw, method, arguments, command):
    result = getattr(nrel5mw, method)(**arguments)
    document = cli_json(command[0], NREL, *command[1:])
    assert result.to_dict() == document
    check_arrays(result, document)
    assert len(result.to_dataframe()) > 0
    # The document's other keys are attributes too, and a pickled result is the same result.
    for key in set(document) - {"command", "points", "steps"} - set(result.keys()):
        assert getattr(result, key) == document[key]
    copied = pickle.loads(pickle.dumps(result))
    assert copied.to_dict() == document and copied.command == result.command
    check_arrays(copied, document)


@pytest.mark.parametrize("changes, options", [
    ({"stall_delay.lift": "snel"}, ["--stall-delay", "snel"]),
    ({"precone": -2.5, "tilt": 5, "yaw": 12, "hub_height": 90, "shear_exponent": 0.2, "sectors": 6,
      "skew_correction": "pitt_peters"},
     ["--precone", "-2.5", "--tilt", "5", "--yaw", "12", "--hub-height", "90", "--shear", "0.2", "--sectors", "6",
      "--skew", "pitt_peters"]),
    ({"tip_loss": False, "hub_loss": False, "wake_rotation": False, "drag_in_induction": False},
     ["--no-tip-loss", "--no-hub-loss", "--no-wake-rotation", "--no-drag-in-induction"]),
])
def test_settings_by_name_compute_as_korvane_clis_options(nrel5mw, changes, options):
    if "stall_delay.lift" in changes:
        assert nrel5mw.stall_delay.lift == "none"
    nrel5mw.update(changes)
    assert nrel5mw.operating_point(pitch=1).to_dict() == cli_json("op", NREL, "--pitch", "1", *options)
    if "tilt" in changes:  # the power curve names the rotor model
        assert nrel5mw.power_curve().to_dict() == cli_json("power-curve", NREL, *options)


def test_an_optimisation_gives_korvane_clis_document_and_project(tmp_path, nrel5mw):
    options = {"budget": 30, "points": 4, "vary": ["chord", "twist", "tsr"], "max_thrust_ratio": 1.05,
               "max_root_moment": 1e9}
    result = nrel5mw.optimise(**options)
    document = cli_json("optimise", NREL, "--budget", "30", "--points", "4", "--vary", "chord,twist,tsr",
                        "--max-thrust-ratio", "1.05", "--max-root-moment", "1e9", "--out", tmp_path / "cli.kvp")
    assert result.to_dict() == document and result.project.path == ""
    assert result.project.save(tmp_path / "python.kvp") == "Created"
    assert (tmp_path / "python.kvp").read_bytes() == (tmp_path / "cli.kvp").read_bytes()
    same(result.history["objective"], [h["objective"] for h in document["history"]])
    same(result.blade["chord_points"], [[p["x_rel"], p["c_rel"]] for p in document["blade"]["chord_points"]])
    assert result.after["aep"][0]["aep_MWh"] > result.before["aep"][0]["aep_MWh"] and result.feasible
    assert result.worse == ""
    assert len(result.to_dataframe()) == len(document["history"])


def test_an_optimised_blade_worse_than_the_projects_is_warned_of_as_korvane_cli_does(tmp_path, nrel5mw):
    nrel5mw.update({"tilt": 5, "hub_height": 90, "shear_exponent": 0.2})
    with pytest.warns(UserWarning) as warned:
        result = nrel5mw.optimise(budget=10, points=2, vary="chord", max_thrust_ratio=1, max_root_moment=11e6)
    _, summary, _ = run_cli("optimise", NREL, "--tilt", "5", "--hub-height", "90", "--shear", "0.2", "--budget", "10",
                            "--points", "2", "--vary", "chord", "--max-thrust-ratio", "1", "--max-root-moment", "11e6",
                            "--out", tmp_path / "cli.kvp")
    assert result.worse.startswith("The optimised blade gives less than the project's: ") and result.worse in summary
    assert [str(w.message) for w in warned] == [result.worse]


LONG = {"range": (2, 14, 0.05), "pitch": None, "threads": 1}


def test_the_core_computes_without_the_interpreters_lock(nrel5mw):
    # Short turns for the interpreter's lock: a computation holding it would let the
    # counter count a few hundred times at most.
    sys.setswitchinterval(1e-5)
    counted, done = [0], threading.Event()

    def count():
        while not done.is_set():
            counted[0] += 1

    counter = threading.Thread(target=count)
    counter.start()
    try:
        before = counted[0]
        nrel5mw.characteristics(**LONG)
        during = counted[0] - before
    finally:
        done.set()
        counter.join()
        sys.setswitchinterval(0.005)
    assert during > 20000


def test_computations_in_threads_keep_their_own_settings(nrel5mw):
    # Each computation blends airfoils or not as its own project says, whatever another
    # thread computes meanwhile; a project changed by another thread is read as it stood
    # when the computation began.
    blended, plain = nrel5mw.copy(), nrel5mw.copy()
    blended.compute_settings.enable_interpolation = True
    plain.compute_settings.enable_interpolation = False
    alone = {id(p): p.operating_point(threads=1).P[0] for p in (blended, plain)}
    assert alone[id(blended)] != alone[id(plain)]
    found = {id(blended): [], id(plain): []}

    def compute(project):
        for _ in range(6):
            found[id(project)].append(project.operating_point(threads=1).P[0])

    threads = [threading.Thread(target=compute, args=(p,)) for p in (blended, plain)]
    for thread in threads:
        thread.start()
    changing = nrel5mw.copy()
    watcher = threading.Thread(target=lambda: [changing.operating_point(threads=1) for _ in range(4)])
    watcher.start()
    for sectors in range(1, 40):
        changing.rotor.sectors = sectors % 4 + 1
        changing.chord_points = changing.chord_points[: 10 + sectors % 5]
        changing.chord_points = nrel5mw.chord_points
    for thread in [*threads, watcher]:
        thread.join()
    assert found == {key: [value] * 6 for key, value in alone.items()}


def test_what_a_signal_handler_raises_during_an_optimisation_goes_on(nrel5mw):
    # Only Ctrl-C ends an optimisation with its best blade.
    def late(*_):
        raise TimeoutError("late")

    previous = signal.signal(signal.SIGALRM, late)
    signal.setitimer(signal.ITIMER_REAL, 0.5)
    try:
        with pytest.raises(TimeoutError):
            nrel5mw.optimise(budget=5000, points=4)
    finally:
        signal.setitimer(signal.ITIMER_REAL, 0)
        signal.signal(signal.SIGALRM, previous)


def test_ctrl_c_ends_an_optimisation_with_its_best_feasible_blade(nrel5mw):
    # Past the starting blade, which is feasible, long before the budget is spent: the
    # interrupt waits for a second of the process's CPU time (all its threads), which a
    # busy machine stretches in wall time but not in work done.
    returned = threading.Event()
    start = time.process_time()

    def interrupt():
        while time.process_time() - start < 1.0:
            if returned.wait(0.02):
                return
        os.kill(os.getpid(), signal.SIGINT)

    watcher = threading.Thread(target=interrupt)
    watcher.start()
    try:
        result = nrel5mw.optimise(budget=5000, points=4)
    finally:
        returned.set()
        watcher.join()
    assert result.end == "stopped" and result.feasible and result.evaluations < 5000
    assert result.project.chord_points.tolist() == result.blade["chord_points"].tolist()


@pytest.mark.parametrize("run", ["characteristics", "study"])
def test_ctrl_c_stops_a_computation_and_its_workers(nrel5mw, run):
    # About a hundred seconds of work, stopped after a fraction of one; a study's worker
    # processes end with it instead of finishing their rows.
    nrel5mw.update({"enable_pitch": True, "p_min": -5, "p_max": 90, "p_step": 0.1})
    timer = threading.Timer(0.3, os.kill, (os.getpid(), signal.SIGINT))
    timer.start()
    with pytest.raises(KeyboardInterrupt):
        if run == "characteristics":
            nrel5mw.characteristics(range=(0.5, 25, 0.05), threads=2)
        else:
            korvane.study(nrel5mw, korvane.grid(tsr_target=[6 + 0.01 * i for i in range(400)]),
                          compute="power_curve", workers=2)
    timer.join()
    assert multiprocessing.active_children() == []
