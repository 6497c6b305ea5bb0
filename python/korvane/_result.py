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
    to (pitch angle, element) arrays.
    """

    def __init__(self, core):
        self._core = core
        self._arrays = None

    @property
    def command(self):
        """The korvane-cli subcommand that gives the same result."""
        return self._core.command

    def _columns(self):
        if self._arrays is None:
            self._arrays = self._core.arrays()
        return self._arrays

    def __getattr__(self, key):
        if key.startswith("_"):
            raise AttributeError(key)
        try:
            return self._columns()[key]
        except KeyError:
            raise AttributeError(f"{self.command} results hold no {key!r}; they hold "
                                 f"{', '.join(self.keys())}") from None

    def __dir__(self):
        return sorted(set(super().__dir__()) | set(self.keys()))

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
