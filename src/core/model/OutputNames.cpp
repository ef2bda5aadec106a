#include "core/model/OutputNames.h"

#include <string_view>

#include "core/model/OutputSet.h"
#include "core/text/AtomicFile.h"
#include "core/text/TextFile.h"
#include "core/text/VnCodec.h"

namespace qef {

std::optional<std::string> CollidingOutputName(const std::vector<std::string>& inputs,
                                               const std::vector<std::string>& outputs) {
    for (const std::string& input : inputs)
        for (const std::string& output : outputs)
            if (SameFile(input, output)) return output;
    return std::nullopt;
}

std::optional<std::pair<std::string, std::string>> CollidingOutputPair(const std::vector<std::string>& outputs) {
    for (std::size_t i = 0; i < outputs.size(); ++i)
        for (std::size_t j = i + 1; j < outputs.size(); ++j)
            if (SameFile(outputs[i], outputs[j])) return std::pair{outputs[i], outputs[j]};
    return std::nullopt;
}

std::optional<std::string> ReservedOutputName(const std::vector<std::string>& outputs) {
    for (const std::string& output : outputs) {
        const std::size_t slash = output.rfind('/');
        if (std::string_view(output).substr(slash == std::string::npos ? 0 : slash + 1) == OutputSet::kJournalName)
            return output;
    }
    return std::nullopt;
}

std::optional<std::string> ReadOnlyOutput(const std::vector<std::string>& outputs) {
    for (const std::string& output : outputs)
        if (IsReadOnlyFile(output)) return output;
    return std::nullopt;
}

bool CheckOutputNames(const std::vector<std::string>& inputs, const std::vector<std::string>& outputs,
                      Interaction& ui) {
    if (const std::optional<std::string> colliding = CollidingOutputName(inputs, outputs)) {
        ui.Message(Vn("File kết quả trùng tên file số liệu : ") + *colliding);
        return false;
    }
    // One output written over another would lose what was written first.
    if (const auto pair = CollidingOutputPair(outputs)) {
        ui.Message(Vn("Hai file kết quả trùng tên : ") + pair->second);
        return false;
    }
    // The run's own list of its files would be written over it.
    if (const std::optional<std::string> reserved = ReservedOutputName(outputs)) {
        ui.Message(Vn("File kết quả trùng tên file nhật ký của chương trình : ") + *reserved);
        return false;
    }
    // The user keeps it: the run must not replace it, though the folder would let it.
    if (const std::optional<std::string> readOnly = ReadOnlyOutput(outputs)) {
        ui.Message(Vn("Không ghi được file ") + *readOnly + Vn(" : file chỉ đọc"));
        return false;
    }
    return true;
}

bool CheckResultNames(const std::string& result, const std::vector<std::string>& inputs,
                      const std::vector<std::string>& outputs, Interaction& ui) {
    if (result.empty()) {
        ui.Message(Vn("Không có tên file kết quả"));
        return false;
    }
    return CheckOutputNames(inputs, outputs, ui);
}

}  // namespace qef
