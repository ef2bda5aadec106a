#include "fielddata/raw/AtomicFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace qef {

AtomicFile::AtomicFile(std::string path) : path_(std::move(path)) {
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
    const bool ok = writer_->Close() && std::rename(temp_.c_str(), path_.c_str()) == 0;
    if (!ok) std::remove(temp_.c_str());
    return ok;
}

void AtomicFile::Discard() {
    if (done_ || temp_.empty()) return;
    done_ = true;
    if (writer_) writer_->Close();
    std::remove(temp_.c_str());
}

}  // namespace qef
