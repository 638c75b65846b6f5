#pragma once

#include <string>
#include <vector>

// Starts the contestants from a helper process forked before the bench grows. A child's peak
// memory as wait4 reports it also holds that of the process it was started from (the kernel
// keeps the larger at exec), so they must come from a small one.
namespace launcher {

// Forks the helper; call first in main, before anything is loaded or allocated.
void start();

struct Result {
    int status = -1;     // exit code, or 128 + the signal
    double seconds = 0;  // wall time from start to exit
    double peakMb = 0;   // ru_maxrss
};

// Runs argv with its standard output and error written to those files (error appended).
Result run(const std::vector<std::string>& argv, const std::string& out, const std::string& err);

}  // namespace launcher
