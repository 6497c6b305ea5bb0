// xfoil-polar: computes a polar of an airfoil coordinate file with the xfoil-core
// adapter beside it, through the program's own XFOIL polar, and prints it as a comma
// CSV polar file (header line "Alpha,Cl,Cd"). Used to make the example polars.
//
// Usage: xfoil-polar COORDINATES REYNOLDS [ALPHA_MIN ALPHA_MAX ALPHA_STEP [NCRIT]]

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bemt/Error.h"
#include "bemt/ProfileParamsXfoil.h"

int main(int argc, char** argv) {
    if (argc != 3 && argc != 6 && argc != 7) {
        std::fprintf(stderr, "Usage: xfoil-polar COORDINATES REYNOLDS [ALPHA_MIN ALPHA_MAX ALPHA_STEP [NCRIT]]\n");
        return 2;
    }
    const double reynolds = std::atof(argv[2]);
    const double alphaMin = argc > 3 ? std::atof(argv[3]) : -10.0;
    const double alphaMax = argc > 3 ? std::atof(argv[4]) : 20.0;
    const double alphaStep = argc > 3 ? std::atof(argv[5]) : 0.5;
    const int ncrit = argc > 6 ? std::atoi(argv[6]) : 9;
    bemt::ProfileParamsXfoil polar;
    try {
        polar.setupData(argv[1], reynolds, 0.0, alphaMin, alphaMax, alphaStep, 5, ncrit, {});
    } catch (const bemt::Error& error) {
        std::fprintf(stderr, "xfoil-polar: %s\n", error.message().c_str());
        return 1;
    }
    std::printf("Alpha,Cl,Cd\n");
    for (std::size_t i = 0; i < polar.size(); ++i) {
        std::printf("%g,%.4f,%.5f\n", polar.alphaList()[i], polar.clList()[i], polar.cdList()[i]);
    }
    return 0;
}
