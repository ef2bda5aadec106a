#pragma once
// Writing a book: the whole text goes to a temporary file beside the target, which then takes
// the target's name, so a failed run never leaves half a book under the name.
#include <string>
#include <vector>

namespace qef {

// Lines with CR LF. False when the file could not be written.
bool WriteLinesAtomically(const std::string& path, const std::vector<std::string>& lines);

}  // namespace qef
