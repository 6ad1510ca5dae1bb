#pragma once

#include <string>

namespace qs {

class Context;
class TMainForm;

// The program's state as one JSON object: scene, clocks, counters, options. With `withObjects`
// also "objects": every live object's tag, name, place, declared size and drawn box.
std::string dumpState(const Context& context, const TMainForm& form, bool withObjects = false);

}  // namespace qs
