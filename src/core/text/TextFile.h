#pragma once
// Text files of the program: read accepting LF or CR LF, a last line without a line end and a
// trailing Ctrl-Z; written with CR LF.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace qef {

class LineReader {
public:
    explicit LineReader(const std::string& path);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    bool IsOpen() const { return file_ != nullptr; }
    // Reads the next line without its line end into `line`; false at end of file.
    bool Next(std::string& line);
    // Physical number of the line last returned by Next (1 for the first).
    long long LineNumber() const { return lineNumber_; }

private:
    std::FILE* file_ = nullptr;
    long long lineNumber_ = 0;
    std::vector<char> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool eof_ = false;
    bool FillBuffer();
};

// Reads every line of a file; false when it cannot be opened.
bool ReadAllLines(const std::string& path, std::vector<std::string>& lines);

class TextFileWriter {
public:
    // Creates the file anew, or appends when `append` is set.
    explicit TextFileWriter(const std::string& path, bool append = false);
    ~TextFileWriter();
    TextFileWriter(const TextFileWriter&) = delete;
    TextFileWriter& operator=(const TextFileWriter&) = delete;

    bool IsOpen() const { return file_ != nullptr; }
    void Write(std::string_view text);
    void WriteLine(std::string_view text = {});  // text followed by CR LF
    // Hands what was written to the system, where a reader by name finds it; false when any write
    // failed.
    bool Flush();
    // Empties the file, as creating it anew would; false when it cannot be.
    bool Truncate();
    // Flushes and closes; false when any write or the close failed.
    bool Close();

private:
    std::FILE* file_ = nullptr;
    bool failed_ = false;
};

// Writes all lines with CR LF; false on failure.
bool WriteAllLines(const std::string& path, const std::vector<std::string>& lines);

bool FileExists(const std::string& path);

// True when the two names are one file: the same path once made absolute, or both existing and
// one file (links, "./", "..").
bool SameFile(const std::string& a, const std::string& b);

}  // namespace qef
