#pragma once
// The four tables of the rigorous adjustment (report files 1, 3, 4 and 5): adjusted coordinates
// with their errors; observed, corrected and adjusted angles; the same for distances; adjusted
// sides with azimuths and their errors. The first group of a run writes the headers of all four,
// every group appends its rows. The writers only format what the adjustment has computed.
#include <memory>
#include <string>
#include <vector>

#include "adjustment/GroupWorkingSet.h"
#include "adjustment/Rigorous.h"
#include "core/model/ComputationSettings.h"
#include "core/model/NetworkModel.h"
#include "core/model/ReportNames.h"
#include "core/text/TextFile.h"

namespace qef {

// x, or 0 when x would print as zero with d decimals (no "-0.00").
double ZeroIfTiny(int d, double x);

// The tables' files kept open from the first group's rows to the end of the run (or step), so
// that a run of many groups does not open them again for each. What is written goes out when they
// are closed.
class RigorousTables {
public:
    RigorousTables() = default;
    RigorousTables(const RigorousTables&) = delete;
    RigorousTables& operator=(const RigorousTables&) = delete;
    ~RigorousTables();

    // The open file `path`, opened for appending at the first call; null when it cannot be opened.
    TextFileWriter* Open(const std::string& path);
    // Closes every file; the name of the first whose writing failed, null when none did.
    const std::string* Close();

private:
    struct Table {
        std::string Path;
        std::unique_ptr<TextFileWriter> Out;
    };
    std::vector<Table> tables_;
    std::string failed_;
};

// Each writer appends to its file (an empty name is not written) and gives false when the file
// cannot be written. With `tables` the rows go to its open files; the file is then known to have
// been written only when the tables are closed.

// With `fresh` set: rewrites the four files (reports.Rigorous1, 3, 4 and 5) with their headers,
// lists the known points in file 1 and clears `fresh`. Then the unknown nodes and the interior
// points of every branch, in file 1.
bool WriteRigorousCoordTable(const ReportSet& reports, const GroupWorkingSet& ws, const NetworkModel& model,
                             const PointList& known, const RigorousSolution& sol, const ComputationSettings& settings,
                             bool& fresh, RigorousTables* tables = nullptr);
// File 5, file 4 and file 3.
bool WriteRigorousSideTable(const std::string& path, const GroupWorkingSet& ws, const NetworkModel& model,
                            const RigorousSolution& sol, RigorousTables* tables = nullptr);
bool WriteRigorousDistanceTable(const std::string& path, const GroupWorkingSet& ws, const NetworkModel& model,
                                const RigorousSolution& sol, RigorousTables* tables = nullptr);
bool WriteRigorousAngleTable(const std::string& path, const GroupWorkingSet& ws, const NetworkModel& model,
                             const RigorousSolution& sol, RigorousTables* tables = nullptr);

}  // namespace qef
