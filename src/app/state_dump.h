#pragma once

#include <string>

namespace qs {

class Context;
class TMainForm;

// The program's state as one JSON object: scene, clocks, counters, options.
std::string dumpState(const Context& context, const TMainForm& form);

}  // namespace qs
