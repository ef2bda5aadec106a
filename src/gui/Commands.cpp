#include "gui/Commands.h"

#include "core/text/VnCodec.h"

namespace qef {

void PrepareSettings(const ComputationCommand& command, ComputationSettings& settings) {
    if (command.InputStep()) settings.Modes = command.Modes;
    if (command.DialogTitle) settings.ParamDialogTitle = Vn(command.DialogTitle);
}

}  // namespace qef
