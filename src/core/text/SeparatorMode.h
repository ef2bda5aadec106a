#pragma once
// How the fields of a text line are separated. The values are those the settings and the
// separator list of the main window use.
#include <cstdint>

namespace qef {

enum class SeparatorMode : std::uint8_t {
    Blank = 0,
    Tab = 1,
    Comma = 2,
    Semicolon = 3,
    FixedWidth = 4,
    Bar = 5,
};

}  // namespace qef
