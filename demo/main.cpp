// Prints the operating point of the new-project rotor with each element solver.
#include <cstdio>

#include "DefaultRotor.h"
#include "bemt/BEMTTools.h"

int main() {
    const char* names[] = {"Ning", "Newton-Raphson", "2D fixed point"};
    std::printf("New-project rotor: R 25 m, Rh 1.5 m, 3 blades, V0 8 m/s, 18 rpm, NACA 0012, 100 elements\n");
    std::printf("%-16s %12s %8s %12s %8s %10s\n", "solver", "P [W]", "Cp", "T [N]", "Ct", "converged");
    for (auto solver : {bemt::Ning, bemt::NewtonRaphson, bemt::FixedPoint2D}) {
        bemt::BEMTTools tools(solver);
        const auto op = tools.analyzeOp(korvane::testing::defaultRotor(solver), korvane::testing::ignoreProgress, 0.0);
        std::printf("%-16s %12.1f %8.4f %12.1f %8.4f %10s\n", names[solver], op.P, op.Cp, op.T, op.Ct,
                    op.converged ? "yes" : "no");
    }
    return 0;
}
