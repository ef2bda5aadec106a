#include "fielddata/books/BookFiles.h"

#include "core/model/OutputSet.h"
#include "core/text/TextFile.h"
#include "core/text/VnCodec.h"

namespace qef {

std::optional<std::string> WriteBookSet(const std::vector<BookFile>& books, const std::vector<std::string>& inputs) {
    if (books.empty()) return std::nullopt;
    OutputSet set;
    if (!set.Begin(books.front().Path, inputs)) return set.FailureMessage("Không ghi được file ");
    for (const BookFile& book : books)
        if (!WriteAllLines(set.Staged(book.Path), *book.Lines)) return Vn("Không ghi được file ") + book.Path;
    if (!set.Commit()) return set.FailureMessage("Không ghi được file ");
    return std::nullopt;
}

std::optional<std::string> BareCarriageReturn(const std::string& fileName, long long lineNumber,
                                              const std::string& line) {
    if (line.find('\r') == std::string::npos) return std::nullopt;
    return BareCarriageReturnMessage(fileName, lineNumber);
}

}  // namespace qef
