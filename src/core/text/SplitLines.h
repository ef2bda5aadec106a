#pragma once
// The line source of the readers: a text file read line by line, each line split into fields.
#include <memory>
#include <string>

#include "core/text/TextFile.h"
#include "core/text/Tokenizer.h"

namespace qef {

// Lines come as LineReader gives them (LF or CR LF, a last line without a line end, a trailing
// Ctrl-Z), numbered as physical lines from 1, without their trailing blanks; fields are split
// with the separator detected on each line (a TAB before a blank) and comments removed.
class SplitLines {
public:
    SplitLines(const std::string& fileName, int fixedFieldWidth);

    bool IsOpen() const { return reader_.IsOpen(); }
    // The next line; false at end of file. Count() is 0 for an empty or comment-only line.
    bool Next();
    const std::string& Line() const { return line_; }
    // Fields 1..Count(); while Count() > 0 the cells after them are blank up to the 21st.
    const FieldArray& Fields() const { return *fields_; }
    int Count() const { return count_; }
    // The line's fields are columns of fixed width: a blank column is a field of blanks.
    bool FixedWidth() const { return count_ > 0 && mode_ == SeparatorMode::FixedWidth; }
    long long LineNumber() const { return reader_.LineNumber(); }

private:
    LineReader reader_;
    std::unique_ptr<FieldArray> fields_ = std::make_unique<FieldArray>();  // large: on the heap
    int width_;
    std::string line_;
    int count_ = 0;
    SeparatorMode mode_ = SeparatorMode::Blank;
};

}  // namespace qef
