#pragma once
// A command never writes over one of its own input files: the names it is about to write are
// checked against the names it reads before anything is written.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/model/Interaction.h"

namespace qef {

// The first output that is the same file as an input (each input in turn against every output in
// order), or nullopt when none is.
std::optional<std::string> CollidingOutputName(const std::vector<std::string>& inputs,
                                               const std::vector<std::string>& outputs);

// The first two outputs (in order) that are one file, or nullopt when none are.
std::optional<std::pair<std::string, std::string>> CollidingOutputPair(const std::vector<std::string>& outputs);

// The first output whose file name is the output set's journal, or nullopt.
std::optional<std::string> ReservedOutputName(const std::vector<std::string>& outputs);

// The first output that is a read-only file, or nullopt.
std::optional<std::string> ReadOnlyOutput(const std::vector<std::string>& outputs);

// False, after the message "File kết quả trùng tên file số liệu : <output>", when an output would
// replace an input, after "Hai file kết quả trùng tên : <the later output>" when two outputs are
// one file, after "File kết quả trùng tên file nhật ký của chương trình : <output>" when an output
// is named like the output set's journal, or after "Không ghi được file <output> : file chỉ đọc"
// when an output is a read-only file.
bool CheckOutputNames(const std::vector<std::string>& inputs, const std::vector<std::string>& outputs,
                      Interaction& ui);
// The opening of a command: false, after "Không có tên file kết quả", when `result` is empty, else
// CheckOutputNames of `outputs` (the result among them).
bool CheckResultNames(const std::string& result, const std::vector<std::string>& inputs,
                      const std::vector<std::string>& outputs, Interaction& ui);

}  // namespace qef
