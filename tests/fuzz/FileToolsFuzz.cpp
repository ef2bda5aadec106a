#include <cstdio>

#include "core/model/Progress.h"
#include "drawing/DxfDrawing.h"
#include "FuzzInput.h"
#include "tools/Calculator.h"
#include "tools/CoordinateTools.h"
#include "tools/CoordinateUpload.h"
#include "tools/FileTools.h"
#include "tools/HeightFileTools.h"
#include "tools/ObservationTools.h"
#include "tools/WordReplacement.h"

// Every file tool with the input as each of its files.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qef;
    ComputationSettings settings = fuzz::Prepare(data, size);
    const std::uint8_t mode = size > 0 ? data[0] : 0;
    const std::string& in = fuzz::ScratchFile();
    static const std::string out = in + ".out";
    SilentInteraction ui;
    TrigToGeometricHeights(in, out, settings, ui);
    CoordinatesToCommaForm(in, out, settings, ui);
    ListStations(in, out, settings, ui);
    SortPointsXY(in, out, SortOrder::Ascending, settings, ui);
    SortPointsXYZ(in, out, SortOrder::Descending, settings, ui);
    WriteObservations(in, in, out, settings, ui);
    CompareObservationFiles(in, in, out, settings, ui);
    AverageTwoWayLevelling(in, out, settings, ui);
    MergeHeightsIntoCoords(in, in, out, settings, ui);
    CompareSameNamedPoints(in, in, out, settings, ui);
    WordReplacementOptions options;
    options.Side = static_cast<FillSide>(mode % 3);
    options.Fill = (mode & 8) != 0 ? '0' : ' ';
    ReplaceWordsInFile(in, in, out, options, settings, ui);
    CalculatorTable table;
    ReadCalculatorTable(in, settings.FixedFieldWidth, table);
    // The upload into its real drawing beside the file, with every choice of texts and z.
    NullProgress progress;
    settings.AcadUploadEnabled = true;
    settings.AcadUploadFlags = static_cast<std::uint8_t>(mode & 7);
    UploadCoordinateFile(in, settings, progress, ui);
    std::remove(out.c_str());
    std::remove(DrawingPathFor(in).c_str());
    return 0;
}
