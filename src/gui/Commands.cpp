#include "gui/Commands.h"

#include "core/text/VnCodec.h"
#include "gui/ActionTable.h"

namespace qef {

const ComputationCommand* FindComputationCommand(std::string_view actionName) {
    for (const ActionRow& row : MainWindowActions()) {
        if (actionName != row.Name) continue;
        if (row.Command.Run) return &row.Command;
        if (row.SameCommandAs) return FindComputationCommand(row.SameCommandAs);
        return nullptr;
    }
    return nullptr;
}

void PrepareSettings(const ComputationCommand& command, ComputationSettings& settings) {
    if (command.InputStep()) settings.Modes = command.Modes;
    if (command.DialogTitle) settings.ParamDialogTitle = Vn(command.DialogTitle);
}

}  // namespace qef
