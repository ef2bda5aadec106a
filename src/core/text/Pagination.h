#pragma once
// Text lines laid out on pages: a page takes as many lines as fit, and a line that is a single
// form feed ends its page without being printed.
#include <cstddef>
#include <string>
#include <vector>

namespace qef {

// Lines FirstLine .. FirstLine + LineCount - 1 of the text.
struct PageLines {
    std::size_t FirstLine = 0;
    std::size_t LineCount = 0;
    bool operator==(const PageLines&) const = default;
};

inline bool IsFormFeedLine(const std::string& line) { return line == "\f"; }

// Pages of `linesPerPage` lines (at least one). A form feed never leaves a blank page: it ends
// the page only when the page holds lines. An empty text gives one empty page.
std::vector<PageLines> Paginate(const std::vector<std::string>& lines, int linesPerPage);

}  // namespace qef
