#include "bemt/ProfileParamsNACA.h"

#include <cmath>
#include <numbers>

#include "bemt/Common.h"
#include "bemt/NacaTableData.h"

namespace bemt {

namespace {

// 0 to `wholeUpTo` in steps of 1, then the listed angles, then 30 to 180 in steps of 5.
std::vector<double> makeGrid(int wholeUpTo, std::initializer_list<double> between) {
    std::vector<double> grid;
    for (int a = 0; a <= wholeUpTo; ++a) grid.push_back(a);
    grid.insert(grid.end(), between);
    for (int a = 30; a <= 180; a += 5) grid.push_back(a);
    return grid;
}

ProfileParamsNACA::TableTriple makeTables(int airfoil, bool lift) {
    auto make = [&](int level) {
        const naca_data::RawTable& raw = naca_data::tables[airfoil][level];
        const std::vector<double> alpha(raw.alpha, raw.alpha + raw.size);
        const double* values = lift ? raw.cl : raw.cd;
        return spline(alpha, std::vector<double>(values, values + raw.size), spline::linear);
    };
    return {make(0), make(1), make(2)};
}

constexpr double kLowReynolds = 100000.0;
constexpr double kMiddleReynolds = 1000000.0;
constexpr double kHighReynolds = 10000000.0;

}  // namespace

const std::vector<double> alpha_extra_short = makeGrid(12, {14, 16, 18, 20, 22, 25});
const std::vector<double> alpha_shorter = makeGrid(14, {16, 18, 20, 22, 25});
const std::vector<double> alpha_short = makeGrid(16, {18, 20, 22, 25});
const std::vector<double> alpha_medium = makeGrid(18, {20, 22, 25});
const std::vector<double> alpha_medium_long = makeGrid(20, {22, 25});
const std::vector<double> alpha_long = makeGrid(27, {});

const ProfileParamsNACA::TableTriple ProfileParamsNACA::cl_naca0012 = makeTables(0, true);
const ProfileParamsNACA::TableTriple ProfileParamsNACA::cd_naca0012 = makeTables(0, false);
const ProfileParamsNACA::TableTriple ProfileParamsNACA::cl_naca0015 = makeTables(1, true);
const ProfileParamsNACA::TableTriple ProfileParamsNACA::cd_naca0015 = makeTables(1, false);
const ProfileParamsNACA::TableTriple ProfileParamsNACA::cl_naca0018 = makeTables(2, true);
const ProfileParamsNACA::TableTriple ProfileParamsNACA::cd_naca0018 = makeTables(2, false);
const ProfileParamsNACA::TableTriple ProfileParamsNACA::cl_naca0021 = makeTables(3, true);
const ProfileParamsNACA::TableTriple ProfileParamsNACA::cd_naca0021 = makeTables(3, false);
const ProfileParamsNACA::TableTriple ProfileParamsNACA::cl_naca0025 = makeTables(4, true);
const ProfileParamsNACA::TableTriple ProfileParamsNACA::cd_naca0025 = makeTables(4, false);

ProfileParamsNACA::ProfileParamsNACA(NACAairfoil airfoil) : m_airfoil(airfoil) {
    reynoldsRange = false;
    currentReynolds = kMiddleReynolds;
    reynoldsLo = kMiddleReynolds;
    reynoldsHi = kMiddleReynolds;
}

LiftDrag ProfileParamsNACA::coefficients(double alpha) {
    constexpr double pi = std::numbers::pi;
    if (alpha > pi) alpha -= 2.0 * pi;
    if (alpha < -pi) alpha += 2.0 * pi;

    const auto [clTables, cdTables] = tables();

    // Reynolds numbers outside the levels extrapolate from the two nearest levels.
    const bool lowPair = currentReynolds <= kMiddleReynolds;
    const std::size_t lower = lowPair ? 0 : 1;
    const std::size_t upper = lower + 1;
    const double t = lowPair ? (currentReynolds - kLowReynolds) / (kMiddleReynolds - kLowReynolds)
                             : (currentReynolds - kMiddleReynolds) / (kHighReynolds - kMiddleReynolds);

    // cl is odd and cd even in alpha: both are tabulated over |alpha|. The cl and cd
    // tables of one level share their angles, and most neighbouring levels do too, so
    // one or two searches serve all four tables.
    const double x = Common::rad2deg(std::fabs(alpha));
    const spline& lowerGrid = (*clTables)[lower];
    const spline& upperGrid = (*clTables)[upper];
    m_lowerPiece = lowerGrid.piece(x, m_lowerPiece);
    const bool sameGrid = lowerGrid.xValues().size() == upperGrid.xValues().size();
    m_upperPiece = sameGrid ? m_lowerPiece : upperGrid.piece(x, m_upperPiece);
    auto blend = [&](const TableTriple& tables) {
        const double a = tables[lower].evaluate(x, m_lowerPiece);
        const double b = tables[upper].evaluate(x, m_upperPiece);
        return a + t * (b - a);
    };
    const double cl = blend(*clTables);
    return {alpha >= 0 ? cl : -cl, blend(*cdTables)};
}

std::pair<const ProfileParamsNACA::TableTriple*, const ProfileParamsNACA::TableTriple*>
ProfileParamsNACA::tables() const {
    switch (m_airfoil) {
        case NACA_0012: return {&cl_naca0012, &cd_naca0012};
        case NACA_0015: return {&cl_naca0015, &cd_naca0015};
        case NACA_0018: return {&cl_naca0018, &cd_naca0018};
        case NACA_0021: return {&cl_naca0021, &cd_naca0021};
        default: return {&cl_naca0025, &cd_naca0025};
    }
}

void ProfileParamsNACA::appendTabulatedAngles(std::vector<double>& degrees) {
    // The tables hold |alpha|: each angle stands for both signs.
    for (const spline& level : *tables().first) {
        for (const double a : level.xValues()) {
            degrees.push_back(a);
            degrees.push_back(-a);
        }
    }
}

double ProfileParamsNACA::cl(double alpha) { return coefficients(alpha).cl; }
double ProfileParamsNACA::cd(double alpha) { return coefficients(alpha).cd; }

bool ProfileParamsNACA::hasReynoldsRange() { return true; }
void ProfileParamsNACA::setReynolds(double re) { currentReynolds = re; }
double ProfileParamsNACA::getReynoldsLo() { return 80000.0; }
double ProfileParamsNACA::getReynoldsHi() { return 5000000.0; }
bool ProfileParamsNACA::isNACAProfile() { return true; }

std::shared_ptr<ProfileParams> ProfileParamsNACA::copy(PolarCopies&) const {
    return std::make_shared<ProfileParamsNACA>(*this);
}

}  // namespace bemt
