"""Parameter studies: local processes, a Dask cluster, and korvane-cli's shards."""

import json
import math
import os
from decimal import Decimal

import pandas
import pytest

import korvane
from conftest import NREL_PATH, run_cli, small_rotor

R_REFUSED = '"conditions.R": the rotor radius R [m] 400 lies outside its range, 0.1 to 300.'


@pytest.fixture
def variations():
    table = korvane.grid(tsr=[6, 7.5, 9], pitch=[0, 2])
    table["R"] = [63] * 5 + [400]
    return table


def test_a_study_on_a_local_cluster_equals_the_local_one_and_reports_its_failing_row(nrel5mw, variations):
    distributed = pytest.importorskip("distributed")
    local = korvane.study(nrel5mw, variations, workers=1)
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None) as cluster:
        with distributed.Client(cluster) as client:
            clustered = korvane.study(nrel5mw, variations, client=client, chunk_size=2)
            # A project from arrays, never saved, with cells no setting holds: those rows fail alone.
            cells = {"precone": [0, math.inf, Decimal("1.5"), pandas.NA]}
            unsaved = korvane.study(small_rotor(), cells, client=client), korvane.study(small_rotor(), cells, workers=1)
    pandas.testing.assert_frame_equal(local, clustered)
    pandas.testing.assert_frame_equal(*unsaved)
    assert list(unsaved[0].error) == ["", '"rotor.precone": inf is not a finite number.', "",
                                      '"rotor.precone" must be a number, text, true or false, or a list, not <NA> (NAType).']
    assert unsaved[0].P[0] > unsaved[0].P[2] > 0
    assert list(local.error) == [""] * 5 + [R_REFUSED]
    assert math.isnan(local.Cp[5]) and local.Cp[:5].between(0.3, 0.5).all()
    # Each row is the operating point its settings give.
    point = nrel5mw.copy().update({"tsr": 7.5, "pitch": 2}).operating_point()
    assert local.P[3] == point.P[0] and local.converged[3] is True and local.converged[5] is None


def tip_speed_ratio(project):
    return {"TSR": project.conditions.R * project.conditions.Om / project.conditions.V0}


def tip_speed_ratio_or_fail(project):
    if project.conditions.B == 2:
        return 1 / 0
    if project.conditions.B == 5:
        raise SystemExit("the row's function ends its process")
    return 7.0 if project.conditions.B == 4 else tip_speed_ratio(project)


def test_a_function_computes_each_row_and_its_failures_are_the_rows_errors(nrel5mw, variations):
    variations["B"] = [3, 5, 2, 3, 4, 3]
    table = korvane.study(nrel5mw, variations, compute=tip_speed_ratio_or_fail, workers=2)
    assert table.TSR[[0, 3]].tolist() == pytest.approx([6, 7.5])
    assert list(table.error) == ["", "SystemExit: the row's function ends its process",
                                 "ZeroDivisionError: division by zero", "",
                                 "TypeError: the compute function must return a dict of numbers, not float.",
                                 R_REFUSED]


def die_or_nest(project):
    if project.conditions.B == 2:
        os._exit(3)  # as a crash or an out-of-memory kill of the worker would end it
    return {"P1": float(korvane.study(project, {"pitch": [0, 1]}, workers=2).P[1])}


def test_a_worker_that_dies_costs_only_its_row_and_studies_nest(nrel5mw):
    table = korvane.study(nrel5mw, {"B": [3, 2, 3, 3]}, compute=die_or_nest, workers=2, chunk_size=2)
    assert list(table.error) == ["", korvane._local_pool.DIED, "", ""]
    assert table.P1[[0, 2, 3]].tolist() == [nrel5mw.copy().update({"pitch": 1}).operating_point().P[0]] * 3


def test_shards_of_a_study_file_concatenate_to_the_whole_table(tmp_path, nrel5mw, variations):
    study = tmp_path / "study.json"
    study.write_text(json.dumps({"project": NREL_PATH, "compute": "operating_point", "variations": variations}))
    status, _, errors = run_cli("study", study, "--out", tmp_path / "all.csv")
    assert status == 3 and "1 of 6 variants failed" in errors
    for i in (1, 2, 3, 4):
        run_cli("study", study, "--out", tmp_path / f"part{i}.csv", "--shard", f"{i}/4", "-q")
    parts = b"".join((tmp_path / f"part{i}.csv").read_bytes() for i in (1, 2, 3, 4))
    assert parts == (tmp_path / "all.csv").read_bytes()
    table = pandas.read_csv(tmp_path / "all.csv", keep_default_na=False, na_values=[""])
    assert table.error[5] == R_REFUSED
    python = korvane.study(*korvane.load_study(study)[:2], workers=1)
    assert table.Cp[:5].tolist() == pytest.approx(python.Cp[:5].tolist(), rel=1e-9)


@pytest.mark.parametrize("arguments, content, message", [
    (["--shard", "3/2"], None, 'korvane-cli: --shard expects I/N, shard I of N with 1 <= I <= N (at most 1000000), not "3/2".'),
    ([], {"variations": {"tsr": [6, 7], "pitch": [0]}}, 'the lists of "variations" must be equally long ("pitch" holds 1 values, "tsr" 2).'),
    ([], {"grid": {"tsr": [6]}, "compute": "aep"}, '"compute": unknown computation "aep": give operating_point, design or power_curve.'),
    ([], {"variations": {"tsr": [6]}, "grid": {"tsr": [6]}}, 'give either "variations" or "grid".'),
    (["--shard", "1/2.0"], None, 'not "1/2.0".'),
    (["--shard", " 1/2"], None, 'not " 1/2".'),
    ([], {"grid": {"tsr": [math.inf]}}, """the value of "tsr" '1e999' lies outside the range of numbers the program"""),
    ([], {"variatons": {"tsr": [6]}, "grid": {"tsr": [6]}},
     'unknown key "variatons": give "project", "compute" and "variations" or "grid".'),
    ([], {"grid": {"precon": [6]}}, 'could not be used: unknown setting "precon": give'),
    ([], {"grid": {"tsr": [6], "rpm": [9]}}, 'the columns "tsr" and "rpm" both set the rotation speed Om: give one of them.'),
])
def test_bad_study_files_and_options_are_refused(tmp_path, arguments, content, message):
    study = tmp_path / "study.json"
    # Python writes infinity as Infinity, which is no JSON; a number too large is.
    text = json.dumps({"project": NREL_PATH, **(content or {"grid": {"tsr": [6]}})})
    study.write_text(text.replace("Infinity", "1e999"))
    status, _, errors = run_cli("study", study, "--out", tmp_path / "out.csv", *arguments, check=False)
    assert status in (1, 2) and message in errors
    assert not (tmp_path / "out.csv").exists()


def test_rotor_settings_and_model_switches_are_study_columns(nrel5mw):
    variations = {"precone": [0, -4], "rotor.yaw": [0, 15], "tip_loss": [True, False], "pitch": [1, 1]}
    table = korvane.study(nrel5mw, variations, workers=1)
    for i in (0, 1):
        point = nrel5mw.copy().update({k: v[i] for k, v in variations.items()}).operating_point()
        assert (table.P[i], table.Ct[i], table.error[i]) == (point.P[0], point.Ct[0], "")
    assert table.P[1] < table.P[0]
