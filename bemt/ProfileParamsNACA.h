#pragma once
// Built-in symmetric NACA four-digit airfoils over the whole circle of angles of attack
// (Sheldahl and Klimas, 1981), at three Reynolds levels blended linearly.

#include <array>
#include <utility>
#include <vector>

#include "bemt/ProfileParams.h"
#include "bemt/spline.h"

namespace bemt {

enum NACAairfoil : int {
    NACA_0012 = 0,
    NACA_0015 = 1,
    NACA_0018 = 2,
    NACA_0021 = 3,
    NACA_0025 = 4,  // also any value outside 0 to 3
};

// The angle grids of the tables, in degrees.
extern const std::vector<double> alpha_extra_short;
extern const std::vector<double> alpha_shorter;
extern const std::vector<double> alpha_short;
extern const std::vector<double> alpha_medium;
extern const std::vector<double> alpha_medium_long;
extern const std::vector<double> alpha_long;

class ProfileParamsNACA : public ProfileParams {
public:
    // Tables of one airfoil: index 0 = low (Re 1e5), 1 = middle (1e6), 2 = high (1e7).
    using TableTriple = std::array<spline, 3>;

    explicit ProfileParamsNACA(NACAairfoil airfoil);

    double cl(double alpha) override;
    double cd(double alpha) override;
    LiftDrag coefficients(double alpha) override;
    bool hasReynoldsRange() override;
    void setReynolds(double re) override;
    double getReynoldsLo() override;
    double getReynoldsHi() override;
    bool isNACAProfile() override;
    std::shared_ptr<ProfileParams> copy(PolarCopies& copies) const override;
    // Those of all three Reynolds levels.
    void appendTabulatedAngles(std::vector<double>& degrees) override;

    NACAairfoil airfoil() const { return m_airfoil; }

    static const TableTriple cl_naca0012, cd_naca0012;
    static const TableTriple cl_naca0015, cd_naca0015;
    static const TableTriple cl_naca0018, cd_naca0018;
    static const TableTriple cl_naca0021, cd_naca0021;
    static const TableTriple cl_naca0025, cd_naca0025;

private:
    // The lift and drag tables of the airfoil.
    std::pair<const TableTriple*, const TableTriple*> tables() const;

    NACAairfoil m_airfoil;
    // Table pieces of the last lookup in the lower and upper Reynolds level, where the
    // next searches start.
    std::size_t m_lowerPiece = 0;
    std::size_t m_upperPiece = 0;
};

}  // namespace bemt
