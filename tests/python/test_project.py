"""Projects from Python: the codec's bytes, arrays in place of files, refused values and files."""

import os
import re
import shutil

import numpy
import pytest

import korvane
from conftest import EXAMPLES, run_cli


@pytest.mark.parametrize("name", ["new_turbine.kvp", "nrel5mw.kvp", "naca_blade.kvp", "xfoil_blade.kvp"])
def test_saving_a_loaded_example_gives_its_bytes(tmp_path, name):
    shutil.copytree(EXAMPLES, tmp_path / "examples")
    path = tmp_path / "examples" / name
    original = path.read_bytes()
    assert korvane.Project.load(path).save(path) == "Replaced"
    assert path.read_bytes() == original


def test_a_new_project_is_the_one_korvane_cli_writes(tmp_path):
    run_cli("new", tmp_path / "cli.kvp")
    korvane.Project.new().save(tmp_path / "python.kvp")
    assert (tmp_path / "python.kvp").read_bytes() == (tmp_path / "cli.kvp").read_bytes()


def polar(path):
    return numpy.loadtxt(path, delimiter=",", skiprows=1, unpack=True)


def test_a_project_from_arrays_computes_as_the_same_project_from_files(tmp_path, nrel5mw):
    R = nrel5mw.conditions.R
    x, chord = nrel5mw.chord_points.T
    twist = nrel5mw.twist_points[:, 1]
    airfoils = [(p["x_rel"], *polar(p["path"])) for p in nrel5mw.airfoil_points]
    built = korvane.Project.from_arrays(R, x * R, chord * R, twist, airfoils, Rh=nrel5mw.conditions.Rh)
    built.update({f"{section}.{k}": v for section in ("conditions", "solver_settings", "compute_settings")
                  for k, v in getattr(nrel5mw, section).to_dict().items()})
    expected = nrel5mw.operating_point().to_dict()
    built.save(tmp_path / "built.kvp")
    for project in (built, korvane.Project.load(tmp_path / "built.kvp")):
        got = project.operating_point().to_dict()
        for mine, theirs in zip(got["points"][0]["elements"], expected["points"][0]["elements"]):
            assert mine == pytest.approx(theirs, rel=1e-12, abs=1e-12)
    assert sorted(os.listdir(tmp_path)) == [f"built.airfoil-{k}.csv" for k in range(1, len(airfoils) + 1)] + ["built.kvp"]


RANGE = "the rotor radius R [m] 400 lies outside its range, 0.1 to 300."


@pytest.mark.parametrize("change, error, message", [
    (lambda p: setattr(p.conditions, "R", 400), ValueError, '"conditions.R": ' + RANGE),
    (lambda p: p.update({"R": 400}), ValueError, '"conditions.R": ' + RANGE),
    (lambda p: setattr(p.solver_settings, "n_elements", 0), ValueError, '"solver_settings.n_elements": the number of'),
    (lambda p: setattr(p.conditions, "V0", float("nan")), ValueError, '"conditions.V0": '),
    (lambda p: setattr(p.conditions, "R", "63"), ValueError, '"conditions.R" must be a number, not a string.'),
    (lambda p: setattr(p.turbine, "control", "fast"), ValueError, '"turbine.control" must be "variable_speed_'),
    (lambda p: setattr(p.stall_delay, "lift", "du-selig"), ValueError, '"stall_delay.lift" must be "none", "du_selig"'),
    (lambda p: setattr(p.conditions, "radius", 1), AttributeError, "conditions has no setting 'radius'"),
    (lambda p: p.update({"radius": 1}), ValueError, 'unknown setting "radius": give a key of conditions, '),
    (lambda p: setattr(p, "chord_points", [0.1, 0.2]), ValueError, "chord points must be pairs (x_rel, c_rel)"),
    (lambda p: setattr(p, "twist_points", [[0.1, 181.0], [1, 0]]), ValueError,
     '"twist_points[0].twist_deg": the twist [deg] 181 lies outside its range, -180 to 180.'),
    (lambda p: p.update({"chord_scale": -1}), ValueError, '"chord_points[0].c_rel": '),
    (lambda p: p.operating_point(threads=0), ValueError, "threads must be a whole number from 1 to 1024, not 0."),
    (lambda p: p.operating_point(pitch=91), ValueError, '"compute_settings.p_m'),
    (lambda p: p.characteristics(range_type="rpm"), ValueError, 'range_type must be "wind" or "tsr", not \'rpm\'.'),
    (lambda p: p.surface(tsr=(1, 2), pitch=0), ValueError, "tsr expects a value or (min, max, step)."),
    (lambda p: p.copy().update({"R": 40, "Rh": 45}).operating_point(), korvane.Error,
     "Invalid project value: the hub radius Rh (45 m) must be at least 0 and smaller than the rotor radius R (40 m)."),
    (lambda p: p.design(c_limit=0), ValueError, '"compute_settings.design_c_limit": '),
    (lambda p: korvane.Project.from_arrays(63, [2, 63], [3, 1], [10, 0], [(0, [0, 1], [0], [0, 0])]), ValueError,
     "alpha, cl and cd of a polar must be equally long (2, 1, 2 values)."),
    (lambda p: korvane.study(p, {"tsr": [7]}, compute="aep"), korvane.Error, 'unknown computation "aep": give'),
    (lambda p: korvane.study(p, {"tsr": [7, 8], "pitch": [0]}), ValueError, "equally long lists; their lengths are [1, 2]"),
])
def test_refused_values_raise_the_programs_messages_and_change_nothing(nrel5mw, change, error, message):
    before = nrel5mw.document()
    with pytest.raises(error, match=re.escape(message)):
        change(nrel5mw)
    assert nrel5mw.document() == before


@pytest.mark.parametrize("text, message", [
    (None, "bad.kvp could not be opened: No such file or directory."),
    ('{"conditions": ', "could not be read: it is not a valid JSON document (line 1, column 16)."),
    ('{"conditions": {"B": 3, "Om": 2, "R": 400, "Rh": 1, "V0": 8}}', RANGE),
])
def test_bad_files_raise_with_their_messages(tmp_path, text, message):
    path = tmp_path / "bad.kvp"
    if text is not None:
        path.write_text(text)
    with pytest.raises(korvane.Error, match=re.escape(message)):
        korvane.Project.load(path)


def test_a_missing_polar_file_is_named_when_computing(tmp_path, nrel5mw):
    points = nrel5mw.airfoil_points
    points[3]["path"] = str(tmp_path / "gone.csv")
    nrel5mw.airfoil_points = points
    with pytest.raises(korvane.Error, match=re.escape(str(tmp_path / "gone.csv"))):
        nrel5mw.operating_point()
