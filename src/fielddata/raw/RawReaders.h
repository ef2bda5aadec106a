#pragma once
// The readers of the raw download formats, one source file each.
#include <memory>
#include <string>
#include <string_view>

#include "fielddata/raw/RawOutput.h"
#include "fielddata/raw/RawReader.h"

namespace qef {

// Leica GSI, eight-character words: station records, then measurements (TC800).
std::unique_ptr<RawReader> MakeLeicaGsiReader(RawOutput& out);
// Leica GSI whose measurements carry the station and instrument height themselves (T1610).
std::unique_ptr<RawReader> MakeLeicaGsiT1610Reader(RawOutput& out);
// Leica IDX (TC405).
std::unique_ptr<RawReader> MakeLeicaIdxReader(RawOutput& out);
// An IDX line with commas, quotes, semicolons and TABs made blanks, and single blanks between fields.
std::string CleanIdxLine(std::string_view line);
std::unique_ptr<RawReader> MakeNikonReader(RawOutput& out);
// Topcon GTS.
std::unique_ptr<RawReader> MakeTopconReader(RawOutput& out);
// Geodimeter labelled lines.
std::unique_ptr<RawReader> MakeGeodimeterReader(RawOutput& out);

}  // namespace qef
