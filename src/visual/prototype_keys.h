#pragma once

#include <cstdint>
#include <variant>

namespace qs {

// Where one key of a prototype line puts its value, and so how its text is read: a whole
// number, a real, a float, the low byte of a whole number, a flag that "1" sets (any other
// text clears it), a flag any non-zero number sets, degrees kept as radians, or one real
// for every axis of a scale.
struct NonZeroFlag {
    bool* field;
};
struct Degrees {
    double* field;
};
struct EveryAxis {
    double* x;
    double* y;
    double* z = nullptr;  // two-axis scales have none
};
using KeySlot = std::variant<int*, double*, float*, uint8_t*, bool*, NonZeroFlag, Degrees, EveryAxis>;

// One row of a line's key table: the key's name (lower case) and where it goes among the
// fields that line fills (`Target`).
template <class Target>
struct PrototypeKey {
    const char* name;
    KeySlot (*slot)(Target&);
};

}  // namespace qs
