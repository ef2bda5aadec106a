#pragma once
// The four tables of the rigorous adjustment (report files 1, 3, 4 and 5): adjusted coordinates
// with their errors; observed, corrected and adjusted angles; the same for distances; adjusted
// sides with azimuths and their errors. The first group of a run writes the headers of all four,
// every group appends its rows. The writers only format what the adjustment has computed.
#include <string>

#include "adjustment/GroupWorkingSet.h"
#include "adjustment/Rigorous.h"
#include "core/model/ComputationSettings.h"
#include "core/model/NetworkModel.h"
#include "core/model/ReportNames.h"
#include "core/text/OpenFiles.h"

namespace qef {

// x, or 0 when x would print as zero with d decimals (no "-0.00").
double ZeroIfTiny(int d, double x);

// Each writer appends to its file (an empty name is not written) and gives false when the file
// cannot be written. The rows go to the run's open files, unflushed: the file is known to have been
// written only when they are flushed.

// With `fresh` set: rewrites the four files (reports.Rigorous1, 3, 4 and 5) with their headers,
// lists the known points in file 1 and clears `fresh`. Then the unknown nodes and the interior
// points of every branch, in file 1.
bool WriteRigorousCoordTable(const ReportSet& reports, const GroupWorkingSet& ws, const NetworkModel& model,
                             const PointList& known, const RigorousSolution& sol, const ComputationSettings& settings,
                             bool& fresh, OpenFiles& files);
// File 5, file 4 and file 3.
bool WriteRigorousSideTable(const std::string& path, const GroupWorkingSet& ws, const NetworkModel& model,
                            const RigorousSolution& sol, OpenFiles& files);
bool WriteRigorousDistanceTable(const std::string& path, const GroupWorkingSet& ws, const NetworkModel& model,
                                const RigorousSolution& sol, OpenFiles& files);
bool WriteRigorousAngleTable(const std::string& path, const GroupWorkingSet& ws, const NetworkModel& model,
                             const RigorousSolution& sol, OpenFiles& files);

}  // namespace qef
