#pragma once
// The files a run writes piece by piece (the result file, the reports), each opened at its first
// write and kept open to the end of the run: a run of many groups opens each file once, not once
// for every group.
#include <memory>
#include <string>
#include <vector>

#include "core/text/TextFile.h"

namespace qef {

class OpenFiles {
public:
    OpenFiles() = default;
    // A copy opens nothing: the files belong to the run that opened them.
    OpenFiles(const OpenFiles&) {}
    OpenFiles& operator=(const OpenFiles& other);
    OpenFiles(OpenFiles&&) = default;
    OpenFiles& operator=(OpenFiles&&) = default;
    ~OpenFiles();

    // `path` open for appending; null when it cannot be opened.
    TextFileWriter* Append(const std::string& path);
    // `path` open and emptied, as a file written anew; null when it cannot be.
    TextFileWriter* Rewrite(const std::string& path);
    // Hands what was written to `path` to the system, where a reader by name finds it (a file not
    // open has nothing waiting). False when a write failed; the file is then closed, so that the
    // next write opens it again.
    bool Flush(const std::string& path);

    // `lines` with CR LF at the end of `path` (emptied first by RewriteLines), flushed; false when
    // the file cannot be written.
    bool AppendLines(const std::string& path, const std::vector<std::string>& lines);
    bool RewriteLines(const std::string& path, const std::vector<std::string>& lines);

    // Closes every file; the name of the first whose writing failed, null when none did.
    const std::string* Close();

private:
    struct File {
        std::string Path;
        std::unique_ptr<TextFileWriter> Out;
    };
    File* Find(const std::string& path);
    void Drop(const std::string& path);
    bool WriteLines(TextFileWriter* out, const std::string& path, const std::vector<std::string>& lines);

    std::vector<File> files_;
    std::string failed_;
};

}  // namespace qef
