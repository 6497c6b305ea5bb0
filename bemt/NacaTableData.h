#pragma once
// The published NACA section tables as compiled into the program (the source file is
// generated at build time from data/naca-symmetric/*.csv).

#include <cstddef>

namespace bemt::naca_data {

struct RawTable {
    const double* alpha;  // degrees, 0 to 180, strictly increasing
    const double* cl;
    const double* cd;
    std::size_t size;
};

// Indexed [airfoil][level]: airfoils 0012, 0015, 0018, 0021, 0025; levels low
// (anchored at Re 1e5), middle (1e6), high (1e7).
extern const RawTable tables[5][3];

}  // namespace bemt::naca_data
