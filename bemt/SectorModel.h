#pragma once
// Where each blade element of a coned, tilted, yawed rotor with prebent blades in a
// sheared wind lies, and the wind it sees at one azimuth position; the skewed-wake
// redistribution of the axial induction; the loads of a solved element.
//
// Element at distance r along the blade with prebend p, precone P, local cone c, tilt t,
// yaw y, hub-height wind U, hub height H, shear exponent alpha, azimuth psi:
//   distance from the shaft z = r cos P + p sin P, axial offset (downwind) x = -r sin P + p cos P;
//   height above the hub h = z cos psi cos t - x sin t, wind V = U (1 + h/H)^alpha;
//   normal to the coned blade Vx = V [cos y cos t cos c + (cos y sin t cos psi + sin y sin psi) sin c];
//   in the plane against the rotation Vy = V (cos y sin t sin psi - sin y cos psi) + Om z.
// The local cone is the precone less the slope angle of the prebend, c = P - atan(dp/dr):
// a blade bent upwind toward its tip (p falling) is coned further upwind.

#include <vector>

#include "bemt/Records.h"

namespace bemt {

class ProfileParams;

// The fixed geometry of one blade element.
struct ElementShape {
    double r = 0.0;        // centre, along the straight blade, m
    double z = 0.0;        // distance from the shaft axis, m
    double x = 0.0;        // axial offset from the hub centre, downwind positive, m
    double cosCone = 1.0;  // of the local cone angle
    double sinCone = 0.0;
    double ds = 0.0;       // length along the curved blade, sqrt(dr^2 + dp^2), m
};

// The wind one element sees at one azimuth position.
struct ElementInflow {
    double Vx = 0.0;  // normal to the coned blade, m/s
    double Vy = 0.0;  // in the plane of rotation against the rotation, m/s
    double h = 0.0;   // height above the hub, m
};

class SectorModel {
public:
    // Builds the blade's shape from the rotor of data (throws the spline messages for a
    // prebend list of one point or one out of order).
    explicit SectorModel(const InputDataSet& data);

    // Whether the rotor is the flat disc square to a uniform wind in one sector.
    bool plain() const { return m_plain; }
    int sectors() const { return m_sectors; }
    // Azimuth of sector k of sectors(), rad.
    double azimuth(int k) const;
    // R_p, the tip's distance from the shaft axis, m.
    double sweptRadius() const { return m_sweptRadius; }
    const ElementShape& shape(int i) const { return m_shape[static_cast<std::size_t>(i)]; }

    // The inflow of element i at azimuth psi with hub-height wind U and rotor speed Om.
    ElementInflow inflow(int i, double psi, double U, double Om) const;

    // The rotor's conditions as element i sees them, for the element solvers: V0 = Vx,
    // Om r = Vy, so that the local speed ratio (r/R) TSR is Vy / Vx.
    static OperatingConditions localConditions(const OperatingConditions& rotor, const ElementInflow& inflow,
                                               double r);

    // The state of an element without axial through-flow (Vx <= 0, yaw near 90 degrees
    // with cone): no induction, the inflow angle that of (Vx, Vy).
    static Solution withoutInduction(const BladeElement& element, const ElementInflow& inflow);

    // Pitt-Peters: the axial induction a of a solved element at relative position x and
    // azimuth psi redistributed over the skewed disc, a (1 + 15 pi/32 x tan(chi/2) cos psi'),
    // chi = (1 + 0.6 a) chi0 with chi0 the inflow skew angle and tan(chi/2) at most 1,
    // psi' measured from the most downwind blade position. a itself when the correction is
    // off or the inflow is not skewed.
    double skewedInduction(double a, double x, double psi) const;
    // The same applied to a solved element i at azimuth psi, its inflow angle, angle of
    // attack and coefficients following the new induction (polar set up for the element).
    void skew(Solution& s, int i, double psi, const ElementInflow& inflow, ProfileParams& polar) const;
    bool skewCorrected() const { return m_skew; }
    double skewAngle() const { return m_chi0; }           // chi0, rad
    double downwindAzimuth() const { return m_psiDownwind; }  // rad

    // Completes a solved element i: Np and Tp from W^2 = (Vx (1 - a))^2 + (Vy (1 + a'))^2,
    // dT = B Np cos c ds and dP = B Tp z ds Om (the rotor's share if every blade stood
    // here); not converged where they are not numbers.
    SectorElement loads(int i, const Solution& s, const ElementInflow& inflow, const OperatingConditions& rotor) const;

private:
    bool m_plain;
    int m_sectors;
    std::vector<ElementShape> m_shape;
    double m_sweptRadius = 0.0;
    double m_cosYaw, m_sinYaw, m_cosTilt, m_sinTilt;
    double m_hubHeight, m_shear;
    bool m_skew = false;
    double m_chi0 = 0.0;
    double m_psiDownwind = 0.0;
    double m_R;
};

}  // namespace bemt
