"""Results of the computations: arrays by the keys of korvane-cli's JSON documents."""

import json


class Result:
    """The result of one computation.

    Its quantities are attributes under the keys of ``korvane-cli``'s JSON (``P``,
    ``Cp``, ``Ct``, ``converged``, ...) holding numpy arrays: one value per pitch angle
    for ``op`` and ``design``, (step, pitch angle) for ``char``, one per wind speed for
    ``power-curve``, (tip speed ratio, pitch angle) matrices for ``surface``.
    ``elements`` (``op``, ``design``) maps the element keys (``r``, ``phi_deg``,
    ``alpha_deg``, ``a``, ``a_``, ``cl``, ``cd``, ``F``, ``Re``, ``dP``, ``dT``, ...)
    to (pitch angle, element) arrays. The document's other keys (``conditions``,
    ``sectors``, ``design``, ``tsr_target``, ``rated_wind_speed``, ``aep``, ...) are
    attributes too, as :meth:`to_dict` holds them. Results can be pickled.
    """

    def __init__(self, core):
        self._core = core
        self._arrays = None
        self._document = None

    def __getstate__(self):
        return {"command": self.command, "arrays": self._columns(), "json": self.to_json()}

    def __setstate__(self, state):
        self._core = _StoredResult(state["command"], state["arrays"], state["json"])
        self._arrays = state["arrays"]
        self._document = None

    @property
    def command(self):
        """The korvane-cli subcommand that gives the same result."""
        return self._core.command

    def _columns(self):
        if self._arrays is None:
            self._arrays = self._core.arrays()
        return self._arrays

    def _others(self):
        """The document's keys that are no array: its whole per-row lists excluded."""
        if self._document is None:
            document = self.to_dict()
            self._document = {k: v for k, v in document.items() if k not in ("command", "points", "steps")}
        return self._document

    def __getattr__(self, key):
        if key.startswith("_"):
            raise AttributeError(key)
        if key in self._columns():
            return self._columns()[key]
        if key in self._others():
            return self._others()[key]
        raise AttributeError(f"{self.command} results hold no {key!r}; they hold "
                             f"{', '.join(self.keys() + [k for k in self._others() if k not in self.keys()])}")

    def __dir__(self):
        return sorted(set(super().__dir__()) | set(self.keys()) | set(self._others()))

    def keys(self):
        """The names of the result's arrays."""
        return list(self._columns().keys())

    def to_json(self):
        """The JSON document korvane-cli writes for this result (``--json``)."""
        return self._core.json()

    def to_dict(self):
        """The JSON document as a dictionary: korvane-cli's keys and numbers (NaN as None)."""
        return json.loads(self.to_json())

    def to_dataframe(self):
        """The result's rows as a pandas DataFrame (pandas must be installed): one row per
        pitch angle (``op``, ``design``), per step and pitch angle (``char``), per wind
        speed (``power-curve``), or per tip speed ratio and pitch angle (``surface``)."""

        import numpy
        import pandas

        columns = {k: v for k, v in self._columns().items() if k != "elements"}
        table = {}
        if self.command == "char":
            pitches = columns["P"].shape[1]
            table["V0"] = numpy.repeat(columns.pop("V0"), pitches)
            table["TSR"] = numpy.repeat(columns.pop("TSR"), pitches)
        elif self.command == "surface":
            rows, pitches = columns["cp"].shape
            table["wind"] = numpy.full(rows * pitches, columns.pop("wind"))
            table["tsr"] = numpy.repeat(columns.pop("tsr"), pitches)
            table["pitch"] = numpy.tile(columns.pop("pitch"), rows)
        for key, value in columns.items():
            table[key] = numpy.asarray(value).reshape(-1)
        return pandas.DataFrame(table)

    def __repr__(self):
        return f"<korvane.Result {self.command}: {', '.join(self.keys())}>"


class _StoredResult:
    """What an unpickled Result holds in place of the computation's own object."""

    def __init__(self, command, arrays, document):
        self.command = command
        self._arrays = arrays
        self._document = document

    def arrays(self):
        return self._arrays

    def json(self):
        return self._document


class Optimisation:
    """The result of :meth:`Project.optimise`, as ``korvane-cli optimise --json`` gives it.

    ``history`` maps ``iteration``, ``evaluations``, ``objective`` (Wh or Cp),
    ``max_thrust`` (N), ``violation`` and ``feasible`` to arrays, one value per blade the
    optimiser asked for; ``blade`` holds the best blade's ``chord_points`` (x/R, c/R) and
    ``twist_points`` (x/R, degrees) as N x 2 arrays and its ``tsr_target`` (NaN unless
    varied); ``before`` and ``after`` the figures of the starting and the best blade
    (``aep``, ``design_cp``, ``peak_cp``, ``max_thrust``, ``max_root_moment``,
    ``blade_area``, ``tsr_target``); ``project`` the project with the best blade. The
    other keys of the document (``objective``, ``method``, ``end``, ``feasible``,
    ``evaluations``, ``thrust_limit``, ``root_moment_limit``, ``active``,
    ``stall_delay``) are attributes too. ``worse`` is korvane-cli's warning when the
    optimised blade gives less than the starting one ("The optimised blade gives less than
    the project's: ..."), '' otherwise.
    """

    def __init__(self, document, project, worse=""):
        self._document = document
        self.project = project
        self.worse = worse

    def to_json(self):
        """The JSON document korvane-cli optimise writes (``--json``)."""
        return self._document

    def to_dict(self):
        """The JSON document as a dictionary: korvane-cli's keys and numbers (NaN as None)."""
        return json.loads(self._document)

    @property
    def history(self):
        import numpy

        rows = self.to_dict()["history"]
        keys = ("iteration", "evaluations", "objective", "max_thrust", "violation", "feasible")
        return {k: numpy.array([numpy.nan if r[k] is None else r[k] for r in rows]) for k in keys}

    @property
    def blade(self):
        import numpy

        blade = self.to_dict()["blade"]
        return {"chord_points": numpy.array([[p["x_rel"], p["c_rel"]] for p in blade["chord_points"]]),
                "twist_points": numpy.array([[p["x_rel"], p["twist_deg"]] for p in blade["twist_points"]]),
                "tsr_target": numpy.nan if blade["tsr_target"] is None else blade["tsr_target"]}

    def __getattr__(self, key):
        if key.startswith("_"):
            raise AttributeError(key)
        document = self.to_dict()
        if key not in document:
            raise AttributeError(f"optimisation results hold no {key!r}; they hold {', '.join(document)}")
        return document[key]

    def to_dataframe(self):
        """The history as a pandas DataFrame (pandas must be installed), one row per blade."""
        import pandas

        return pandas.DataFrame(self.history)

    def __repr__(self):
        document = self.to_dict()
        return (f"<korvane.Optimisation {document['objective']}: {document['end']} after "
                f"{document['evaluations']} evaluations, feasible {document['feasible']}>")
