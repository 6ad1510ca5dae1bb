#pragma once

#include <ctime>

namespace qs {

// Processor time the calling thread has used so far, in milliseconds: what a piece of work
// costs, whatever else the machine is doing.
inline double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

}  // namespace qs
