"""Korvane from Python: wind turbine rotors by blade element momentum theory.

A :class:`Project` holds everything a ``.kvp`` file holds. Its settings are attributes
of its sections under the file's key names (``project.conditions.R``,
``project.turbine.tsr_target``), checked against the same limits with the same messages
(:class:`ValueError`). The computations (:meth:`Project.operating_point`,
:meth:`Project.characteristics`, :meth:`Project.design`, :meth:`Project.power_curve`,
:meth:`Project.surface`, and :meth:`Project.optimise`, which gives an
:class:`Optimisation`) run the core of ``korvane-cli`` with the interpreter's lock
released, stop with Ctrl-C (:class:`KeyboardInterrupt`), and give :class:`Result`
objects whose arrays and :meth:`Result.to_dict` use the keys of ``korvane-cli``'s JSON.
:func:`study` runs a table of variations on local cores or a Dask cluster.

XFOIL airfoil points need the adapter ``xfoil-core``: the program named by the
environment variable ``KORVANE_XFOIL_CORE``, otherwise ``lib/korvane/xfoil-core`` of an
installed Korvane beside this package's installation, otherwise ``xfoil-core`` in this
package's folder (a build tree).
"""

import os as _os

from . import _korvane
from ._korvane import Error
from ._project import Project, Settings
from ._result import Optimisation, Result
from ._study import grid, load_study, study


def _xfoil_candidates():
    named = _os.environ.get("KORVANE_XFOIL_CORE")
    if named:
        return [named]
    here = _os.path.dirname(_os.path.abspath(__file__))
    installed = _os.path.normpath(_os.path.join(here, "..", "..", "..", "korvane", "xfoil-core"))
    return [installed, _os.path.join(here, "xfoil-core")]


_korvane.set_xfoil_candidates(_xfoil_candidates())

__all__ = ["Error", "Optimisation", "Project", "Result", "Settings", "grid", "load_study", "study"]
