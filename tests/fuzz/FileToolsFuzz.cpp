#include "FuzzInput.h"
#include "core/tools/Calculator.h"
#include "core/tools/CoordinateTools.h"
#include "core/tools/FileTools.h"
#include "core/tools/ObservationTools.h"
#include "heights/HeightFileTools.h"

// Every file tool with the input as each of its files.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qef;
    const ComputationSettings settings = fuzz::Prepare(data, size);
    const std::string& in = fuzz::ScratchFile();
    static const std::string out = in + ".out";
    SilentInteraction ui;
    TrigToGeometricHeights(in, out, settings, ui);
    CoordinatesToCommaForm(in, out, settings, ui);
    ListStations(in, out, settings, ui);
    SortPointFile(PointFileKind::XY, in, out, SortOrder::Ascending, settings, ui);
    SortPointFile(PointFileKind::XYH, in, out, SortOrder::Descending, settings, ui);
    WriteObservations(in, in, out, settings, ui);
    CompareObservationFiles(in, in, out, settings, ui);
    AverageTwoWayLevelling(in, out, settings, ui);
    MergeHeightsIntoCoords(in, in, out, settings, ui);
    CompareSameNamedPoints(in, in, out, settings, ui);
    CalculatorTable table;
    ReadCalculatorTable(in, settings.FixedFieldWidth, table);
    std::remove(out.c_str());
    return 0;
}
