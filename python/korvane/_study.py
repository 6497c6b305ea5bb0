"""Parameter studies: one computation per row of a table of variations, on local cores or
a Dask cluster, the rows' failures reported in the table."""

import json
import math
import os

from . import _korvane
from ._project import Project, _plain


def grid(**lists):
    """Every combination of the lists, as a table (dict of equal lists) for :func:`study`;
    the last name varies fastest: ``grid(tsr=[6, 7], pitch=[0, 1])``."""
    names = list(lists)
    rows = json.loads(_korvane.grid_rows(json.dumps([[_plain(v) for v in lists[n]] for n in names])))
    return {name: [row[i] for row in rows] for i, name in enumerate(names)}


def load_study(path):
    """A study file as korvane-cli study reads it: (project, variations, compute)."""
    project_path, compute, columns, rows = _korvane.read_study(os.fspath(path))
    rows = json.loads(rows)
    return Project.load(project_path), {c: [row[i] for row in rows] for i, c in enumerate(columns)}, compute


def _table(variations):
    """Columns and rows of a dict of lists or a pandas DataFrame."""
    if hasattr(variations, "to_dict") and hasattr(variations, "columns"):
        variations = {c: list(variations[c]) for c in variations.columns}
    columns = [str(c) for c in variations]
    lengths = {len(variations[c]) for c in variations}
    if len(lengths) > 1:
        raise ValueError(f"the variations must be equally long lists; their lengths are {sorted(lengths)}.")
    count = lengths.pop() if lengths else 0
    rows = [[_plain(variations[c][i]) for c in variations] for i in range(count)]
    return columns, rows


def _base(project):
    """What a worker needs of the project, its airfoil files included, so that a cluster's
    workers need not see the client's files."""
    memory = dict(project._core.memory)
    for path in project._core.data_files():
        if path not in memory:
            memory[path] = _korvane.read_text(path)
    return project.document(), project.path, memory


def _worker_project(base):
    document, path, memory = base
    core = _korvane._Project.from_document(document, path)
    core.memory = memory
    return core


def _run_chunk(base, compute, columns, rows):
    """Rows of a study in one worker: (values, error) per row."""
    core = _worker_project(base)
    if not callable(compute):
        return core.study_rows(compute, columns, json.dumps(rows))
    results = []
    for row in rows:
        try:
            project = Project(core.copy()).update(dict(zip(columns, row)))
            results.append((compute(project), ""))
        except (ValueError, _korvane.Error) as error:
            results.append((None, str(error)))
    return results


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
    whose results are NaN. A failing row never stops the study.
    """
    columns, rows = _table(variations)
    if not callable(compute):
        _korvane.study_outputs(compute)
    base = _base(base_project)
    workers = workers or (len(client.ncores()) if client is not None else os.cpu_count() or 1)
    chunks = _chunks(rows, workers, chunk_size)
    if client is not None:
        futures = client.map(_run_chunk, [base] * len(chunks), [compute] * len(chunks), [columns] * len(chunks),
                             chunks, pure=False)
        parts = client.gather(futures)
    elif workers == 1:
        parts = [_run_chunk(base, compute, columns, chunk) for chunk in chunks]
    else:
        from concurrent.futures import ProcessPoolExecutor

        with ProcessPoolExecutor(workers) as pool:
            parts = list(pool.map(_run_chunk, [base] * len(chunks), [compute] * len(chunks),
                                  [columns] * len(chunks), chunks))
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
        table[name] = [v[k] for v in values]
    table["error"] = [error for _, error in results]
    try:
        import pandas
    except ImportError:
        return table
    return pandas.DataFrame(table)
