#pragma once
// What the file tools share: how a tool ends, the order of point names, and writing a whole
// output file at once so that a failed or stopped tool never leaves half a file.
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "core/model/ComputationSettings.h"
#include "core/model/Interaction.h"
#include "core/model/ReadError.h"
#include "core/model/RunOutcome.h"

namespace qef {

struct ToolStatus {
    RunOutcome Outcome = RunOutcome::Completed;
    ReadErrorRecord ReadError;
    int Written = 0;  // records written to the result file
    int Skipped = 0;  // records left out because they could not be read
    std::string WrittenFile;  // the file the tool put in place; empty when it wrote none
};

// Numeric names by value first ("9" before "10", "10" equal to "10.0"), then the others as text,
// case-blind. -1, 0 or 1.
int ComparePointNames(std::string_view a, std::string_view b);

// Writes a tool's result (lines with CR LF) whole or not at all and counts the lines as written.
// False, after the message "Lỗi ghi file <path>" and with status set to WriteFailed, when that
// fails; `path` is then untouched.
bool WriteToolResult(const std::string& path, const std::vector<std::string>& lines, Interaction& ui,
                     ToolStatus& status);

// The usual opening of a tool: a result name is given and replaces none of the inputs. False
// (message shown, status set to NameCollision) otherwise.
bool ResultNameUsable(const std::vector<std::string>& inputs, const std::string& result, Interaction& ui,
                      ToolStatus& status);

// Records that `fileName` could not be opened, with the readers' message.
void ReportUnreadable(const std::string& fileName, Interaction& ui, ToolStatus& status);

// Refuses an input without a line the tool can use, before anything is written: the message
// "File <name> không có số liệu" and status EmptyInput. An empty result would replace the results
// of an earlier run for nothing.
void ReportNoData(const std::string& fileName, Interaction& ui, ToolStatus& status);

// A value of a data line that a survey can give: within the readers' limit, kLargestMetres.
// Larger values are typing slips that would be written out as hundreds of digits.
bool PlausibleValue(double value, const ComputationSettings& settings);

// The point names of one input file: each cut to 15 characters as the tools keep them, and every
// name that was cut told once at the end, in the words of the readers.
class NameCutter {
public:
    std::string Take(const std::string& whole);
    void Report(const std::string& fileName, Interaction& ui) const;

private:
    std::vector<std::pair<std::string, std::string>> cut_;  // whole name, kept name
    std::unordered_set<std::string> seen_;
};

// Removes the byte-order mark that editors of other systems put before UTF-8 text; it belongs to
// no field. For the first line of a file.
void DropByteOrderMark(std::string& firstLine);

}  // namespace qef
