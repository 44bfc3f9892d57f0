#include "interleaved_run.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace bench {

int RunInterleaved(int argc, char** argv, const std::function<void()>& before, const std::function<void()>& after) {
  std::vector<char*> arguments(argv, argv + argc);
  std::string interleaving = "--benchmark_enable_random_interleaving=true";
  arguments.insert(arguments.begin() + 1, interleaving.data());
  int count = static_cast<int>(arguments.size());
  benchmark::Initialize(&count, arguments.data());
  if (benchmark::ReportUnrecognizedArguments(count, arguments.data())) return 1;
  if (before) before();
  benchmark::RunSpecifiedBenchmarks();
  if (after) after();
  benchmark::Shutdown();
  return 0;
}

}  // namespace bench
