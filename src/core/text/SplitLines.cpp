#include "core/text/SplitLines.h"

namespace qef {

SplitLines::SplitLines(const std::string& fileName, int fixedFieldWidth)
    : reader_(fileName), width_(fixedFieldWidth) {}

bool SplitLines::Next() {
    if (!reader_.Next(line_)) return false;
    // Editors on other systems often save UTF-8 with a byte-order mark; it is no part of a name.
    if (reader_.LineNumber() == 1 && line_.starts_with("\xEF\xBB\xBF")) line_.erase(0, 3);
    while (!line_.empty() && line_.back() == ' ') line_.pop_back();
    count_ = line_.empty() ? 0 : SplitDataLine(line_, *fields_, width_, &mode_);
    return true;
}

}  // namespace qef
