#pragma once
// A polar tabulated over a limited range of angles of attack (from a CSV file or an
// XFOIL sweep), extended to the full circle with the built-in NACA data of the nearest
// relative thickness and interpolated by cubic Hermite splines. The tabulated range
// stays known, so results outside it can be reported as extrapolated.

#include <string>
#include <vector>

#include "bemt/ProfileParams.h"
#include "bemt/spline.h"

namespace bemt {

// How a list polar is continued beyond its tabulated angles.
enum class PolarExtension {
    Naca,     // the built-in NACA table of the nearest thickness, joined across a gap
    Viterna,  // the Viterna-Corrigan formulas matched to the ends of the table
};

class ProfileParamsList : public ProfileParams {
public:
    // Relative thickness of a list polar whose airfoil is not known, fraction of chord.
    static constexpr double kDefaultThickness = 0.15;

    static inline const std::string kNotFiniteAngles = "The angles of attack of a polar must be finite numbers.";

    ProfileParamsList();

    // Angles are folded into [-pi, pi]; the splines are built on first use.
    double cl(double alpha) override;
    double cd(double alpha) override;
    LiftDrag coefficients(double alpha) override;
    double alphaMin() override;
    double alphaMax() override;
    // Outside the tabulated angles; alpha is not folded.
    bool outOfRange(double alpha) override;
    // Stores re and rebuilds the splines at once, since the NACA extension depends on it.
    void setReynolds(double re) override;
    std::shared_ptr<ProfileParams> copy(PolarCopies& copies) const override;
    void appendTabulatedAngles(std::vector<double>& degrees) override;

    // Clears the tabulated points; the splines and the angle bounds stay as they are.
    void emptyData();
    // Rebuilds both full-circle splines from the tabulated points. Throws the spline
    // messages, "Increase the number of points to create a spline." when no point is
    // tabulated, and kNotFiniteAngles for an infinite or NaN first or last angle.
    void setSplines();

    const std::vector<double>& alphaList() const { return m_alpha; }
    const std::vector<double>& clList() const { return m_cl; }
    const std::vector<double>& cdList() const { return m_cd; }
    std::size_t size() const { return m_alpha.size(); }

    // Fraction of chord; picks the NACA airfoil of the full-circle extension.
    double relativeThickness() const { return m_thickness; }
    void setRelativeThickness(double thickness) { m_thickness = thickness; }

    // The extension beyond the tabulated angles; cdMax is the drag coefficient at 90
    // degrees of the Viterna extension. The splines are rebuilt on next use.
    void setExtension(PolarExtension kind, double cdMax);
    PolarExtension extension() const { return m_extension; }
    double extensionCdMax() const { return m_cdMax; }

    // Replaces the tabulated points (degrees, strictly increasing) and sets the angle
    // bounds; the splines are rebuilt on next use.
    void setTable(std::vector<double> alphaDeg, std::vector<double> cl, std::vector<double> cd);

protected:
    void appendPoint(double alphaDeg, double cl, double cd);
    // Sets the angle bounds to the first and the last tabulated angle.
    void setBoundsFromList();

    std::vector<double> m_alpha;  // degrees, ascending
    std::vector<double> m_cl;
    std::vector<double> m_cd;
    double m_lowestDeg = 0.0;
    double m_highestDeg = 0.0;
    bool m_splinesReady = false;
    spline m_clSpline;
    spline m_cdSpline;
    double m_thickness = kDefaultThickness;
    std::size_t m_piece = 0;  // spline piece of the last lookup, where the next search starts
    PolarExtension m_extension = PolarExtension::Naca;
    double m_cdMax = 0.0;

private:
    using Samples = std::vector<double>;
    void appendNacaExtension(Samples& a, Samples& cl, Samples& cd, bool leading) const;
    void appendViternaExtension(Samples& a, Samples& cl, Samples& cd, bool leading) const;
};

}  // namespace bemt
