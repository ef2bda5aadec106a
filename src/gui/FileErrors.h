#pragma once
// Why a file could not be written or read, in the user's words: the system's own texts are
// English, and the user needs to know what to change (the folder, the rights, the disk).
#include <QString>

#include "core/grid/GridFile.h"
#include "core/model/Interaction.h"

namespace qef {

// `bytes` is how much was to be written; 0 when it is not known.
QString WriteFailureText(const QString& path, qint64 bytes);
QString ReadFailureText(const QString& path);

// Cells the computations would read cut (past the 255 characters of a line) are written whole
// and named after a save of the grid; nothing is said when there is none.
void TellLongCells(Interaction& ask, const LongCells& cells);

}  // namespace qef
