#pragma once
// Why the system refused a file operation, in the user's words.
#include <string>

namespace qef {

// The reason for the error number `error` (errno), as TCVN3 text: "đĩa đầy", "tên file quá dài"...
std::string SystemReason(int error);

}  // namespace qef
