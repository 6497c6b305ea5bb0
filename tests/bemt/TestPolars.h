#pragma once
// Polars with closed-form coefficients for verification cases, and tabulated ones.

#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <sstream>
#include <string>

#include "bemt/ProfileParams.h"
#include "bemt/ProfileParamsCSV.h"

namespace korvane::testing {

// Thin-airfoil lift cl = 2 pi alpha with a constant drag (0 for an ideal airfoil).
class ThinAirfoilPolar : public bemt::ProfileParams {
public:
    explicit ThinAirfoilPolar(double drag = 0.0) : m_drag(drag) {}
    double cl(double alpha) override { return 2.0 * std::numbers::pi * alpha; }
    double cd(double) override { return m_drag; }

private:
    double m_drag;
};

// Answers NaN for every angle.
class NaNPolar : public bemt::ProfileParams {
public:
    double cl(double) override { return std::numeric_limits<double>::quiet_NaN(); }
    double cd(double) override { return std::numeric_limits<double>::quiet_NaN(); }
};

// Fixed coefficients over a limited range of angles (radians).
class ConstantPolar : public bemt::ProfileParams {
public:
    ConstantPolar(double cl, double cd, double lo = -3.2, double hi = 3.2) : m_cl(cl), m_cd(cd), m_lo(lo), m_hi(hi) {}
    double cl(double) override { return m_cl; }
    double cd(double) override { return m_cd; }
    double alphaMin() override { return m_lo; }
    double alphaMax() override { return m_hi; }

private:
    double m_cl, m_cd, m_lo, m_hi;
};

// A polar with a Reynolds range that records the Reynolds numbers set on it.
class ReynoldsRecordingPolar : public bemt::ProfileParams {
public:
    ReynoldsRecordingPolar() { reynoldsRange = true; }
    double cl(double alpha) override { return 2.0 * std::numbers::pi * alpha; }
    double cd(double) override { return 0.01; }
    void setReynolds(double re) override {
        currentReynolds = re;
        ++calls;
    }
    int calls = 0;
};

// A CSV polar of the given text, whose header line starts with "alpha".
inline std::shared_ptr<bemt::ProfileParamsCSV> csvPolar(const std::string& text) {
    auto polar = std::make_shared<bemt::ProfileParamsCSV>();
    std::istringstream in(text);
    polar->loadFile(&in, "alpha", bemt::Comma);
    return polar;
}

}  // namespace korvane::testing
