// xfoil-polar: computes a polar of an airfoil coordinate file with the xfoil-core
// adapter beside it, through the program's own XFOIL polar, and prints it as a comma
// CSV polar file (header line "Alpha,Cl,Cd"). Used to make the example polars.
//
// Usage: xfoil-polar COORDINATES REYNOLDS [ALPHA_MIN ALPHA_MAX ALPHA_STEP [NCRIT]]

#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

#include "bemt/Error.h"
#include "bemt/NumberText.h"
#include "bemt/ProfileParamsXfoil.h"
#include "bemt/ValueLimits.h"

namespace {

constexpr const char* kUsage = "Usage: xfoil-polar COORDINATES REYNOLDS [ALPHA_MIN ALPHA_MAX ALPHA_STEP [NCRIT]]\n";

// An argument as the program reads every number (one finite number, a decimal point);
// empty, after saying why, for anything else.
std::optional<double> number(const char* name, const char* text, bool whole = false) {
    using Whole = bemt::NumberText::Whole;
    const Whole parsed = bemt::NumberText::wholeDouble(text);
    const char* problem = parsed.kind == Whole::NotANumber ? "a number"
                          : parsed.kind == Whole::NotFinite ? "a finite number"
                          : whole && parsed.value != std::trunc(parsed.value) ? "a whole number"
                                                                               : nullptr;
    if (!problem) return parsed.value;
    std::fprintf(stderr, "xfoil-polar: %s \"%s\" is not %s.\n", name, text, problem);
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 6 && argc != 7) {
        std::fprintf(stderr, "%s", kUsage);
        return 2;
    }
    const auto reynolds = number("REYNOLDS", argv[2]);
    const auto alphaMin = argc > 3 ? number("ALPHA_MIN", argv[3]) : -10.0;
    const auto alphaMax = argc > 3 ? number("ALPHA_MAX", argv[4]) : 20.0;
    const auto alphaStep = argc > 3 ? number("ALPHA_STEP", argv[5]) : 0.5;
    const auto ncrit = argc > 6 ? number("NCRIT", argv[6], true) : 9.0;
    if (!reynolds || !alphaMin || !alphaMax || !alphaStep || !ncrit) {
        std::fprintf(stderr, "%s", kUsage);
        return 2;
    }
    if (const auto refusal = bemt::Limits::ncrit.check(*ncrit)) {
        std::fprintf(stderr, "xfoil-polar: %s\n", refusal->c_str());
        return 2;
    }
    bemt::ProfileParamsXfoil polar;
    try {
        polar.setupData(argv[1], *reynolds, 0.0, *alphaMin, *alphaMax, *alphaStep, 5, static_cast<int>(*ncrit), {});
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
