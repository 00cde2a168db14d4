#pragma once
// What a stage reports when it does not succeed: its status (the numbers that
// each stage names where it is declared, and that the main program turns into
// exit codes and messages) and one line, for a person, saying why.

#include <optional>
#include <string>

namespace sheetjob::common {

struct Failure {
    int status = 0;     ///< the stage's own non-zero status
    std::string reason; ///< one line, UTF-8, without a line end
};

/// The outcome of a stage: empty on success, the failure otherwise.
using Outcome = std::optional<Failure>;

} // namespace sheetjob::common
