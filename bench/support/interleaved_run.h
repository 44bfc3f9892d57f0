// The main program of a benchmark that compares two sides in one run: the registered benchmarks
// run with random interleaving on, so that a machine growing busier or a file system filling up
// slows both sides alike, and the medians of their repetitions are compared.
#pragma once

#include <functional>

namespace bench {

// Initializes the library with the program's arguments (plus the interleaving), runs the
// benchmarks between `before` and `after`, and returns the program's exit status.
int RunInterleaved(int argc, char** argv, const std::function<void()>& before = {},
                   const std::function<void()>& after = {});

}  // namespace bench
