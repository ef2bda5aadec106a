#include "FuzzInput.h"
#include "core/grid/GridFile.h"

// The first byte also chooses the separator (or detection) and the grid's size, so that files
// that do not fit and rows read in below the data are reached.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const qef::ComputationSettings settings = qef::fuzz::Prepare(data, size);
    const std::uint8_t mode = size > 0 ? data[0] : 0;
    qef::GridFileFormat format;
    if (mode % 7 < 6) format.Separator = static_cast<qef::SeparatorMode>(mode % 7);
    format.FixedFieldWidth = settings.FixedFieldWidth;
    format.Columns = 1 + mode % 5;
    const qef::GridFileRead read = qef::ReadGridFile(qef::fuzz::ScratchFile(), format);
    qef::GridDocument doc(format.Columns, 40);
    doc.SetDataRowCount(mode % 9);
    const int row = 1 + mode % 13;
    if (static_cast<long long>(read.Rows.size()) <= qef::RoomForRows(doc, row)) qef::InsertGridRows(doc, row, read.Rows);
    (void)qef::GridFileText(doc, format.Separator.value_or(qef::SeparatorMode::Tab), format.FixedFieldWidth);
    return 0;
}
