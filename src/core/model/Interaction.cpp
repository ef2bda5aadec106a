#include "core/model/Interaction.h"

#include "core/numeric/Numbers.h"
#include "core/text/VnCodec.h"

namespace qef {

void ShowError(Interaction& ui, bool& errorFlag, const std::string& message) {
    ui.Message(message);
    errorFlag = true;
}

void ShowDoneMessage(Interaction& ui) { ui.Message(Vn("Đã tính xong")); }

std::string AskNumber(Interaction& ui, const std::string& prompt, const std::string& defaultText) {
    std::optional<std::string> answer = ui.AskText("Nhap so lieu", prompt, defaultText);
    if (!answer || !IsNumber(*answer)) return "0";
    return *answer;
}

double ParseRealField(std::string_view text, bool& errorFlag, Interaction& ui) {
    double v = 0;
    if (TryParseReal(text, v)) return v;
    ShowError(ui, errorFlag, "loi " + std::string(text));
    return 0;
}

}  // namespace qef
