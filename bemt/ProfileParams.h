#pragma once
// The polar interface: every airfoil data source answers lift and drag coefficients at
// an angle of attack (radians) and, where it has Reynolds-dependent data, follows the
// Reynolds number set on it.

#include <memory>
#include <vector>

namespace bemt {

class PolarCopies;

// Lift and drag coefficients at one angle of attack.
struct LiftDrag {
    double cl;
    double cd;
};

class ProfileParams {
public:
    virtual ~ProfileParams() = default;

    virtual double cl(double alpha);
    virtual double cd(double alpha);
    // Both coefficients with one table lookup: exactly cl(alpha) and cd(alpha). The
    // solvers ask for them together at every iteration.
    virtual LiftDrag coefficients(double alpha);
    virtual double alphaMin();
    virtual double alphaMax();
    // Outside [alphaMin, alphaMax] as the subclass reports them.
    virtual bool outOfRange(double alpha);
    virtual void setReynoldsRange(double lo, double hi);
    virtual bool hasReynoldsRange();
    virtual void setReynolds(double re);
    virtual double getReynoldsLo();
    virtual double getReynoldsHi();
    virtual bool isReynoldsCombination();
    virtual bool isNACAProfile();
    virtual double getCurrentReynolds();
    // Appends the angles (degrees) at which the data are given; nothing for data without
    // a table.
    virtual void appendTabulatedAngles(std::vector<double>& degrees);

    // A copy with state of its own, for a computation on another thread; polars this one
    // refers to are taken from copies, so that sharing is kept. The base answers null
    // (cannot be copied): a subclass that changes any answer of this interface overrides
    // it with its own type.
    virtual std::shared_ptr<ProfileParams> copy(PolarCopies& copies) const;

protected:
    ProfileParams() = default;
    ProfileParams(const ProfileParams&) = default;
    ProfileParams& operator=(const ProfileParams&) = default;

    bool reynoldsRange = false;
    double currentReynolds = 1000000.0;
    double reynoldsLo = 1000000.0;
    double reynoldsHi = 1000000.0;
};

}  // namespace bemt
