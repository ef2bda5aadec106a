#include "fielddata/books/BookFiles.h"

#include <algorithm>
#include <memory>

#include "core/model/OutputSet.h"
#include "core/text/TextFile.h"
#include "core/text/VnCodec.h"

namespace qef {

namespace {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

std::optional<std::string> WriteBookSet(const std::vector<BookFile>& books) {
    struct FolderSet {
        std::string Folder;
        std::string FirstBook;
        std::unique_ptr<OutputSet> Set;
    };
    std::vector<FolderSet> sets;
    for (const BookFile& book : books) {
        const std::string folder = FolderOf(book.Path);
        auto it = std::find_if(sets.begin(), sets.end(), [&](const FolderSet& s) { return s.Folder == folder; });
        if (it == sets.end()) {
            sets.push_back({folder, book.Path, std::make_unique<OutputSet>()});
            it = sets.end() - 1;
            if (!it->Set->Begin(book.Path)) return book.Path;
        }
        if (!WriteAllLines(it->Set->Staged(book.Path), *book.Lines)) return book.Path;
    }
    for (FolderSet& s : sets)
        if (!s.Set->Commit()) return s.FirstBook;
    return std::nullopt;
}

std::optional<std::string> BareCarriageReturn(const std::string& fileName, long long lineNumber,
                                              const std::string& line) {
    if (line.find('\r') == std::string::npos) return std::nullopt;
    return Vn("File ") + fileName + Vn(", dòng ") + std::to_string(lineNumber) +
           Vn(" : có dấu xuống dòng CR lẻ, không tách được dòng");
}

}  // namespace qef
