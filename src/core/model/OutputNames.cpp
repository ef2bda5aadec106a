#include "core/model/OutputNames.h"

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
    return true;
}

}  // namespace qef
