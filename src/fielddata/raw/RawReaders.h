#pragma once
// What the readers share beyond the reader interface. Each format's reader is one source file that
// defines Make<Format>Reader; the instrument list (RawInstruments.inc) names it.
#include <memory>
#include <string>
#include <string_view>

#include "fielddata/raw/RawOutput.h"
#include "fielddata/raw/RawReader.h"

namespace qef {

// An IDX line with commas, quotes, semicolons and TABs made blanks, and single blanks between fields.
std::string CleanIdxLine(std::string_view line);

}  // namespace qef
