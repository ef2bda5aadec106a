#pragma once
// An output written whole or not at all: the text goes to a fresh file in the same folder, which
// replaces the named file only when everything was written. Dropped without Commit, the fresh file
// is removed.
#include <memory>
#include <string>

#include "core/text/TextFile.h"

namespace qef {

class AtomicFile {
public:
    explicit AtomicFile(std::string path);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool IsOpen() const { return writer_ && writer_->IsOpen(); }
    TextFileWriter& Writer() { return *writer_; }
    const std::string& Path() const { return path_; }
    // Closes and renames over the named file; false (fresh file removed) when a write failed.
    bool Commit();
    // Closes and removes the fresh file.
    void Discard();

private:
    std::string path_;
    std::string temp_;
    std::unique_ptr<TextFileWriter> writer_;
    bool done_ = false;
};

}  // namespace qef
