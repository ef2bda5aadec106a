#pragma once
// The names of the report files that an adjustment run derives from its result file.
#include <string>

namespace qef {

// The report files that belong to a result file R: report 0 is R with the extension "in",
// reports 1, 3, 4, 5 and 6 add a digit to it, report 2 is R with "in2"; the closure table is
// report 6 with "in7"; the angle-and-side list and the saved log are R with "dh" and "txt"; the
// observation list is R's file name up to its first point with ".tb".
struct ReportSet {
    std::string Main;          // report 0
    std::string Rigorous1;     // adjusted coordinates
    std::string Side;          // report 2, side corrections
    std::string Rigorous3;     // adjusted angles
    std::string Rigorous4;     // adjusted distances
    std::string Rigorous5;     // sides, azimuths and relative accuracy
    std::string Log;           // report 6, the progress log
    std::string ClosureTable;  // "in7"
    std::string Dh;
    std::string Txt;
    std::string ObservationList;  // ".tb", the single-pass driver's list of angles and sides
};
ReportSet ReportSetFor(const std::string& resultFile);

}  // namespace qef
