#pragma once
// What the book commands share about their files: the books of one run are put in place
// together, a carriage return inside a line refuses the file, and how long a distance a book takes.
#include <optional>
#include <string>
#include <vector>

#include "core/io/Readers.h"  // NoDataMessage

namespace qef {

// The longest distance a book takes (metres): a longer one is a slip that would swamp its sums.
inline constexpr double kLongestBookDistanceMetres = 1e6;

struct BookFile {
    std::string Path;
    const std::vector<std::string>* Lines;
};

// Writes the books (CR LF) aside in their folders and moves them over the old files together, as
// one set whatever folders they lie in; nullopt when all are in place, else the message naming the
// book that could not be written and why, and then every old file is as it was. `inputs` are the
// files the run reads.
std::optional<std::string> WriteBookSet(const std::vector<BookFile>& books,
                                        const std::vector<std::string>& inputs = {});

// A carriage return left inside a line is a line end the readers do not split at (a file with
// CR-only line ends reads as one line): "File <name>, dòng N : ..." to refuse the file with, or
// nullopt when the line has none.
std::optional<std::string> BareCarriageReturn(const std::string& fileName, long long lineNumber,
                                              const std::string& line);

}  // namespace qef
