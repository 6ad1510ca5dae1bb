#pragma once

#include "app/command_line.h"

namespace qs {

// Runs the game (or a headless session) to its end; the process exit code.
int runProgram(const CommandLine& line);

}  // namespace qs
