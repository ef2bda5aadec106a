#pragma once
// Small file-to-file tools of the main window: trigonometric to geometric height differences,
// coordinates in the comma form of a data recorder, and the stations of a detail file.
#include <initializer_list>
#include <string>

#include "core/io/ToolFiles.h"
#include "core/model/ComputationSettings.h"
#include "core/model/Interaction.h"
#include "core/text/SplitLines.h"

namespace qef {

// A NUL in a name is a damaged line: the name would stand for another point, and the byte would
// reach the result. False, with the line named and the status set, when one of `fields` of the
// current line holds one.
bool NamesWithoutNul(const SplitLines& lines, std::initializer_list<std::size_t> fields, const std::string& inName,
                     Interaction& ui, ToolStatus& status);

// Every line of six fields whose last three are numbers a, b, c becomes field 1, 2 and 3 and
// a + b - c (3 decimals, at least 5 characters), TAB-separated; other lines are dropped.
ToolStatus TrigToGeometricHeights(const std::string& inName, const std::string& outName,
                                  const ComputationSettings& settings, Interaction& ui);

// Asks the start number, then writes every point line (name, X, Y) as "n,X,Y,0.0,name", n
// counting up from the start. Lines that are not points are left out and counted in a message.
ToolStatus CoordinatesToCommaForm(const std::string& inName, const std::string& outName,
                                  const ComputationSettings& settings, Interaction& ui);
// The start number typed by the user: the nearest whole number, 0 when it is none.
long long StartNumberOf(const std::string& text);

// The station and back-sight names of the station lines (first field empty or "(...)"), each
// once, in the order they first appear, one a line. Rows of separators only are left out and named.
ToolStatus ListStations(const std::string& inName, const std::string& outName, const ComputationSettings& settings,
                        Interaction& ui);

}  // namespace qef
