"""Projects from Python: the codec's bytes, arrays in place of files, refused values and files."""

import json
import math
import os
import pickle
import re
import shutil

import numpy
import pandas
import pytest

import korvane
from conftest import EXAMPLES, run_cli, small_rotor


@pytest.mark.parametrize("name", ["new_turbine.kvp", "nrel5mw.kvp", "naca_blade.kvp", "xfoil_blade.kvp"])
def test_saving_a_loaded_example_gives_its_bytes(tmp_path, name):
    shutil.copytree(EXAMPLES, tmp_path / "examples")
    path = tmp_path / "examples" / name
    original = path.read_bytes()
    assert korvane.Project.load(path).save(path) == "Replaced"
    assert path.read_bytes() == original


# Settings a file omits at their defaults: set and read back by name, then set back to the
# default, the document is byte for byte the one read.
@pytest.mark.parametrize("name, value, default", [
    ("rotor.precone", 2.5, 0.0), ("tilt", 5.0, 0.0), ("yaw", -10.0, 0.0), ("hub_height", 90.0, 0.0),
    ("sectors", 8, "auto"), ("skew_correction", "pitt_peters", "none"), ("tip_loss", False, True),
    ("solver_settings.hub_loss", False, True), ("wake_rotation", False, True), ("drag_in_induction", False, True),
    ("prebend_points", [{"x_rel": 0.0, "value": 0.0}, {"x_rel": 1.0, "value": -4.0}], []),
    ("optimisation.budget", 50, 2000), ("optimisation.max_chord", 4.5, None), ("tolerance", 1e-4, 1e-6),
])
def test_settings_a_file_omits_are_set_by_name_and_leave_no_trace_at_their_defaults(nrel5mw, name, value, default):
    original = nrel5mw.document()
    nrel5mw.update({name: value})
    assert nrel5mw.document() != original
    key = name.rpartition(".")[2]
    if key == "prebend_points":
        assert nrel5mw.prebend_points.tolist() == [[p["x_rel"], p["value"]] for p in value]
        assert nrel5mw.copy().update({"chord_points": []}).chord_points.shape == (0, 2)
    else:
        section = next(s for s in ("rotor", "solver_settings", "optimisation") if key in getattr(nrel5mw, s).to_dict())
        assert getattr(getattr(nrel5mw, section), key) == value
    assert nrel5mw.update({name: default}).document() == original


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
    pickled = pickle.loads(pickle.dumps(built))
    assert pickle.loads(pickle.dumps(built.conditions)).to_dict() == built.conditions.to_dict()
    built.save(tmp_path / "built.kvp")
    for project in (built, korvane.Project.load(tmp_path / "built.kvp"), pickled):
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
    (lambda p: setattr(p.rotor, "sectors", 0), ValueError, '"rotor.sectors": the number of azimuth sectors'),
    (lambda p: p.update({"shear_exponent": 0.2}), ValueError, '"rotor.hub_height": a wind shear exponent of 0.2 needs a '
     'hub height greater than the rotor radius R (63 m), not 0 m.'),
    (lambda p: setattr(p, "prebend_points", [[0.5, 0], [1.5, 1]]), ValueError,
     '"prebend_points[1].x_rel": the relative position x/R 1.5 lies outside its range, 0 to 1.'),
    (lambda p: p.optimise(objective="power"), ValueError, 'objective expects aep or cp, not "power".'),
    (lambda p: p.optimise(vary=["chord", "span"]), ValueError, 'vary expects a list of chord, twist and tsr, not "chord,span".'),
    (lambda p: p.optimise(points=1), ValueError, "points: "),
    (lambda p: p.optimise(max_root_moment=0), ValueError,
     "max_root_moment: the largest root bending moment [N m] 0 must be above 0."),
    (lambda p: p.optimise(budget=2.5), ValueError, "budget must be a whole number, not 2.5."),
    (lambda p: p.optimise(climate="Sahara"), korvane.Error, "Sahara"),
    (lambda p: setattr(p.conditions, "radius", 1), AttributeError, "conditions has no setting 'radius'"),
    (lambda p: p.update({"radius": 1}), ValueError, 'unknown setting "radius": give a key of conditions, '),
    (lambda p: setattr(p, "chord_points", [0.1, 0.2]), ValueError, "chord points must be pairs (x_rel, c_rel)"),
    (lambda p: setattr(p, "twist_points", [[0.1, 181.0], [1, 0]]), ValueError,
     '"twist_points[0].twist_deg": the twist [deg] 181 lies outside its range, -180 to 180.'),
    (lambda p: p.update({"chord_scale": -1}), ValueError, '"chord_points[0].c_rel": '),
    (lambda p: p.operating_point(threads=0), ValueError, "threads must be a whole number from 1 to 1024, not 0."),
    (lambda p: p.operating_point(pitch=91), ValueError, '"pitch": the pitch angle [deg] 91 lies outside its range, -5 to 90.'),
    (lambda p: p.update({"R": 1, "tsr": 100}), ValueError, '"tsr": 100 at V0 10.5732 m/s and R 1 m: the rotation speed Om [rad/s] 1057.322773 lies outside'),
    (lambda p: setattr(p.conditions, "R", None), ValueError, '"conditions.R" must be a number, not null.'),
    (lambda p: p.characteristics(range_type="rpm"), ValueError, 'range_type must be "wind" or "tsr", not \'rpm\'.'),
    (lambda p: p.surface(tsr=(1, 2), pitch=0), ValueError, "tsr expects a value or (min, max, step), not 2 values."),
    (lambda p: p.surface(tsr=6, pitch=numpy.array([0, 1, 2])), ValueError,
     "pitch expects a value or (min, max, step) (its step 2 is larger than the span from 0 to 1)."),
    (lambda p: p.update({"tsr": 7, "rpm": 10}), ValueError,
     'the names "rpm" and "tsr" both set the rotation speed Om: give one of them.'),
    (lambda p: p.update({"wind": 7, "V0": 10}), ValueError,
     'the names "V0" and "wind" both set the wind velocity V0: give one of them.'),
    (lambda p: korvane.Project.from_arrays(63, [2, 63], [3, 1], [10, 0], [(0, [0, 1], [0, 1], [0, 0]), (1, [0, 1], [0, 1], [0, 0])],
                                           rpm=12, tsr=7),
     ValueError, 'the names "rpm" and "tsr" both set the rotation speed Om'),
    (lambda p: setattr(p.turbine, "rated_power", 1e300), ValueError, '"turbine.rated_power" must be at most 1e+11, not 1e+300.'),
    (lambda p: p.update({"wind_climates": [{"name": "x", "k": 1e-300, "A": 8}]}), ValueError,
     '"turbine.wind_climates[0].k" must be at least 0.5, not 1e-300.'),
    (lambda p: p.update({"wind_climates": [{"name": "x", "k": 2, "A": 1e300}]}), ValueError,
     '"turbine.wind_climates[0].A" must be at most 100, not 1e+300.'),
    (lambda p: p.optimise(budget=6, points=3), korvane.Error, "The evaluation budget 6 ends before the search's first "
     "step: give a budget of at least 7 (the project's blade, then the first blade of the search and its 5 neighbours"),
    (lambda p: p.copy().update({"R": 40, "Rh": 45}).operating_point(), korvane.Error,
     "Invalid project value: the hub radius Rh (45 m) must be at least 0 and smaller than the rotor radius R (40 m)."),
    (lambda p: p.design(c_limit=0), ValueError, '"compute_settings.design_c_limit": '),
    (lambda p: korvane.Project.from_arrays(63, [2, 63], [3, 1], [10, 0], [(0, [0, 1], [0], [0, 0])]), ValueError,
     "alpha, cl and cd of airfoils[0] must be equally long (2, 1, 2 values)."),
    (lambda p: korvane.study(p, {"tsr": [7]}, compute="aep"), korvane.Error, 'unknown computation "aep": give'),
    (lambda p: korvane.study(p, {"tsr": [7, 8], "pitch": [0]}), ValueError, "equally long lists; their lengths are [1, 2]"),
    # NaN and the infinities, which no file holds, never mean "automatic", "none" or "delete".
    (lambda p: setattr(p.conditions, "R", math.inf), ValueError, '"conditions.R": inf is not a finite number.'),
    (lambda p: setattr(p.turbine, "tsr_target", math.nan), ValueError, '"turbine.tsr_target": nan is not a finite number.'),
    (lambda p: setattr(p.stall_delay, "x_max", math.nan), ValueError, '"stall_delay.x_max": nan is not a finite number.'),
    (lambda p: setattr(p.turbine, "wind_climates", math.nan), ValueError, '"turbine.wind_climates": nan is not a'),
    (lambda p: setattr(p, "twist_points", numpy.array([[0.1, 2 + 1j], [1, 0]])), ValueError,
     "twist points must be real numbers, not complex ones."),
    (lambda p: setattr(p, "chord_points", [[0.1, -math.inf], [1, 0.01]]), ValueError,
     '"chord_points[0].c_rel": -inf is not a finite number.'),
    (lambda p: p.operating_point(pitch=math.nan), ValueError, '"pitch": nan is not a finite number.'),
    (lambda p: p.design(c_limit=math.inf), ValueError, '"compute_settings.design_c_limit": inf is not a finite number.'),
    (lambda p: p.update({"precone": pandas.NA}), ValueError,
     '"precone" must be a number, text, true or false, or a list, not <NA> (NAType).'),
    (lambda p: setattr(p.turbine, "rpm_max", 1e300), ValueError, '"turbine.rpm_max" must be at most 10000, not 1e+300.'),
    (lambda p: setattr(p.solver_settings, "solver", 7), ValueError,
     '"solver_settings.solver" must be 0 (Ning), 1 (Newton-Raphson) or 2 (2D Fixed Point), not 7.'),
    (lambda p: p.update({"optimisation.budget": 0}), ValueError,
     '"optimisation.budget": the evaluation budget 0 lies outside its range, 1 to 1000000.'),
    (lambda p: p.optimise(max_chord=math.nan), ValueError, "max_chord: nan is not a finite number."),
    (lambda p: p.optimise(max_chord="4"), ValueError, "max_chord must be a number, not '4'."),
    (lambda p: p.optimise(vary=[]), ValueError, "vary: the value is empty; give one, or leave the option out."),
    (lambda p: p.optimise(vary="chord,chord"), ValueError, 'vary names chord twice: "chord,chord".'),
    (lambda p: p.optimise(method=""), ValueError, "method: the value is empty; give one, or leave the option out."),
    (lambda p: p.update({"optimisation.vary": ["tsr", "tsr"]}), ValueError, '"optimisation.vary" names tsr twice.'),
    (lambda p: setattr(p.conditions, "R", 2**2000), ValueError,
     '"conditions.R": a whole number of 603 digits is too large for any setting.'),
    (lambda p: p.save(""), ValueError, "save needs a file name, not an empty one."),
    (lambda p: p.surface(tsr="4:8:1", pitch=0), ValueError, "tsr must be numbers: could not convert string to float"),
    (lambda p: p.optimise(free_root_chord="no"), ValueError, "free_root_chord must be True or False, not 'no'."),
    (lambda p: p.optimise(budget=2**40), ValueError,
     "budget: the evaluation budget 1.099511628e+12 lies outside its range, 1 to 1000000."),
    (lambda p: p.surface(tsr=(4, 8, 0), pitch=0), ValueError, "The step of the tip speed ratio range must be greater"),
    (lambda p: p.characteristics(range=(1, 2)), ValueError, "range expects (min, max, step)."),
    (lambda p: korvane.Project.from_arrays(63, [2, 30, 63], [3, 1], [10, 5, 0], [(0, [0, 1], [0, 1], [0, 0])]),
     ValueError, "r, chord and twist must be equally long (3, 2, 3 values)."),
    (lambda p: korvane.Project.from_arrays(63, [2, 63], [3, 1], [10, 0], [(0, [0, 1], [0, math.nan], [0, 0])]),
     ValueError, "airfoils[0] cl[1]: nan is not a finite number."),
    (lambda p: korvane.Project.from_arrays(63, [2, 63], [3, 1], [10, 0], [(0, [0, 1], [0, 1], [0, 0]), (1, [2, 1], [0, 1])]),
     ValueError, "airfoils[1] must be (x_rel, alpha, cl, cd), not 3 values."),
    (lambda p: korvane.Project.from_arrays(63, [2, 63], [3, 1], [10, 0], [(0, [0, 1], [0, 1], [0, 0]),
                                                                          (1, [2, 1], [0, 1], [0, 0])]),
     ValueError, "airfoils[1] alpha: angles must increase (1 follows 2)."),
    (lambda p: korvane.Project.from_arrays(63, [2, 63], [3, 1], [10, 0], [(0, [0, 1], [0, 1], [0, 0])]), ValueError,
     "airfoils: the blade needs at least two airfoil points, not 1."),
    (lambda p: korvane.Project.from_arrays(63, [2, 63], [3, 1], [10, 0], [(0, [0, 1], [0, 1], [0, 0])] * 2), ValueError,
     "airfoils[1] x_rel 0 must lie beyond the one before it, 0: airfoils are ordered by their position."),
    (lambda p: korvane.Project.from_arrays(63, [2, 63], [3, 1], [10, 0], [(0, [0, 1], [0, 1], [0, -0.1])]), ValueError,
     "airfoils[0] cd[1]: -0.1 is negative."),
    (lambda p: korvane.Project.from_arrays(63, [2, 63], [3, 1], [10, 0], [(0, [0, 200], [0, 1], [0, 0])]), ValueError,
     "airfoils[0] alpha[1]: 200 lies outside -180 to 180."),
    (lambda p: korvane.Project.from_arrays(63, [2, 63], numpy.ma.masked_array([3, 1], [0, 1]), [10, 0], []), ValueError,
     "chord holds masked values: fill or drop them."),
    (lambda p: korvane.Project.from_arrays(63, [[2, 63]], [3, 1], [10, 0], []), ValueError,
     "r must be a list of numbers, not an array of shape (1, 2)."),
    (lambda p: korvane.Project.from_arrays(0, [2, 63], [3, 1], [10, 0], [(0, [0, 1], [0, 1], [0, 0])]), ValueError,
     '"conditions.R": the rotor radius R [m] 0 lies outside its range, 0.1 to 300.'),
    # Refused before any row runs.
    (lambda p: korvane.study(p, {"precon": [0]}), ValueError, 'unknown setting "precon": give'),
    (lambda p: korvane.study(p, {"P": [0]}), ValueError,
     'the column "P" is a name of the results; the variations name settings.'),
    (lambda p: korvane.study(p, {"precone": [0], "rotor.precone": [1]}), ValueError,
     'the columns "precone" and "rotor.precone" set the same setting rotor.precone.'),
    (lambda p: korvane.study(p, {"pitch": [0], "p_max": [1]}), ValueError,
     'the columns "pitch" and "p_max" both set the pitch: give one of them.'),
    (lambda p: korvane.study(p, pandas.DataFrame([[1, 2]], columns=["pitch", "pitch"])), ValueError,
     'the variations name the column "pitch" twice.'),
    (lambda p: korvane.study(p, {"pitch": "01"}), ValueError,
     'the column "pitch" must be a list (or array) of values, not str.'),
    (lambda p: korvane.study(p, (row for row in [{"pitch": 1}])), ValueError,
     "the variations must be a dict of equally long lists or a pandas DataFrame, not generator."),
    (lambda p: korvane.study(p, {"precone": [0]}, workers=2.5), ValueError,
     "workers must be a whole number of at least 1, not 2.5."),
    (lambda p: korvane.study(p, {"precone": [0]}, chunk_size=-1), ValueError,
     "chunk_size must be a whole number of at least 1, not -1."),
    (lambda p: korvane.Project.new().save(), ValueError, "the project has no file yet: give save the path"),
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


@pytest.mark.parametrize("rotor, message", [
    ({"precone": 50}, '"rotor.precone": the precone [deg] 50 lies outside its range, -20 to 20.'),
    ({"sectors": "x"}, '"rotor.sectors" must be "auto" or a whole number, not "x".'),
    ({"skew_correction": "glauert"}, '"rotor.skew_correction" must be "none" or "pitt_peters", not "glauert".'),
    ({"tilt": 91}, '"rotor.tilt": the shaft tilt [deg] 91 lies outside its range, -20 to 20.'),
])
def test_a_bad_rotor_setting_raises_korvane_clis_message_for_the_same_file(tmp_path, nrel5mw, rotor, message):
    with pytest.raises(ValueError, match=re.escape(message)) as refused:
        nrel5mw.update(rotor)
    document = json.loads(nrel5mw.document())
    document["rotor"] = rotor
    (tmp_path / "bad.kvp").write_text(json.dumps(document))
    status, _, errors = run_cli("op", tmp_path / "bad.kvp", check=False)
    assert status != 0 and errors.strip().endswith(f"could not be read: {refused.value}")


def test_save_refuses_to_write_over_the_projects_airfoil_files_as_korvane_cli_does(tmp_path):
    shutil.copytree(EXAMPLES, tmp_path / "examples")
    project = korvane.Project.load(tmp_path / "examples" / "nrel5mw.kvp")
    polar = project.airfoil_points[2]["path"]
    before = open(polar, "rb").read()
    message = f"The output file {polar} is the input file {polar}; writing it would destroy the input. Choose another name."
    with pytest.raises(korvane.Error, match=re.escape(message)):
        project.save(polar)
    _, _, errors = run_cli("op", tmp_path / "examples" / "nrel5mw.kvp", "--json", polar, check=False)
    assert message in errors and open(polar, "rb").read() == before
    # Polars held in memory are not written either when the project file is refused.
    built = korvane.Project.from_arrays(63, [2, 63], [3, 1], [10, 0], [(x, [0, 10], [0, 1], [0.01, 0.02]) for x in (0, 1)])
    built.airfoil_points = built.airfoil_points[:1] + [dict(project.airfoil_points[2], x_rel=1)]
    with pytest.raises(korvane.Error, match="is the input file"):
        built.save(polar)
    assert not os.path.exists(os.path.splitext(polar)[0] + ".airfoil-1.csv")


def test_a_missing_polar_file_is_named_when_computing(tmp_path, nrel5mw, monkeypatch):
    points = nrel5mw.airfoil_points
    points[3]["path"] = str(tmp_path / "gone.csv")
    nrel5mw.airfoil_points = points
    with pytest.raises(korvane.Error, match=re.escape(str(tmp_path / "gone.csv"))):
        nrel5mw.operating_point()
    # A relative path: from the project's folder, or the working folder before it has one.
    points[3]["path"] = "polars/gone.csv"
    nrel5mw.airfoil_points = points
    assert nrel5mw.airfoil_points[3]["path"] == os.path.join(os.path.dirname(nrel5mw.path), "polars", "gone.csv")
    monkeypatch.chdir(tmp_path)
    unsaved = korvane.Project.new()
    unsaved.airfoil_points = [dict(unsaved.airfoil_points[0], path="gone.csv")]
    assert unsaved.airfoil_points[0]["path"] == str(tmp_path / "gone.csv")


@pytest.mark.parametrize("target, prepare, message", [
    ("victim.kvp", lambda d: (d / "victim.airfoil-2.csv").write_text("my data\n"),
     "The file {d}/victim.airfoil-2.csv exists and is not one of this project's files; saving would replace it. "
     "Choose another name."),
    ("/dev/null", None, "The project's polars are written beside its file, and /dev/null is not a regular file."),
    ("folder", lambda d: (d / "folder").mkdir(), "and {d}/folder is not a regular file. Save it to a file."),
])
def test_a_refused_save_writes_nothing_and_keeps_the_project(tmp_path, monkeypatch, target, prepare, message):
    monkeypatch.chdir(tmp_path)
    if prepare:
        prepare(tmp_path)
    before = sorted(os.listdir(tmp_path)), sorted(f for f in os.listdir("/dev") if "airfoil" in f)
    project = small_rotor()
    document, power = project.document(), project.operating_point().P
    with pytest.raises(korvane.Error, match=re.escape(message.format(d=tmp_path))):
        project.save(target)
    assert (sorted(os.listdir(tmp_path)), sorted(f for f in os.listdir("/dev") if "airfoil" in f)) == before
    assert project.document() == document and project.operating_point().P == power and project.path == ""


def test_saving_again_where_a_project_was_saved_replaces_its_polars_and_a_path_stays_absolute(tmp_path, monkeypatch):
    monkeypatch.chdir(tmp_path)
    assert small_rotor().save("rotor.kvp") == "Created"
    loaded = korvane.Project.load("rotor.kvp")
    assert loaded.path == str(tmp_path / "rotor.kvp")
    # Another project with other polars, saved where the first was: the polars the replaced
    # file names are the project's own, and are replaced with it.
    assert small_rotor(lift=0.11).save("rotor.kvp") == "Replaced"
    assert polar(tmp_path / "rotor.airfoil-2.csv")[1][-1] == pytest.approx(2.2)
    (tmp_path / "elsewhere").mkdir()
    monkeypatch.chdir(tmp_path / "elsewhere")
    assert loaded.save() == "Replaced" and os.listdir(".") == []
    assert sorted(os.listdir(tmp_path)) == ["elsewhere", "rotor.airfoil-1.csv", "rotor.airfoil-2.csv", "rotor.kvp"]
