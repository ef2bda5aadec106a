#include "core/model/ReportNames.h"

#include "core/text/TextHelpers.h"

namespace qef {

ReportSet ReportSetFor(const std::string& resultFile) {
    ReportSet r;
    r.Main = ReplaceFileExt(resultFile, "in");
    r.Rigorous1 = r.Main + "1";
    r.Side = ReplaceFileExt(resultFile, "in2");
    r.Rigorous3 = r.Main + "3";
    r.Rigorous4 = r.Main + "4";
    r.Rigorous5 = r.Main + "5";
    r.Log = r.Main + "6";
    r.ClosureTable = ReplaceFileExt(r.Log, "in7");
    r.Dh = ReplaceFileExt(resultFile, "dh");
    r.Txt = ReplaceFileExt(resultFile, "txt");
    r.ObservationList = SwapExtAtFirstDot(resultFile, ".tb");
    return r;
}

}  // namespace qef
