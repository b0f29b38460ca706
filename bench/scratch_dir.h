#pragma once

#include <string>

namespace bench {

// A directory beside the benchmark programs, so on the repository's file
// system; created when missing.
std::string ScratchDirectory();

}  // namespace bench
