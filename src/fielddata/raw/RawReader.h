#pragma once
// A reader of one raw download format. It is handed the download line by line and writes what it
// understands through the common output (RawOutput), so every format yields the same files.
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace qef {

class RawOutput;

class RawReader {
public:
    virtual ~RawReader() = default;
    // One line without its line end, numbered from 1. A message (TCVN3) when the line cannot be read: the run stops
    // there and writes nothing.
    virtual std::optional<std::string> Line(std::string_view line, long long lineNumber) = 0;
    // After the last line: whatever is still pending is written.
    virtual void End() {}
};

// What an instrument row names: the function that makes its format's reader writing to out.
using RawReaderMaker = std::unique_ptr<RawReader> (*)(RawOutput& out);

}  // namespace qef
