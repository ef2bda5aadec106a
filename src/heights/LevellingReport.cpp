#include "heights/LevellingReport.h"

#include <cmath>

#include "core/text/NumberFormat.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"

namespace qef {

namespace {

const char* const kRule = "\t------------------------------------------------------";

std::string PointRow(int number, const std::string& name, double height) {
    return "\t| " + FormatInt(number, 3) + " | " + PadRight(name, 12) + " |          |         | " +
           FormatFixed(height, 8, 3) + " |";
}

std::string SegmentRow(double length, double dh) {
    return "\t|     |              | " + FormatFixed(length, 8, 1) + " | " + FormatFixed(dh, 7, 3) + " |          |";
}

}  // namespace

void AddLevellingTable(std::vector<std::string>& report, const LevellingBranch& branch, const PointNameTable& names,
                       LevellingTableKind kind, int heightClosureFactor, bool keepAccents) {
    const bool open = kind == LevellingTableKind::Open;
    report.emplace_back();
    report.push_back(StripAccents(
        Vn(open ? "\t\t\t   Kết quả tính đường chuyền treo" : "\t\t\t\tKết quả bình sai độ cao"), keepAccents));
    report.emplace_back();
    report.emplace_back(kRule);
    report.push_back(StripAccents(Vn("\t| STT |    Tuyến     |  Độ dài  |Chênh cao|  Độ cao  |"), keepAccents));
    report.emplace_back(kRule);
    const int points = static_cast<int>(branch.Points.size());
    report.push_back(PointRow(1, names.Name(branch.Points[0]), branch.Heights[0]));
    for (int k = 0; k + 1 < points; ++k) {
        report.push_back(SegmentRow(branch.Lengths[k], branch.Dhs[k]));
        report.push_back(PointRow(k + 2, names.Name(branch.Points[k + 1]), branch.Heights[k + 1]));
    }
    report.emplace_back(kRule);
    report.emplace_back();
    if (!open) {
        const double limitMm = heightClosureFactor * std::sqrt(branch.LengthSum / 1000.0);
        report.push_back("      [S] = " + FormatFixed(branch.LengthSum, 2, 1) + "(m)    Fh = " +
                         FormatFixed(branch.Misclosure * 1000.0, 3, 1) + "(mm)    Fhgh = " +
                         FormatFixed(limitMm, 3, 1) + "(mm)");
    }
    report.emplace_back();
}

std::string HeightFileLine(const std::string& name, double height) { return name + "\t" + FormatFixed(height, 5, 3); }

}  // namespace qef
