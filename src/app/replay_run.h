#pragma once

#include "app/command_line.h"

namespace qs {

// `--replay FILE --headless`: plays the replay flat out and prints one JSON line with the
// result it reached, the one stored, whether they agree and where they first part. Exit 0
// when they agree, 1 when not, 2 when the file cannot be read or is of other content or
// another version (without --force).
int runReplayCheck(const CommandLine& line);

// `--verify-records`: the replay behind every row of the records, checked the same way; one
// JSON line a row. Exit 0 when every row has a replay that agrees, else 1.
int runVerifyRecords(const CommandLine& line);

}  // namespace qs
