"""Projects: the settings and points of a .kvp file, and the computations on them."""

import json
import math
import numbers
import os
import warnings

import numpy

from . import _korvane
from ._result import Optimisation, Result

# Where polars given as arrays live until the project is saved: no file can have a path
# below /dev/null, so such a path never names a file of the user's.
_MEMORY_FOLDER = "/dev/null/korvane-memory"
# The data_type of a CSV polar in the .kvp file.
_CSV_POLAR = 1


def _plain(value):
    """numpy's values as Python's, also inside point dicts and lists (NaN stays NaN, which
    settings refuse; a masked value becomes None, which they refuse too); a path as text."""
    if isinstance(value, numpy.generic):
        value = value.item()
    if isinstance(value, numpy.ndarray):
        value = value.tolist()  # a 0-d array gives its one value
    if isinstance(value, dict):
        return {k: _plain(v) for k, v in value.items()}
    if isinstance(value, (list, tuple)):
        return [_plain(v) for v in value]
    if isinstance(value, os.PathLike):
        return os.fspath(value)
    return value


def _real_array(values, name):
    """values as floats; complex numbers, true/false values and masked values are refused,
    not cut to their real parts, read as 0 and 1 or unmasked."""
    if numpy.ma.is_masked(values):
        raise ValueError(f"{name} holds masked values: fill or drop them.")
    array = numpy.asarray(values)
    if numpy.iscomplexobj(array):
        raise ValueError(f"{name} must be real numbers, not complex ones.")
    if array.dtype == bool:
        raise ValueError(f"{name} must be numbers, not true or false.")
    try:
        return array.astype(float)
    except (TypeError, ValueError) as error:
        raise ValueError(f"{name} must be numbers: {error}.") from None


def _points(rows, keys, name):
    array = _real_array(rows, name)
    if array.size == 0:
        array = array.reshape(-1, 2)
    if array.ndim != 2 or array.shape[1] != 2:
        raise ValueError(f"{name} must be pairs ({keys[0]}, {keys[1]}), as a list or an N x 2 array; "
                         f"got an array of shape {array.shape}.")
    return [{keys[0]: _plain(x), keys[1]: _plain(y)} for x, y in array.tolist()]


def _vary(vary):
    """optimise's vary as korvane-cli's --vary text."""
    names = [vary] if isinstance(vary, str) else list(vary)
    if not all(isinstance(n, str) for n in names):
        raise ValueError(f"vary expects a list of chord, twist and tsr, not {vary!r}.")
    text = ",".join(names)
    if not text:
        raise ValueError("vary: the value is empty; give one, or leave the option out.")
    return text


def _whole(name, value):
    """A whole number, as a float for the request's limits (which refuse it, however large)."""
    if isinstance(value, bool) or not isinstance(value, numbers.Integral):
        raise ValueError(f"{name} must be a whole number, not {value!r}.")
    return float(value)


def _real(name, value):
    if isinstance(value, (bool, numpy.bool_)) or not isinstance(value, numbers.Real):
        raise ValueError(f"{name} must be a number, not {value!r}.")
    return float(value)


def _threads(threads):
    if threads is None:
        return 0
    if isinstance(threads, bool) or not isinstance(threads, (int, numpy.integer)) or not 1 <= threads <= 1024:
        raise ValueError(f"threads must be a whole number from 1 to 1024, not {threads!r}.")
    return int(threads)


def _columns(names, values, owner=""):
    """Equally long 1-D float arrays of finite numbers, or ValueError naming the argument."""
    columns = [_real_array(v, f"{owner} {n}".strip()) for n, v in zip(names, values)]
    for name, column in zip(names, columns):
        if column.ndim > 1:
            raise ValueError(f"{owner + ' ' if owner else ''}{name} must be a list of numbers, not an array of shape "
                             f"{column.shape}.")
    columns = [c.reshape(-1) for c in columns]
    if len({len(c) for c in columns}) != 1:
        raise ValueError(f"{', '.join(names[:-1])} and {names[-1]}{' of ' + owner if owner else ''} must be equally "
                         f"long ({', '.join(str(len(c)) for c in columns)} values).")
    for name, column in zip(names, columns):
        bad = numpy.flatnonzero(~numpy.isfinite(column))
        if bad.size:
            raise ValueError(f"{owner + ' ' if owner else ''}{name}[{bad[0]}]: {float(column[bad[0]])!r} is not a finite "
                             "number.")
    return columns


def _polar_text(k, alpha, cl, cd):
    columns = _columns(("alpha", "cl", "cd"), (alpha, cl, cd), f"airfoils[{k}]")
    if not len(columns[0]):
        raise ValueError(f"airfoils[{k}] holds no polar: give alpha, cl and cd.")
    falling = numpy.flatnonzero(numpy.diff(columns[0]) <= 0)
    if falling.size:
        i = falling[0]
        raise ValueError(f"airfoils[{k}] alpha: angles must increase ({columns[0][i + 1]:g} follows {columns[0][i]:g}).")
    # The polar file's own rules, checked here so that the message names airfoils[k] rather
    # than a line of a file the user never wrote.
    for name, column, lowest, highest in (("alpha", columns[0], -180.0, 180.0), ("cd", columns[2], 0.0, math.inf)):
        outside = numpy.flatnonzero((column < lowest) | (column > highest))
        if outside.size:
            i = outside[0]
            bounds = "is negative" if math.isinf(highest) else f"lies outside {lowest:g} to {highest:g}"
            raise ValueError(f"airfoils[{k}] {name}[{i}]: {column[i]:g} {bounds}.")
    rows = zip(*(c.tolist() for c in columns))
    return "Alpha [deg],Cl,Cd\n" + "".join(f"{a!r},{l!r},{d!r}\n" for a, l, d in rows)


class Settings:
    """One section of a project's settings (``conditions``, ``solver_settings``,
    ``compute_settings``, ``turbine``, ``stall_delay``, ``rotor``, ``optimisation``): its
    keys are attributes under the names the ``.kvp`` file gives them, in the file's units (SI, angles in
    degrees, ``Om`` in rad/s, turbine speeds in rpm). Every setting is there, also those a
    file omits at their defaults (the ``rotor`` object: ``precone``, ``tilt``, ``yaw``,
    ``hub_height``, ``shear_exponent``, ``sectors`` (a number or "auto"),
    ``skew_correction``; the model switches ``tip_loss``, ``hub_loss``, ``wake_rotation``,
    ``drag_in_induction`` of ``solver_settings``; the ``optimisation``'s limits, None when not
    set); set back to its default, a setting is
    omitted from the file again. A value outside its range raises :class:`ValueError` with the
    message the program gives everywhere, and the project keeps its value."""

    def __init__(self, project, section):
        object.__setattr__(self, "_project", project)
        object.__setattr__(self, "_section", section)

    def to_dict(self):
        """The section's settings by key."""
        return json.loads(self._project._core.settings())[self._section]

    def __getattr__(self, key):
        if key.startswith("_"):  # not set yet (unpickling): no setting of the file begins so
            raise AttributeError(key)
        values = self.to_dict()
        if key not in values:
            raise AttributeError(f"{self._section} has no setting {key!r}; its settings: {', '.join(values)}")
        return values[key]

    def __setattr__(self, key, value):
        if key not in self.to_dict():
            raise AttributeError(f"{self._section} has no setting {key!r}; its settings: "
                                 f"{', '.join(self.to_dict())}")
        self._project.update({f"{self._section}.{key}": value})

    def __dir__(self):
        return sorted(self.to_dict())

    def __repr__(self):
        return f"<korvane settings {self._section}: {self.to_dict()}>"


class Project:
    """A Korvane project: rotor, air, solver and compute settings, the turbine, and the
    chord, twist and airfoil points along the blade.

    ``Project()`` and ``Project.new()`` give the new-project defaults,
    ``Project.load(path)`` reads a ``.kvp`` file, ``Project.from_arrays(...)`` builds one
    from arrays. Settings are attributes of the sections (``project.conditions.R = 40``);
    ``project.update({...})`` changes several at once, checked together.
    """

    def __init__(self, _core=None):
        self._core = _core if _core is not None else _korvane._Project()

    # ---- files ----

    @classmethod
    def new(cls):
        """The project a user starts from (as ``korvane-cli new`` writes it)."""
        return cls()

    @classmethod
    def load(cls, path):
        """Reads a ``.kvp`` file; a file that cannot be read raises :class:`korvane.Error`
        with the reason, naming the file (and the key and value of a bad setting)."""
        return cls(_korvane._Project.load(os.fspath(path)))

    def save(self, path=None):
        """Writes the project as a ``.kvp`` file (the bytes korvane-cli and the desktop
        program write), and polars given as arrays beside it as ``<name>.airfoil-<k>.csv``:
        every file or none, each replacing its previous file only once all are complete.
        Returns "Created" or "Replaced".

        It refuses (:class:`korvane.Error`), writing nothing and leaving the project as it
        was, to write over one of the project's airfoil data files ("The output file ...
        is the input file ...; writing it would destroy the input. Choose another name.",
        as korvane-cli does for its outputs), over a ``<name>.airfoil-<k>.csv`` that is
        not this project's ("The file ... exists and is not one of this project's files;
        saving would replace it. Choose another name."; one the ``.kvp`` being replaced
        names is), and to write polars beside a device or a pipe."""
        if path is None and not self.path:
            raise ValueError("the project has no file yet: give save the path to write it to.")
        if path is not None and not os.fspath(path):
            raise ValueError("save needs a file name, not an empty one.")
        return self._core.save(os.fspath(path if path is not None else self.path))

    @property
    def path(self):
        """The file the project was read from or last saved to, as an absolute path ('' for
        none)."""
        return self._core.path

    def document(self):
        """The ``.kvp`` document of the project, as :meth:`save` writes it."""
        return self._core.document()

    def copy(self):
        """An independent copy."""
        return Project(self._core.copy())

    def __getstate__(self):
        """The project for pickle (and so for other processes): its document with the path
        its airfoil paths are relative to, its path and its polars held in memory."""
        core = self._core
        return {"document": core.document(), "codec_path": core.codec_path, "path": core.path,
                "memory": dict(core.memory)}

    def __setstate__(self, state):
        self._core = _korvane._Project.from_document(state["document"], state["codec_path"], state["path"])
        self._core.memory = state["memory"]

    def __eq__(self, other):
        return isinstance(other, Project) and self.document() == other.document()

    # ---- settings ----

    def __getattr__(self, name):
        """The settings sections (:class:`Settings`): ``conditions``, ``solver_settings``,
        ``compute_settings``, ``turbine``, ``stall_delay``, ``rotor`` and ``optimisation``,
        as the ``.kvp`` file names them."""
        if name in _korvane.setting_sections():
            return Settings(self, name)
        raise AttributeError(f"Project has no attribute {name!r}")

    def __dir__(self):
        return sorted(set(super().__dir__()) | set(_korvane.setting_sections()))

    def update(self, changes):
        """Changes settings together, by the names of :func:`korvane.study`'s columns: a
        key of a section (``"R"``, or ``"conditions.R"`` with its section), a point list
        (``chord_points``, ``twist_points``, ``airfoil_points``, ``prebend_points``: lists
        of point dictionaries with the ``.kvp`` keys), or ``pitch``, ``wind``, ``rpm``,
        ``tsr``, ``chord_scale``, ``twist_offset``. A relative ``path`` of an airfoil point
        is taken from the project file's folder (the working folder for a project not yet
        saved), not from the file itself as a ``.kvp`` stores it. Two names of one setting or quantity
        (``tsr`` and ``rpm``, ``wind`` and ``V0``, ``pitch`` and ``p_min``) are refused.
        Nothing changes when one is refused (:class:`ValueError`)."""
        changes = {k: _plain(v) for k, v in dict(changes).items()}
        if isinstance(changes.get("airfoil_points"), list):
            changes["airfoil_points"] = self._absolute_paths(changes["airfoil_points"])
        self._core.change(changes)
        return self

    def _absolute_paths(self, points):
        """Airfoil points with each relative path made absolute from the project's folder."""
        folder = os.path.dirname(self.path) if self.path else os.getcwd()
        return [dict(p, path=os.path.join(folder, p["path"])) if isinstance(p, dict) and isinstance(p.get("path"), str)
                and p["path"] and not os.path.isabs(p["path"]) else p for p in points]

    @property
    def chord_points(self):
        """The chord points as an N x 2 array of (x/R, c/R)."""
        return self._point_array("chord_points", "c_rel")

    @chord_points.setter
    def chord_points(self, rows):
        self.update({"chord_points": _points(rows, ("x_rel", "c_rel"), "chord points")})

    @property
    def twist_points(self):
        """The twist points as an N x 2 array of (x/R, twist in degrees)."""
        return self._point_array("twist_points", "twist_deg")

    @twist_points.setter
    def twist_points(self, rows):
        self.update({"twist_points": _points(rows, ("x_rel", "twist_deg"), "twist points")})

    @property
    def airfoil_points(self):
        """The airfoil points as a list of dictionaries with the ``.kvp`` keys (``x_rel``,
        ``data_type``, ``path`` as an absolute path, ...)."""
        points = self._document_points("airfoil_points")
        for point, path in zip(points, self._core.airfoil_paths()):
            point["path"] = path
        return points

    @airfoil_points.setter
    def airfoil_points(self, points):
        self.update({"airfoil_points": [dict(p) for p in points]})

    @property
    def prebend_points(self):
        """The prebend points as an N x 2 array of (x/R, prebend in m, positive downwind);
        none (a 0 x 2 array) for a straight blade."""
        return self._point_array("prebend_points", "value")

    @prebend_points.setter
    def prebend_points(self, rows):
        self.update({"prebend_points": _points(rows, ("x_rel", "value"), "prebend points")})

    def _document_points(self, key):
        return json.loads(self._core.document()).get(key, [])

    def _point_array(self, key, value):
        """A point list as an N x 2 array (0 x 2 for none)."""
        points = self._document_points(key)
        return numpy.array([[p["x_rel"], p[value]] for p in points], dtype=float).reshape(-1, 2)

    @classmethod
    def from_arrays(cls, R, r, chord, twist, airfoils, *, Rh=None, B=3, V0=None, rpm=None, **settings):
        """A project from arrays alone, without files.

        ``r``, ``chord`` (both in m) and ``twist`` (degrees) give the blade's chord and
        twist points at r/R; ``airfoils`` is a list of ``(x_rel, alpha_deg, cl, cd)``, one
        polar (as arrays) per airfoil point, held in memory until :meth:`save` writes them
        as CSV files. ``Rh`` defaults to the first ``r``; ``V0`` and ``rpm`` to the new
        project's; further settings by name as in :meth:`update`."""
        project = cls()
        r, chord, twist = _columns(("r", "chord", "twist"), (r, chord, twist))
        R = _real("R", R)
        if not R > 0 or not numpy.isfinite(R):
            project.update({"conditions.R": R})  # the setting's own refusal
        changes = {"conditions.R": R, "conditions.B": B, "conditions.Rh": r[0] if Rh is None else Rh,
                   "chord_points": _points(numpy.column_stack([r / R, chord / R]), ("x_rel", "c_rel"), "chord points"),
                   "twist_points": _points(numpy.column_stack([r / R, twist]), ("x_rel", "twist_deg"), "twist points")}
        if V0 is not None:
            changes["V0"] = V0
        if rpm is not None:
            changes["rpm"] = rpm
        template = project._document_points("airfoil_points")[0]
        points, memory = [], {}
        for k, airfoil in enumerate(airfoils):
            if len(airfoil) != 4:
                raise ValueError(f"airfoils[{k}] must be (x_rel, alpha, cl, cd), not {len(airfoil)} values.")
            x_rel, alpha, cl, cd = airfoil
            if not math.isfinite(_real(f"airfoils[{k}] x_rel", x_rel)):
                raise ValueError(f"airfoils[{k}] x_rel: {x_rel!r} is not a finite number.")
            if points and not x_rel > points[-1]["x_rel"]:
                raise ValueError(f"airfoils[{k}] x_rel {x_rel:g} must lie beyond the one before it, "
                                 f"{points[-1]['x_rel']:g}: airfoils are ordered by their position.")
            path = f"{_MEMORY_FOLDER}/airfoil-{k + 1}.csv"
            memory[path] = _polar_text(k, alpha, cl, cd)
            points.append(dict(template, x_rel=_plain(x_rel), data_type=_CSV_POLAR, csv_separator=0, path=path,
                               preceeding_line="Alpha", repeat=False))
        if len(points) < 2:
            raise ValueError(f"airfoils: the blade needs at least two airfoil points, not {len(points)}.")
        changes["airfoil_points"] = points
        given = sorted(set(settings) & set(changes))
        if given:
            raise ValueError(f"{given[0]} is set by from_arrays' own arguments; give it there.")
        changes.update(settings)
        project._core.memory = memory
        return project.update(changes)

    # ---- computations ----

    def _with(self, changes):
        changed = {k: v for k, v in changes.items() if v is not None}
        return self.copy().update(changed) if changed else self

    def operating_point(self, pitch=None, wind=None, rpm=None, threads=None):
        """The operating point (``korvane-cli op``): at ``pitch`` degrees, or at each angle
        of the project's pitch range (pitch 0 when pitch regulation is off); ``wind`` (m/s)
        and ``rpm`` in place of the project's."""
        project = self._with({"pitch": pitch, "wind": wind, "rpm": rpm})
        return Result(project._core.operating_point(_threads(threads)))

    def design(self, c_limit=None, pitch=None, threads=None):
        """The blade of maximal power with c/R at most ``c_limit`` (default: the project's)
        and its operating point (``korvane-cli design``)."""
        project = self._with({"compute_settings.design_c_limit": c_limit, "pitch": pitch})
        return Result(project._core.design(_threads(threads)))

    def characteristics(self, range=None, range_type=None, pitch=None, threads=None):
        """The characteristics (``korvane-cli char``) over ``range`` = (min, max, step) of
        the wind velocity (``range_type="wind"``) or tip speed ratio (``"tsr"``), for
        ``pitch`` or the project's pitch angles."""
        changes = {"pitch": pitch}
        if range is not None:
            values = numpy.atleast_1d(numpy.asarray(range, dtype=object)).tolist()
            if len(values) != 3:
                raise ValueError("range expects (min, max, step).")
            changes.update(zip(("ran_min", "ran_max", "ran_step"), values))
        if range_type is not None:
            if range_type not in ("wind", "tsr"):
                raise ValueError(f'range_type must be "wind" or "tsr", not {range_type!r}.')
            changes["range_type"] = 0 if range_type == "wind" else 1
        return Result(self._with(changes)._core.characteristics(_threads(threads)))

    def power_curve(self, threads=None, **turbine):
        """The power curve with the annual energy (``korvane-cli power-curve``); turbine
        settings by key in place of the project's (``rated_power=5e6``)."""
        project = self._with({f"turbine.{k}": v for k, v in turbine.items()})
        return Result(project._core.power_curve(_threads(threads)))

    def surface(self, tsr, pitch, wind=None, threads=None):
        """Cp, Ct and Cq over tip speed ratio x pitch (``korvane-cli surface``); ``tsr`` and
        ``pitch`` each a value or (min, max, step) (three values whose step is larger than
        max - min are refused: they are no range), ``wind`` in m/s (default: V0)."""
        ranges = [_real_array(numpy.atleast_1d(v), n).reshape(-1).tolist() for n, v in (("tsr", tsr), ("pitch", pitch))]
        wind = None if wind is None else _real("wind", wind)
        return Result(self._core.surface(*ranges, wind, _threads(threads)))

    def optimise(self, objective=None, climate=None, points=None, vary=None, max_chord=None, max_thrust=None,
                 max_thrust_ratio=None, max_root_moment=None, budget=None, method=None, free_root_chord=False,
                 start=None, threads=None):
        """Optimises the blade as ``korvane-cli optimise`` does, with its options as
        arguments (each ``None`` leaves the project's ``optimisation`` setting, or its
        default): ``objective`` "aep" (the annual energy of ``climate``, default the
        first) or "cp" (at the design point); ``points`` control points of chord and
        twist; ``vary`` a list (or comma-separated text) of "chord", "twist" and "tsr";
        ``max_chord`` in m; ``max_thrust`` in N or ``max_thrust_ratio`` of the starting
        blade's (one replaces the other); ``max_root_moment`` the largest root flapwise
        bending moment of one blade in N m; ``budget`` blade evaluations at most;
        ``method`` "auto", "slsqp" or "cobyla"; ``free_root_chord``; ``start``
        "project" or "designed".

        Returns an :class:`Optimisation`: the history, the blade, the before/after
        figures and the optimised :class:`Project` (not saved). When the optimised blade
        gives less than the starting one, ``worse`` holds korvane-cli's warning, which is
        also issued with :func:`warnings.warn`. Ctrl-C ends the search
        and returns the best feasible blade found (``end`` is "stopped"); before any,
        it raises :class:`KeyboardInterrupt`. Without a blade that meets every limit it
        raises :class:`korvane.Error`, as does a ``budget`` too small to reach the search's
        first blade (the message names the smallest); refused arguments raise
        :class:`ValueError`."""
        request = _korvane._OptimisationRequest()
        for name, value in (("objective", objective), ("climate", climate), ("method", method), ("start", start)):
            if value == "":
                raise ValueError(f"{name}: the value is empty; give one, or leave the option out.")
            if value is not None:
                setattr(request, name, str(value))
        if vary is not None:
            request.vary = _vary(vary)
        for name, value in (("points", points), ("budget", budget)):
            if value is not None:
                setattr(request, name, _whole(name, value))
        for name, value in (("max_chord", max_chord), ("max_thrust", max_thrust),
                            ("max_thrust_ratio", max_thrust_ratio), ("max_root_moment", max_root_moment)):
            if value is not None:
                setattr(request, name, _real(name, value))
        if not isinstance(free_root_chord, (bool, numpy.bool_)):
            raise ValueError(f"free_root_chord must be True or False, not {free_root_chord!r}.")
        request.free_root_chord = bool(free_root_chord)
        run = self._core.optimise(request, _threads(threads))
        result = Optimisation(run.json(), Project(run.project), run.worse())
        if result.worse:
            warnings.warn(result.worse, stacklevel=2)
        return result

    def __repr__(self):
        return f"<korvane.Project {self.path or '(not saved)'}>"
