// korvane-cli: the rotor computations of a .kvp project without a display.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <system_error>
#include <vector>

#include "bemt/BEMTTools.h"
#include "bemt/Common.h"
#include "bemt/Error.h"
#include "bemt/MemoryBudget.h"
#include "bemt/NumberText.h"
#include "bemt/ValueLimits.h"
#include "cli/commands.h"
#include "cli/option_checks.h"
#include "cli/subcommands.h"
#include "korvane_version.h"

namespace {

using namespace korvane::cli;
namespace Limits = bemt::Limits;

const char* const kFooterResults = R"(Results:
  A summary table goes to standard output. --csv DIR writes CSV files with a header
  row and units: for op and design <cmd>_summary.csv (one row per pitch angle) and
  <cmd>_elements_<N>_pitch_<P>.csv (one row per blade element, N numbering the pitch
  angles), for design also design_blade.csv; for char characteristics.csv (one row
  per step and pitch angle). The set appears complete or not at all. No output may
  be the project or one of its airfoil files. Each file written is listed on stderr
  as "Created", "Replaced" or (a pipe, a device: written in place) "Wrote".
  --json FILE (or - for standard output, which then holds the JSON alone) writes
  SI units with angles in degrees:
    op, design: {"command", "conditions": {"R", "Rh", "B", "V0", "TSR", "Om", "rho", "mu"},
      "points": [{"pitch", "P", "T", "Cp", "Ct", "converged", "extrapolated",
        "elements": [{"x_rel", "r", "c", "twist_deg", "phi_deg", "alpha_deg",
          "alpha_opt_deg", "a", "a_", "cl", "cd", "F", "Re", "dP", "dT",
          "converged", "extrapolated"}]}]}
      design adds "design": {"chord_points": [{"x_rel", "c_rel"}],
                             "twist_points": [{"x_rel", "twist_deg"}]}
    char: {"command", "range_type": "wind_velocity" | "tip_speed_ratio",
      "steps": [{"V0", "TSR", "points": [{"pitch", "P", "T", "Cp", "Ct",
        "converged", "extrapolated"}]}]}
    power-curve: {"command", "tsr_target", "rated_wind_speed",
      "points": [{"V0", "region", "rpm", "TSR", "pitch", "P_aero", "P", "T", "Q",
        "Cp", "Ct", "Cq", "converged", "extrapolated", "pitch_limited", "over_rated",
        "motoring"}],
      "aep": [{"name", "k", "A", "aep_MWh", "capacity_factor", "bins_at_rated"}]}
      (CSV: power_curve.csv and aep.csv)
    surface: {"command", "wind", "tsr": [...], "pitch": [...], "cp": [[...]],
      "ct": [[...]], "cq": [[...]], "converged": [[...]]}, rows by tip speed ratio,
      columns by pitch (CSV: surface_cp.csv, surface_ct.csv, surface_cq.csv)
    optimise: {"command", "objective", "method", "end", "feasible", "evaluations",
      "thrust_limit", "root_moment_limit", "active": [...], "before" and "after":
      {"aep": [{"name", "aep_MWh"}], "design_cp", "peak_cp", "max_thrust",
      "max_root_moment", "blade_area", "tsr_target"},
      "blade": {"chord_points", "twist_points", "tsr_target"}, "history": [{"iteration",
      "evaluations", "objective", "max_thrust", "violation", "feasible"}]}
      (CSV: optimise_history.csv and optimise_blade.csv)
    polar: {"command", "x_rel", "r", "chord", "reynolds", "correction",
      "points": [{"alpha_deg", "cl", "cd", "cl_2d", "cd_2d"}]} (CSV: polar.csv)
  Every computing command's document holds "stall_delay": {"corrected": false} or the
  stall delay settings the polars were corrected with, and the summary says the same.
  Values that are not numbers are written as null.

Airfoils: the built-in NACA 0012 to 0025 tables, CSV polar files, and airfoil
coordinate files analysed by XFOIL (xfoil-core, looked for in ../lib/korvane from
korvane-cli and then beside it), as the project's airfoil points give them; relative file
paths are read from the project file's folder.

)";

// The ranges named in the footer, from the limits the program applies.
std::string limitsParagraph() {
    const std::string smallest = bemt::NumberText::shortText(bemt::BEMTTools::kSmallestSweepValue);
    return "Limits: every project setting has a physical range, the same in the project file, on\n"
           "the command line and in the desktop program (rotor radius " + Limits::R.rangeText() + " m, hub radius\n" +
           Limits::Rh.rangeText() + " m, " + Limits::B.rangeText() + " blades, rotation speed up to " +
           bemt::NumberText::shortText(bemt::Common::rads2rpm(Limits::Om.highest)) + " rpm, accuracy " +
           Limits::accuracy.rangeText() + ",\nrelaxation factor " + Limits::relaxation.rangeText() + ", " +
           Limits::elements.rangeText() + " blade elements, chord c/R " + Limits::relativeChord.rangeText() +
           ",\n...); a value outside it is refused with the value and the range. One command computes\n"
           "at most " + std::to_string(Limits::kMaxPitchPositions) + " pitch angles (the desktop program " +
           std::to_string(Limits::kMaxGuiPitchPositions) + ") and " + std::to_string(Limits::kMaxCharacteristicSteps) +
           " characteristics steps.\nEvery pitch angle lies within " + Limits::pitchAngle.rangeText() +
           " deg, every wind speed one sets (V0, a\nsurface's wind, cut-in, cut-out) " + Limits::V0.rangeText() +
           " m/s. A characteristics\nsweep over the tip speed ratio runs at the project's rotation speed, at "
           "V0 = Om R / TSR:\na small ratio means a very high wind. Range values below " + smallest +
           " are computed at " + smallest + ".\n\n";
}

const char* const kFooterExchange = R"(The operating points of a sweep are computed in parallel, on every core unless --threads
or the environment variable KORVANE_THREADS (a whole number from 1 to 1024) says
otherwise; the results do not depend on the number of threads.

Exchange with OpenFAST:
  import openfast MODEL.fst --out P.kvp   the rotor of an OpenFAST model (ElastoDyn and
                                          AeroDyn v15 files named by the .fst)
  import aerodyn AD15.dat --hub-radius RH --tip-radius R --blades B --out P.kvp
  export aerodyn P.kvp --out DIR [--nodes N]   AeroDyn blade file, one airfoil table per
                                          airfoil point and the AFNames lines
  What a model holds but Korvane does not compute (cone, tilt, prebend, sweep, drag
  left out of the induction) is listed on standard error and in the project's notes.

Power curves: rows flagged over_rated give more than rated power at fixed pitch (a
stall-regulated blade must stall there); the annual energy counts at most the rated
power per wind speed, so the capacity factor never exceeds 1. Rows flagged motoring draw
P_aero / efficiency from the grid and count in the annual energy: choose the cut-in at
or above the first wind speed that is not motoring.

Ctrl-C stops a computation. Exit status: 0 success, 1 error (unreadable or invalid
project, failed computation or output), 2 wrong command line, 3 results written but not
every operating point converged (a result that is not a number never counts as
converged; stderr says how many) or, for study, not every variant computed (their
messages are in the error column), 130 stopped by Ctrl-C (optimise then writes the best
feasible blade found so far).

Examples:
  korvane-cli op examples/new_turbine.kvp
  korvane-cli op examples/naca_blade.kvp --pitch 0:10:2.5 --csv results/
  korvane-cli char examples/new_turbine.kvp --range 2:12:0.5 --json cp.json
  korvane-cli design examples/new_turbine.kvp --c-limit 0.12 --json - | jq .design
  korvane-cli power-curve examples/nrel5mw.kvp --rayleigh 7.5 --csv results/
  korvane-cli surface examples/nrel5mw.kvp --tsr 2:14:0.25 --pitch -2:20:0.5 --rosco Cp_Ct_Cq.txt
  korvane-cli study study.json --out results.csv --shard 1/4
  korvane-cli optimise examples/nrel5mw.kvp --max-chord 4.652 --max-thrust-ratio 1 --out optimised.kvp
  korvane-cli op examples/xfoil_blade.kvp --stall-delay du_selig
  korvane-cli polar examples/xfoil_blade.kvp --at 0.25 --stall-delay snel --alpha 0:30:2
  korvane-cli new my_rotor.kvp
  korvane-cli import openfast examples/openfast-nrel5mw/NREL-5MW/NREL-5MW.fst --out nrel5mw.kvp
  korvane-cli export aerodyn nrel5mw.kvp --out aerodyn/)";

// The standard output carries results too: a write to it that failed (a full disk, a
// closed stream) fails the command instead of ending it with success.
int withOutputWritten(int status) {
    std::cout.flush();
    const bool flushed = std::fflush(stdout) == 0;
    if (flushed && std::cout && !std::ferror(stdout)) return status;
    // The failed write may lie back in the buffered stream, its reason gone with errno.
    std::fprintf(stderr, "korvane-cli: the results could not be written to the standard output (a full disk or a "
                         "closed stream).\n");
    return kFailure;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Wind turbine rotor computations by blade element momentum theory on a Korvane project (.kvp)",
                 "korvane-cli"};
    app.set_version_flag("--version", std::string("korvane-cli ") + kKorvaneVersion);
    app.footer(std::string(kFooterResults) + limitsParagraph() + kFooterExchange);
    app.require_subcommand(1);
    app.fallthrough(false);

    CommandLine line;
    const std::vector<Subcommand> subcommands = subcommandTable(line);
    addSubcommands(app, subcommands);
    refuseEmptyValues(app);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int status = app.exit(e);
        return status == 0 ? kSuccess : kUsage;
    }

    try {
        return withOutputWritten(runParsedSubcommand(app, subcommands));
    } catch (const OptionError& e) {
        std::fprintf(stderr, "korvane-cli: %s\n", e.message.c_str());
        return kUsage;
    } catch (const bemt::Error& error) {
        std::fprintf(stderr, "korvane-cli: %s\n", error.message().c_str());
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "korvane-cli: %s\n", bemt::MemoryBudget::kExhausted.c_str());
    } catch (const std::system_error& e) {
        // std::thread says only "Resource temporarily unavailable" when it cannot start one.
        const bool noRoom = e.code() == std::errc::resource_unavailable_try_again ||
                            e.code() == std::errc::not_enough_memory;
        if (noRoom) {
            std::fprintf(stderr, "korvane-cli: A thread or process could not be started for lack of memory (or of "
                                 "the processes allowed): %s.\n", e.what());
        } else {
            std::fprintf(stderr, "korvane-cli: unexpected error: %s\n", e.what());
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "korvane-cli: unexpected error: %s\n", e.what());
    }
    return kFailure;
}
