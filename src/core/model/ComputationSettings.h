#pragma once
// Every computation parameter with its default. The application owns one instance;
// the dialogs edit it; a computation receives it by const reference or takes a copy.
// Texts are TCVN3 bytes.
#include <cstdint>
#include <string>

#include "core/text/SeparatorMode.h"

namespace qef {

// The height the sides are reduced by. The values are those of the settings and the dialog's items.
enum class ReductionMode : std::int32_t {
    AreaMean = 0,              // MeanAreaHeight for every side
    SideMean = 1,              // mean of the heights of each side's ends
    AboveProjectionPlane = 2,  // that mean less ProjectionPlaneHeight
};

// The modes that take each side's height from the heights of its points.
constexpr bool UsesPointHeights(ReductionMode mode) { return mode != ReductionMode::AreaMean; }

// Where the weights of the rigorous adjustment come from. The values are those of the settings.
enum class WeightMode : std::uint8_t {
    Estimated = 0,  // Mb and Ms of the simple adjustment
    Entered = 2,    // MbEnteredSeconds, MsConstant and MsPpm
};

// Set by each computation command before it shows a dialog.
struct ComputationModeFlags {
    bool ModeTraverse = false;
    bool RigorousWanted = false;
    bool ModeLevelling = false;
    bool ModeDetailPoints = false;
    bool ModeWithHeights = false;
};

struct ComputationSettings {
    ComputationModeFlags Modes;

    std::string ParamDialogTitle = "Thong so tinh toan";

    // Units and angle notation.
    bool MetresFlag = true;          // false: data in millimetres
    bool AnglesInDegrees = true;     // false: grads
    bool AngleTextWithPoint = true;  // false: packed integer form ("1800000")

    // Closure limits.
    std::int32_t LinearClosureDenominator = 4000;  // Fs/[S] <= 1/T
    std::int32_t AngularClosureFactor = 30;        // Fb <= k*sqrt(n) seconds
    std::int32_t HeightClosureFactor = 50;         // Fh <= k*sqrt(L km) mm

    // Reduction of measured sides.
    bool HeightReduction = false;
    ReductionMode HeightReductionMode = ReductionMode::AreaMean;
    double MeanAreaHeight = 0.0;
    double ProjectionPlaneHeight = 0.0;
    bool HeightsFromFile = true;
    bool ProjectionReduction = false;
    bool ProjectionIsUtm = true;
    bool UtmZone3Deg = true;
    double ProjectionScale = 0.9999;

    // Weights of the rigorous adjustment.
    qef::WeightMode WeightMode = qef::WeightMode::Estimated;
    bool WeightsEntered = false;
    double MbEnteredSeconds = 5.0;
    double MsConstant = 3.0;  // mm
    double MsPpm = 5.0;       // x 1e-6 x S

    // Other options of the adjustment.
    bool SkipHangingTraverses = false;
    // The single-pass driver adjusts fitted branches and node groups one by one (true) or the
    // whole network as one group (false, unless the rigorous adjustment is wanted).
    bool GroupedAdjustment = true;
    bool WriteDhFile = false;

    // Output of text files.
    SeparatorMode OutputSeparatorMode = SeparatorMode::Tab;
    std::int32_t FixedFieldWidth = 10;
    bool KeepAccents = true;

    // Drawing export.
    bool AcadUploadEnabled = false;
    bool AcadUploadKnownPoints = false;
    bool AcadUploadAdjustedPoints = false;
    bool AcadUploadDetailPoints = false;
    std::uint8_t AcadUploadFlags = 0;  // bit 0 detail points, bit 1 height texts, bit 2 Z
    double AcadTextHeight1 = 5.0;
    double AcadTextHeight2 = 5.0;
    double AcadTextHeight3 = 2.0;
    double AcadHeightTextHeight = 2.0;
    std::string AcadLayer1 = "kc1";
    std::string AcadLayer2 = "kc2";
    std::string AcadCurrentLayer = "diem";
    bool AcadFileUploadMode = false;
};

}  // namespace qef
