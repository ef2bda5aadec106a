#include "gui/Commands.h"

#include "core/text/VnCodec.h"

namespace qef {

namespace {

ComputationModeFlags Flags(bool traverse, bool levelling, bool detail, bool heights) {
    ComputationModeFlags f;
    f.ModeTraverse = traverse;
    f.RigorousWanted = false;
    f.ModeLevelling = levelling;
    f.ModeDetailPoints = detail;
    f.ModeWithHeights = heights;
    return f;
}

const char* const kResultPrompt = "Nhập tên file kết quả";
// Asked only when the sides are reduced by heights taken from a file of their own; every command
// names it, so that the question never shows another command's title.
const char* const kHeightPrompt = "Nhập tên file độ cao điểm";

}  // namespace

const std::vector<ComputationCommand>& ComputationCommands() {
    static const std::vector<ComputationCommand> commands = {
        {"Binhsaimoi", CommandWorker::AdjustByOrder, "Thông số tính toán Bình sai", true, true,
         Flags(true, false, false, false), true, true, "Nhập tên file tọa độ gốc - Bình sai",
         "Nhập tên file số liệu đo - Bình sai", kResultPrompt, kHeightPrompt, DetailMode::Plan,
         AfterRun::ProgressLog},
        {"Bnhsaic1", CommandWorker::AdjustClassic, "Thông số tính toán Bình sai đơn giản", true, true,
         Flags(true, false, false, false), false, true, "Nhập tên file tọa độ gốc - Bình sai",
         "Nhập tên file số liệu đo - Bình sai", kResultPrompt, kHeightPrompt, DetailMode::Plan,
         AfterRun::ProgressLogClassic},
        // The step-by-step dialog sets its own flags and asks its own files.
        {"KTtungnhom", CommandWorker::StepByStep, nullptr, false, false, {}, false, false, nullptr,
         nullptr, nullptr, nullptr, DetailMode::Plan, AfterRun::Nothing},
        {"BSDC", CommandWorker::Levelling, "Thông số tính toán Bình sai độ cao", true, true,
         Flags(false, true, false, false), false, true, "Nhập tên file cao độ gốc",
         "Nhập tên file số liệu đo cao", kResultPrompt, kHeightPrompt, DetailMode::Plan,
         AfterRun::FirstReport},
        {"TXYMia", CommandWorker::DetailPoints, "Thông số tính toán tọa độ điểm", true, true,
         Flags(false, false, true, false), false, true, "Nhập tên file tọa độ gốc",
         "Nhập tên file số liệu đo chi tiết", kResultPrompt, kHeightPrompt, DetailMode::Plan,
         AfterRun::Nothing},
        {"TB_Tinhxyz1", CommandWorker::DetailPoints,
         "Thông số tính toán tọa độ, cao độ điểm theo chênh cao", true, true,
         Flags(false, false, true, true), false, true, "Nhập tên file tọa độ, cao độ gốc",
         "Nhập tên file số liệu đo cao chi tiết theo chênh cao", kResultPrompt, kHeightPrompt,
         DetailMode::HeightsFromDifferences, AfterRun::Nothing},
        {"TB_TinhXYZ2", CommandWorker::DetailPoints,
         "Thông số tính toán tọa độ, cao độ điểm theo góc thiên đỉnh", true, true,
         Flags(false, false, true, true), false, true, "Nhập tên file tọa độ, cao độ gốc",
         "Nhập tên file số liệu đo cao chi tiết theo góc thiên đỉnh", kResultPrompt, kHeightPrompt,
         DetailMode::HeightsFromZenithAngles, AfterRun::Nothing},
        // No dialog; the flags are still set so that the result question is that of an
        // adjustment whatever ran before.
        {"Khugoccanhcung", CommandWorker::RemoveFixedObservations, "Thông số tính toán Bình sai đơn giản",
         false, true, Flags(true, false, false, false), false, true,
         "Nhập tên file tọa độ gốc - Bình sai đơn giản", "Nhập tên file số liệu đo - Bình sai đơn giản",
         kResultPrompt, kHeightPrompt, DetailMode::Plan, AfterRun::Nothing},
        // The field books ask their options and files themselves.
        {"Taosodogoccanh", CommandWorker::FieldBooks, nullptr, false, false, {}, false, false, nullptr, nullptr,
         nullptr, nullptr, DetailMode::Plan, AfterRun::Nothing},
        {"Vesodogoc", CommandWorker::TextBooks, nullptr, false, false, {}, false, false, nullptr, nullptr, nullptr,
         nullptr, DetailMode::Plan, AfterRun::Nothing},
        // The conversion form keeps its own options and asks its own files.
        {"Xulysolieutho", CommandWorker::RawConversion, nullptr, false, false, {}, false, false, nullptr, nullptr,
         nullptr, nullptr, DetailMode::Plan, AfterRun::Nothing},
    };
    return commands;
}

const ComputationCommand* FindComputationCommand(std::string_view name) {
    for (const ComputationCommand& c : ComputationCommands()) {
        if (name == c.Name) return &c;
    }
    return nullptr;
}

void PrepareSettings(const ComputationCommand& command, ComputationSettings& settings) {
    if (command.SetsModes) settings.Modes = command.Modes;
    if (command.DialogTitle) settings.ParamDialogTitle = Vn(command.DialogTitle);
}

}  // namespace qef
