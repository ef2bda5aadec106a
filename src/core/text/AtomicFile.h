#pragma once
// An output written whole or not at all: the text goes to a fresh file in the same folder, which
// replaces the named file only when everything was written and is on the disk. Dropped without
// Commit, the fresh file is removed.
#include <memory>
#include <string>
#include <vector>

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

// Lines with CR LF, through an AtomicFile. False when the file could not be written; `path` is
// then untouched.
bool WriteLinesAtomically(const std::string& path, const std::vector<std::string>& lines);

// Waits until what is written to the file or folder is on the disk.
void SyncToDisk(const std::string& path);

}  // namespace qef
