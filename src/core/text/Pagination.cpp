#include "core/text/Pagination.h"

namespace qef {

std::vector<PageLines> Paginate(const std::vector<std::string>& lines, int linesPerPage) {
    const std::size_t perPage = linesPerPage < 1 ? 1 : static_cast<std::size_t>(linesPerPage);
    std::vector<PageLines> pages;
    PageLines page;
    auto close = [&](std::size_t next) {
        if (page.LineCount > 0) pages.push_back(page);
        page = PageLines{next, 0};
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (IsFormFeedLine(lines[i])) {
            close(i + 1);
            continue;
        }
        if (page.LineCount == perPage) close(i);
        ++page.LineCount;
    }
    close(lines.size());
    if (pages.empty()) pages.push_back(PageLines{0, 0});
    return pages;
}

}  // namespace qef
