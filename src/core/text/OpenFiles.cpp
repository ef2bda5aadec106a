#include "core/text/OpenFiles.h"

namespace qef {

OpenFiles::~OpenFiles() { Close(); }

OpenFiles& OpenFiles::operator=(const OpenFiles& other) {
    if (this != &other) Close();
    return *this;
}

OpenFiles::File* OpenFiles::Find(const std::string& path) {
    for (File& f : files_)
        if (f.Path == path) return &f;
    return nullptr;
}

TextFileWriter* OpenFiles::Append(const std::string& path) {
    if (File* f = Find(path)) return f->Out.get();
    // Appending: whatever else writes the file by name in between still ends up before what
    // follows.
    auto out = std::make_unique<TextFileWriter>(path, true);
    if (!out->IsOpen()) return nullptr;
    files_.push_back({path, std::move(out)});
    return files_.back().Out.get();
}

TextFileWriter* OpenFiles::Rewrite(const std::string& path) {
    TextFileWriter* out = Append(path);
    if (out == nullptr) return nullptr;
    if (out->Truncate()) return out;
    Drop(path);
    return nullptr;
}

bool OpenFiles::Flush(const std::string& path) {
    const File* f = Find(path);
    if (f == nullptr || f->Out->Flush()) return true;
    Drop(path);
    return false;
}

void OpenFiles::Drop(const std::string& path) {
    File* f = Find(path);
    if (f == nullptr) return;
    f->Out->Close();
    files_.erase(files_.begin() + (f - files_.data()));
}

bool OpenFiles::WriteLines(TextFileWriter* out, const std::string& path, const std::vector<std::string>& lines) {
    if (out == nullptr) return false;
    for (const std::string& line : lines) out->WriteLine(line);
    return Flush(path);
}

bool OpenFiles::AppendLines(const std::string& path, const std::vector<std::string>& lines) {
    return WriteLines(Append(path), path, lines);
}

bool OpenFiles::RewriteLines(const std::string& path, const std::vector<std::string>& lines) {
    return WriteLines(Rewrite(path), path, lines);
}

const std::string* OpenFiles::Close() {
    failed_.clear();
    for (File& f : files_)
        if (!f.Out->Close() && failed_.empty()) failed_ = f.Path;
    files_.clear();
    return failed_.empty() ? nullptr : &failed_;
}

}  // namespace qef
