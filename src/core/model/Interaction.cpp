#include "core/model/Interaction.h"

#include "core/text/VnCodec.h"

namespace qef {

void ShowError(Interaction& ui, bool& errorFlag, const std::string& message) {
    ui.Message(message);
    errorFlag = true;
}

void ShowError(Interaction& ui, const std::string& message) { ui.Message(message); }

void ShowDoneMessage(Interaction& ui) { ui.Message(Vn("Đã tính xong")); }

}  // namespace qef
