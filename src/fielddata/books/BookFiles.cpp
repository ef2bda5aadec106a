#include "fielddata/books/BookFiles.h"

#include <filesystem>
#include <system_error>

#include "core/text/TextFile.h"

namespace qef {

bool WriteLinesAtomically(const std::string& path, const std::vector<std::string>& lines) {
    const std::string temporary = path + ".~qef";
    if (!WriteAllLines(temporary, lines)) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return false;
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) std::filesystem::remove(temporary, error);
    return !error;
}

}  // namespace qef
