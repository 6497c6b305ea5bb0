"""Parameter studies: one computation per row of a table of variations, on local cores or
a Dask cluster, the rows' failures reported in the table."""

import functools
import json
import math
import multiprocessing
import numbers
import os

from . import _korvane
from ._local_pool import in_worker, run_chunks
from ._project import Project, _plain


def grid(**lists):
    """Every combination of the lists, as a table (dict of equal lists) for :func:`study`;
    the last name varies fastest: ``grid(tsr=[6, 7], pitch=[0, 1])``."""
    names = list(lists)
    values = [list(lists[n]) for n in names]
    rows = _korvane.grid_rows([len(v) for v in values])
    return {name: [values[i][row[i]] for row in rows] for i, name in enumerate(names)}


def load_study(path):
    """A study file as korvane-cli study reads it: (project, variations, compute)."""
    project_path, compute, columns, rows = _korvane.read_study(os.fspath(path))
    rows = json.loads(rows)
    return Project.load(project_path), {c: [row[i] for row in rows] for i, c in enumerate(columns)}, compute


def _table(variations):
    """Columns and rows of a dict of lists or a pandas DataFrame; any other shape is refused
    before a row runs, as a scalar, text or one-shot iterator would make rows nobody meant."""
    if hasattr(variations, "to_dict") and hasattr(variations, "columns"):
        duplicated = [str(c) for i, c in enumerate(variations.columns) if c in list(variations.columns)[:i]]
        if duplicated:
            raise ValueError(f'the variations name the column "{duplicated[0]}" twice.')
        variations = {c: list(variations[c]) for c in variations.columns}
    if not isinstance(variations, dict):
        raise ValueError("the variations must be a dict of equally long lists or a pandas DataFrame, "
                         f"not {type(variations).__name__}.")
    for column, values in variations.items():
        if (isinstance(values, (str, bytes, dict)) or not hasattr(values, "__len__")
                or not hasattr(values, "__getitem__") or getattr(values, "ndim", 1) != 1):
            raise ValueError(f'the column "{column}" must be a list (or array) of values, '
                             f"not {type(values).__name__}.")
    columns = [str(c) for c in variations]
    variations = {c: list(values) for c, values in variations.items()}
    lengths = {len(variations[c]) for c in variations}
    if len(lengths) > 1:
        raise ValueError(f"the variations must be equally long lists; their lengths are {sorted(lengths)}.")
    count = lengths.pop() if lengths else 0
    rows = [[_plain(variations[c][i]) for c in variations] for i in range(count)]
    return columns, rows


def _base(project):
    """What a worker needs of the project, its airfoil files included, so that a cluster's
    workers need not see the client's files."""
    state = project.__getstate__()
    for path in project._core.data_files():
        if path not in state["memory"]:
            state["memory"][path] = _korvane.read_text(path)
    return state


def _worker_project(base):
    project = Project.__new__(Project)
    project.__setstate__(base)
    return project._core


def _function_row(core, compute, columns, row):
    """A row computed by the user's function: (values, error); whatever fails is the row's error."""
    try:
        values = compute(Project(core.copy()).update(dict(zip(columns, row))))
        if not isinstance(values, dict):
            raise TypeError(f"the compute function must return a dict of numbers, not {type(values).__name__}.")
        clashes = [k for k in values if k in columns or k in ("variant", "error")]
        if clashes:
            raise ValueError(f"the compute function's result {clashes[0]!r} is also a column of the study.")
        return {str(k): float(v) for k, v in values.items()}, ""
    except (ValueError, _korvane.Error) as error:
        return None, str(error)
    # A row's failure of any kind is that row's error: sys.exit() in the function too, which
    # would otherwise end a worker process; Ctrl-C (KeyboardInterrupt) still stops the study.
    except (Exception, SystemExit) as error:  # noqa: BLE001
        return None, f"{type(error).__name__}: {error}"


def _run_chunk(base, compute, columns, rows):
    """Rows of a study in one worker: (values, error) per row."""
    core = _worker_project(base)
    if not callable(compute):
        return core.study_rows(compute, columns, rows)
    return [_function_row(core, compute, columns, row) for row in rows]


def _count(name, value, allow_none=True):
    if value is None and allow_none:
        return None
    if isinstance(value, bool) or not isinstance(value, numbers.Integral) or value < 1:
        raise ValueError(f"{name} must be a whole number of at least 1, not {value!r}.")
    return int(value)


def _chunks(rows, workers, chunk_size):
    size = chunk_size or max(1, min(500, math.ceil(len(rows) / (4 * workers))))
    return [rows[i:i + size] for i in range(0, len(rows), size)]


def study(base_project, variations, compute="operating_point", workers=None, client=None, chunk_size=None):
    """Runs ``compute`` once per row of ``variations`` on a copy of ``base_project``.

    ``variations`` is a dict of equally long lists or a pandas DataFrame; each column
    names a setting as :meth:`Project.update` does (``R``, ``tsr_target``,
    ``conditions.B``, ``pitch``, ``wind``, ``rpm``, ``tsr``, ``chord_scale``,
    ``twist_offset``, ...). ``compute`` is ``"operating_point"`` (P, T, Cp, Ct,
    converged, extrapolated at the row's pitch or the project's first), ``"design"`` (the
    same of the designed blade), ``"power_curve"`` (tsr_target, rated_wind_speed, aep_MWh
    and capacity_factor of the first wind climate), or a function of a Project returning
    a dict of numbers (defined at the top level of a module, so that other processes can
    import it).

    With ``client`` (a ``dask.distributed.Client``) the rows go to its cluster in chunks;
    otherwise they run in ``workers`` local processes (default: every core). Returns a
    pandas DataFrame when pandas is installed (else a dict of lists): the columns of
    ``korvane-cli study``'s table: ``variant`` (from 1), the variation columns, the results, and ``error``, the message of a row that failed ('' otherwise),
    whose results are NaN. A failing row never stops the study, nor does a function
    that calls ``sys.exit()``; Ctrl-C does. A table of another shape, an unknown column,
    a result's name or two columns of one setting or quantity raise :class:`ValueError`
    before any row runs.
    """
    columns, rows = _table(variations)
    for i, column in enumerate(columns):
        if column == "airfoil_points":
            for row in rows:
                row[i] = base_project._absolute_paths(row[i]) if isinstance(row[i], list) else row[i]
    if not callable(compute):
        _korvane.study_outputs(compute)
    workers, chunk_size = _count("workers", workers), _count("chunk_size", chunk_size)
    base_project._core.check_study_columns(columns, "" if callable(compute) else compute)
    base = _base(base_project)
    if client is not None and not client.ncores():
        client.wait_for_workers(1)  # a cluster a batch system starts may have none yet
    workers = workers or (len(client.ncores()) if client is not None else os.cpu_count() or 1)
    if client is None and (in_worker() or multiprocessing.current_process().daemon):
        workers = 1  # a study inside a worker of another runs in that worker
    chunks = _chunks(rows, workers, chunk_size)
    if client is not None:
        futures = client.map(_run_chunk, [base] * len(chunks), [compute] * len(chunks), [columns] * len(chunks),
                             chunks, pure=False)
        try:
            parts = client.gather(futures)
        except BaseException:
            # Ctrl-C (or a lost client) leaves no work of this study on the cluster.
            client.cancel(futures)
            raise
    elif workers == 1:
        parts = [_run_chunk(base, compute, columns, chunk) for chunk in chunks]
    else:
        parts = run_chunks(functools.partial(_run_chunk, base, compute, columns), chunks, workers)
    return _result_table(columns, rows, [r for part in parts for r in part], compute)


def _result_table(columns, rows, results, compute):
    if callable(compute):
        outputs = []
        for values, _ in results:
            outputs += [k for k in (values or {}) if k not in outputs]
        values = [[(v or {}).get(k, math.nan) for k in outputs] for v, _ in results]
    else:
        outputs = _korvane.study_outputs(compute)
        values = [v for v, _ in results]
    table = {"variant": list(range(1, len(rows) + 1))}
    table.update({c: [row[i] for row in rows] for i, c in enumerate(columns)})
    for k, name in enumerate(outputs):
        # A setting that is also a result (power_curve's tsr_target): the result, the
        # setting's value where the row failed.
        given = table.get(name, [math.nan] * len(values))
        table[name] = [g if error else v[k] for v, g, (_, error) in zip(values, given, results)]
    # Whether a row's computation converged, extrapolated: true or false, as the results say.
    for name in ("converged", "extrapolated"):
        if name in table:
            table[name] = [bool(v) if v == v else None for v in table[name]]
    table["error"] = [error for _, error in results]
    try:
        import pandas
    except ImportError:
        return table
    return pandas.DataFrame(table)
