#pragma once
// A line buffer that a computation clears, fills and saves as a report file (TCVN3, CR LF).
#include <string>
#include <vector>

namespace qef {

class LogBuffer {
public:
    void Clear() { lines_.clear(); }
    void Add(std::string line) { lines_.push_back(std::move(line)); }
    const std::vector<std::string>& Lines() const { return lines_; }
    // Writes every line to `path`; false when the file cannot be written.
    bool SaveTo(const std::string& path) const;

private:
    std::vector<std::string> lines_;
};

}  // namespace qef
