#pragma once
// Where a read failed, kept with the run that read it.
#include <string>

#include "core/model/ReadErrorKind.h"

namespace qef {

// What a failed read leaves for the main window to point the user at the file. Not cleared by a
// successful read.
struct ReadErrorRecord {
    std::string FailedFileName;
    long long ReadErrorLine = 0;  // physical line number, every line counted from 1
    ReadErrorKind ReadErrorField = ReadErrorKind::Line;
    int ReadErrorFlag = 0;
};

}  // namespace qef
