#include "core/text/TextFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace qef {

namespace {
constexpr std::size_t kChunk = 1 << 16;
constexpr char kCtrlZ = '\x1A';
}  // namespace

LineReader::LineReader(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {
    if (file_ != nullptr) buffer_.resize(kChunk);
}

LineReader::~LineReader() {
    if (file_ != nullptr) std::fclose(file_);
}

bool LineReader::FillBuffer() {
    if (eof_) return false;
    // Keep the unread tail at the front, then read more behind it.
    std::size_t tail = end_ - begin_;
    if (begin_ > 0 && tail > 0) std::memmove(buffer_.data(), buffer_.data() + begin_, tail);
    begin_ = 0;
    end_ = tail;
    if (end_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);
    std::size_t got = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
    if (got == 0) {
        eof_ = true;
        return false;
    }
    end_ += got;
    return true;
}

bool LineReader::Next(std::string& line) {
    if (file_ == nullptr) return false;
    for (;;) {
        const char* start = buffer_.data() + begin_;
        const void* nl = std::memchr(start, '\n', end_ - begin_);
        if (nl != nullptr) {
            std::size_t len = static_cast<const char*>(nl) - start;
            std::size_t take = len;
            if (take > 0 && start[take - 1] == '\r') --take;
            line.assign(start, take);
            begin_ += len + 1;
            ++lineNumber_;
            return true;
        }
        if (!FillBuffer()) break;
    }
    // Last line without a line end; one Ctrl-Z as the file's last byte marks the end of the text.
    std::size_t len = end_ - begin_;
    const char* start = buffer_.data() + begin_;
    if (len > 0 && start[len - 1] == kCtrlZ) --len;
    if (len > 0 && start[len - 1] == '\r') --len;
    if (len == 0) {
        begin_ = end_;
        return false;
    }
    line.assign(start, len);
    begin_ = end_;
    ++lineNumber_;
    return true;
}

bool ReadAllLines(const std::string& path, std::vector<std::string>& lines) {
    LineReader reader(path);
    if (!reader.IsOpen()) return false;
    lines.clear();
    std::string line;
    while (reader.Next(line)) lines.push_back(line);
    return true;
}

TextFileWriter::TextFileWriter(const std::string& path, bool append)
    : file_(std::fopen(path.c_str(), append ? "abe" : "wbe")) {}

TextFileWriter::~TextFileWriter() { Close(); }

void TextFileWriter::Write(std::string_view text) {
    if (file_ == nullptr || text.empty()) return;
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) failed_ = true;
}

void TextFileWriter::WriteLine(std::string_view text) {
    Write(text);
    Write("\r\n");
}

bool TextFileWriter::Flush() {
    if (file_ == nullptr) return false;
    if (std::fflush(file_) != 0) failed_ = true;
    return !failed_;
}

bool TextFileWriter::Truncate() {
    if (!Flush()) return false;
    // A pipe or a device has nothing to empty.
    if (::ftruncate(::fileno(file_), 0) != 0 && errno != EINVAL) return false;
    return std::fseek(file_, 0, SEEK_SET) == 0 || errno == ESPIPE;
}

bool TextFileWriter::Close() {
    if (file_ == nullptr) return false;
    bool ok = !failed_ && std::fflush(file_) == 0;
    ok = (std::fclose(file_) == 0) && ok;
    file_ = nullptr;
    failed_ = !ok;
    return ok;
}

bool WriteAllLines(const std::string& path, const std::vector<std::string>& lines) {
    TextFileWriter writer(path);
    if (!writer.IsOpen()) return false;
    for (const auto& line : lines) writer.WriteLine(line);
    return writer.Close();
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool SameFile(const std::string& a, const std::string& b) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::exists(a, ec) && fs::exists(b, ec) && fs::equivalent(a, b, ec)) return true;
    const fs::path pa = fs::weakly_canonical(fs::absolute(a, ec), ec);
    const fs::path pb = fs::weakly_canonical(fs::absolute(b, ec), ec);
    return pa == pb;
}

}  // namespace qef
