"""The NREL 5-MW rotor from Python: one operating point, its blade elements, the power
curve with the annual energy, and a change of settings.

Run from the source folder after building:
    PYTHONPATH=build/python python3 examples/python/operating_point.py
"""

import os

import korvane

here = os.path.dirname(os.path.abspath(__file__))
rotor = korvane.Project.load(os.path.join(here, "..", "nrel5mw.kvp"))
print(f"R = {rotor.conditions.R} m, {rotor.conditions.B} blades, {rotor.solver_settings.n_elements} elements")

point = rotor.operating_point(pitch=0, wind=9, rpm=10.3)
print(f"At 9 m/s and 10.3 rpm: P = {point.P[0] / 1e3:.0f} kW, Cp = {point.Cp[0]:.4f}, Ct = {point.Ct[0]:.4f}")
elements = point.elements
print(f"Angle of attack at the tip: {elements['alpha_deg'][0][-1]:.2f} deg, axial induction {elements['a'][0][-1]:.3f}")

curve = rotor.power_curve()
aep = curve.to_dict()["aep"][0]
print(f"Rated wind speed {curve.to_dict()['rated_wind_speed']:.2f} m/s; {aep['name']}: {aep['aep_MWh']:.0f} MWh a year")

try:
    rotor.conditions.R = 400
except ValueError as refusal:
    print("Refused:", refusal)
