#include "core/text/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace qef {

AtomicFile::AtomicFile(std::string path, Durability durability)
    : path_(std::move(path)), durability_(durability) {
    // A rename would replace it all the same: the folder's rights decide that, not the file's.
    if (IsReadOnlyFile(path_)) return;
    std::vector<char> pattern(path_.begin(), path_.end());
    for (char c : std::string_view(".~XXXXXX")) pattern.push_back(c);
    pattern.push_back('\0');
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) return;
    // The fresh file is private to its creator; the result gets what any new file of the user gets.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    ::close(fd);
    temp_ = pattern.data();
    writer_ = std::make_unique<TextFileWriter>(temp_);
    if (!writer_->IsOpen()) Discard();
}

AtomicFile::~AtomicFile() { Discard(); }

bool AtomicFile::Commit() {
    if (done_ || !writer_) return false;
    done_ = true;
    bool ok = writer_->Close();
    if (ok && durability_ == Durability::OnDisk) SyncToDisk(temp_);
    ok = ok && std::rename(temp_.c_str(), path_.c_str()) == 0;
    if (!ok) std::remove(temp_.c_str());
    return ok;
}

void AtomicFile::Discard() {
    if (done_ || temp_.empty()) return;
    done_ = true;
    if (writer_) writer_->Close();
    std::remove(temp_.c_str());
}

bool WriteLinesAtomically(const std::string& path, const std::vector<std::string>& lines,
                          Durability durability) {
    AtomicFile file(path, durability);
    if (!file.IsOpen()) return false;
    for (const std::string& line : lines) file.Writer().WriteLine(line);
    return file.Commit();
}

bool IsReadOnlyFile(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(path.c_str(), W_OK) != 0;
}

void SyncToDisk(const std::string& path) {
    const int fd = ::open(path.empty() ? "." : path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace qef
