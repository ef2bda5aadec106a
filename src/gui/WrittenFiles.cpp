#include "gui/WrittenFiles.h"

#include "gui/InputStep.h"

namespace qef {

WrittenFiles::WrittenFiles(std::vector<std::string> paths) : paths_(std::move(paths)) {
    for (const std::string& path : paths_) before_.push_back(StampOf(path));
}

WrittenFiles::Stamp WrittenFiles::StampOf(const std::string& path) {
    Stamp stamp;
    std::error_code ec;
    const std::filesystem::path p(path);
    stamp.Exists = std::filesystem::is_regular_file(p, ec);
    if (!stamp.Exists) return stamp;
    stamp.Time = std::filesystem::last_write_time(p, ec);
    stamp.Size = std::filesystem::file_size(p, ec);
    return stamp;
}

std::vector<std::string> WrittenFiles::Written() const {
    std::vector<std::string> written;
    for (std::size_t i = 0; i < paths_.size(); ++i) {
        const Stamp now = StampOf(paths_[i]);
        if (now.Exists && !(now == before_[i])) written.push_back(paths_[i]);
    }
    return written;
}

QString WrittenText(const std::vector<std::string>& written) {
    if (written.empty()) return {};
    QString text = QStringLiteral("Đã ghi file ");
    for (std::size_t i = 0; i < written.size(); ++i) {
        if (i > 0) text += QStringLiteral(", ");
        text += NameOfNative(written[i]);
    }
    return text;
}

}  // namespace qef
