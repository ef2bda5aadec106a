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

bool CheckOutputNames(const std::vector<std::string>& inputs, const std::vector<std::string>& outputs,
                      Interaction& ui) {
    const std::optional<std::string> colliding = CollidingOutputName(inputs, outputs);
    if (!colliding) return true;
    ui.Message(Vn("File kết quả trùng tên file số liệu : ") + *colliding);
    return false;
}

}  // namespace qef
