#pragma once
// Small file-to-file tools of the main window: trigonometric to geometric height differences,
// coordinates in the comma form of a data recorder, and the stations of a detail file.
#include <string>

#include "core/io/ToolFiles.h"
#include "core/model/ComputationSettings.h"
#include "core/model/Interaction.h"

namespace qef {

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
// once, in the order they first appear, one a line.
ToolStatus ListStations(const std::string& inName, const std::string& outName, const ComputationSettings& settings,
                        Interaction& ui);

}  // namespace qef
