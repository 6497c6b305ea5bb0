"""A study of the NREL 5-MW rotor over tip speed ratio and pitch, plotted with Matplotlib:
the power coefficient of each variant, one curve per pitch angle.

    PYTHONPATH=build/python python3 examples/python/tsr_pitch_study.py [cp.png] [SCHEDULER]

With SCHEDULER (such as tcp://head-node:8786, a running Dask scheduler) the rows run on
that cluster; without, on the local cores.
"""

import os
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt
import numpy

import korvane

here = os.path.dirname(os.path.abspath(__file__))
rotor = korvane.Project.load(os.path.join(here, "..", "nrel5mw.kvp"))
variations = korvane.grid(pitch=[-2.0, 0.0, 2.0, 4.0, 6.0], tsr=numpy.round(numpy.arange(3, 13.01, 0.05), 2).tolist())

if len(sys.argv) > 2:
    from distributed import Client

    with Client(sys.argv[2]) as client:
        table = korvane.study(rotor, variations, client=client)
else:
    table = korvane.study(rotor, variations)

print(f"{len(table)} variants, {(table.error != '').sum()} failed")
best = table.loc[table.Cp.idxmax()]
print(f"Largest Cp {best.Cp:.4f} at tip speed ratio {best.tsr} and pitch {best.pitch} deg")

figure, axes = plt.subplots(figsize=(7, 4.5))
for pitch, rows in table.groupby("pitch"):
    axes.plot(rows.tsr, rows.Cp, label=f"pitch {pitch:g}°")
axes.set_xlabel("tip speed ratio λ")
axes.set_ylabel("power coefficient Cp")
axes.set_ylim(0, 0.6)
axes.grid(True, alpha=0.3)
axes.legend()
axes.set_title("NREL 5-MW rotor: Cp over λ and pitch")
output = sys.argv[1] if len(sys.argv) > 1 else "cp_study.png"
figure.savefig(output, dpi=120, bbox_inches="tight")
print("Created", output)
