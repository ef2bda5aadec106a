#pragma once
// An output written whole or not at all: the text goes to a fresh file in the same folder, which
// replaces the named file only when everything was written. Dropped without Commit, the fresh file
// is removed.
#include <memory>
#include <string>
#include <vector>

#include "core/text/TextFile.h"

namespace qef {

// OnDisk waits for the text to reach the disk before the rename, so that a power cut cannot leave
// the name holding an empty file; it costs a wait on every file.
enum class Durability { Cached, OnDisk };

class AtomicFile {
public:
    // A named file that is read-only is not replaced: IsOpen() is false.
    explicit AtomicFile(std::string path, Durability durability = Durability::Cached);
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
    Durability durability_;
    bool done_ = false;
};

// Lines with CR LF, through an AtomicFile. False when the file could not be written; `path` is
// then untouched.
bool WriteLinesAtomically(const std::string& path, const std::vector<std::string>& lines,
                          Durability durability = Durability::Cached);

// True when `path` is a file that the user keeps from being written: no write permission in its
// mode (which counts even for root, whom the system would let write), or none for this user.
bool IsReadOnlyFile(const std::string& path);

// Waits until what is written to the file or folder is on the disk.
void SyncToDisk(const std::string& path);

}  // namespace qef
