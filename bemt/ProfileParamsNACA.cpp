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

double ProfileParamsNACA::evaluate(const TableTriple& tables, double alpha) const {
    constexpr double pi = std::numbers::pi;
    if (alpha > pi) alpha -= 2.0 * pi;
    if (alpha < -pi) alpha += 2.0 * pi;

    // Reynolds numbers outside the levels extrapolate from the two nearest levels.
    const bool lowPair = currentReynolds <= kMiddleReynolds;
    const spline& lower = lowPair ? tables[0] : tables[1];
    const spline& upper = lowPair ? tables[1] : tables[2];
    const double t = lowPair ? (currentReynolds - kLowReynolds) / (kMiddleReynolds - kLowReynolds)
                             : (currentReynolds - kMiddleReynolds) / (kHighReynolds - kMiddleReynolds);

    const double x = Common::rad2deg(std::fabs(alpha));
    // Most neighbouring levels share their angle grid: one search serves both tables.
    const std::size_t piece = lower.piece(x);
    const bool sameGrid = lower.xValues().size() == upper.xValues().size();
    const double a = lower.evaluate(x, piece);
    const double b = upper.evaluate(x, sameGrid ? piece : upper.piece(x));
    const double magnitude = a + t * (b - a);
    return alpha >= 0 ? magnitude : -magnitude;
}

double ProfileParamsNACA::cl(double alpha) {
    switch (m_airfoil) {
        case NACA_0012: return evaluate(cl_naca0012, alpha);
        case NACA_0015: return evaluate(cl_naca0015, alpha);
        case NACA_0018: return evaluate(cl_naca0018, alpha);
        case NACA_0021: return evaluate(cl_naca0021, alpha);
        default: return evaluate(cl_naca0025, alpha);
    }
}

double ProfileParamsNACA::cd(double alpha) {
    // cd is even in alpha: evaluate at |alpha| after folding.
    constexpr double pi = std::numbers::pi;
    if (alpha > pi) alpha -= 2.0 * pi;
    if (alpha < -pi) alpha += 2.0 * pi;
    const double folded = std::fabs(alpha);
    switch (m_airfoil) {
        case NACA_0012: return evaluate(cd_naca0012, folded);
        case NACA_0015: return evaluate(cd_naca0015, folded);
        case NACA_0018: return evaluate(cd_naca0018, folded);
        case NACA_0021: return evaluate(cd_naca0021, folded);
        default: return evaluate(cd_naca0025, folded);
    }
}

bool ProfileParamsNACA::hasReynoldsRange() { return true; }
void ProfileParamsNACA::setReynolds(double re) { currentReynolds = re; }
double ProfileParamsNACA::getReynoldsLo() { return 80000.0; }
double ProfileParamsNACA::getReynoldsHi() { return 5000000.0; }
bool ProfileParamsNACA::isNACAProfile() { return true; }

std::shared_ptr<ProfileParams> ProfileParamsNACA::copy(PolarCopies&) const {
    return std::make_shared<ProfileParamsNACA>(*this);
}

}  // namespace bemt
