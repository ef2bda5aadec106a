#include "adjustment/RigorousReports.h"

#include <array>
#include <cmath>
#include <string_view>

#include "core/numeric/Geometry.h"
#include "core/text/NumberFormat.h"
#include "core/numeric/Numbers.h"
#include "core/text/TextFile.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"

namespace qef {

namespace {

const std::string kMargin(9, ' ');

std::string Name(const NetworkModel& model, int id) {
    return PadRight(id > 0 ? model.PointNames.Name(id) : std::string(), 10);
}

// Right-aligned in `width` (wider text is kept whole).
std::string Field(const std::string& text, int width) { return PadLeft(text, width); }

struct TableHeader {
    std::string_view Title;
    std::string_view Columns;
};

// Files 1, 3, 4 and 5.
const TableHeader kHeaders[4] = {
    {"                 Bảng thành quả tọa độ bình sai",
     "|  SH  điểm  |     X(m)    |    Y(m)    | Mx(m) | My(m) | Mp(m) |"},
    {"               Bảng trị đo, số hiệu chỉnh và trị bình sai góc",
     "| Điểm trước | Điểm  giữa |  Điểm sau  |   Góc  đo   |  Vb(\") | Góc bình sai |"},
    {"       Bảng trị đo, số hiệu chỉnh và trị bình sai cạnh",
     "|  Từ  điểm  |  Đến điểm  |  Cạnh(m)  |   Vs(m) | Cạnh BS(m)|"},
    {"                  Bảng chiều dài cạnh, phương vị và sai số tương hỗ",
     "|  Từ  điểm  |  Đến điểm  |  Cạnh(m)  |  Ms(m) |    Ms/S   |   Phương vị  | Mpv(\")|"},
};

void WriteHeader(TextFileWriter& out, const TableHeader& header, bool keepAccents) {
    const std::string columns = StripAccents(Vn(header.Columns), keepAccents);
    const std::string rule(columns.size(), '-');
    out.WriteLine();
    out.WriteLine(kMargin + StripAccents(Vn(header.Title), keepAccents));
    out.WriteLine();
    out.WriteLine(kMargin + rule);
    out.WriteLine(kMargin + columns);
    out.WriteLine(kMargin + rule);
}

std::string Row(std::initializer_list<std::string> cells) {
    std::string row = kMargin + "| ";
    bool firstCell = true;
    for (const std::string& cell : cells) {
        if (!firstCell) row += " | ";
        row += cell;
        firstCell = false;
    }
    return row + " |";
}

std::string Angle(double degrees, int decimals, int width) {
    return Field(FormatDms(decimals, " ", degrees), width);
}

// The group's note, when it has one, ahead of its rows.
void WriteNote(TextFileWriter& out, const RigorousSolution& sol) {
    if (!sol.TableNote.empty()) out.WriteLine(kMargin + sol.TableNote);
}

// Appends the group's note and what `writeRows` writes to a report made earlier; a report not
// asked for is skipped.
template <class WriteRows>
bool AppendToReport(const std::string& name, OpenFiles& files, const RigorousSolution& sol, WriteRows writeRows) {
    if (name.empty()) return true;
    TextFileWriter* out = files.Append(name);
    if (out == nullptr) return false;
    WriteNote(*out, sol);
    writeRows(*out);
    return true;
}

// Visits the sides p -> p+1 of every branch, branch by branch.
template <class Visit>
void ForEachSide(const GroupWorkingSet& ws, const NetworkModel& model, Visit visit) {
    const BranchModel& br = model.Branches;
    for (int b = 1; b <= ws.Nb; ++b)
        for (int p = br.First(b); p <= br.Last(b) - 1; ++p) visit(p);
}

}  // namespace

double ZeroIfTiny(int d, double x) { return RoundHalfEven(d, x) == 0.0 ? 0.0 : x; }

bool WriteRigorousCoordTable(const ReportSet& reports, const GroupWorkingSet& ws, const NetworkModel& model,
                             const PointList& known, const RigorousSolution& sol, const ComputationSettings& settings,
                             bool& fresh, OpenFiles& files) {
    const std::array<std::string, 4> names = {reports.Rigorous1, reports.Rigorous3, reports.Rigorous4,
                                              reports.Rigorous5};
    const bool headers = fresh;
    fresh = false;
    if (headers) {
        // Files 3, 4 and 5 start anew with their headers; their rows follow later.
        for (int f = 1; f < 4; ++f) {
            if (names[f].empty()) continue;
            TextFileWriter* out = files.Rewrite(names[f]);
            if (out == nullptr) return false;
            WriteHeader(*out, kHeaders[f], settings.KeepAccents);
        }
    }
    if (names[0].empty()) return true;
    TextFileWriter* file = headers ? files.Rewrite(names[0]) : files.Append(names[0]);
    if (file == nullptr) return false;
    TextFileWriter& out = *file;
    if (headers) {
        WriteHeader(out, kHeaders[0], settings.KeepAccents);
        const std::string zero = "0.000";
        for (int i = 1; i <= known.Count(); ++i) {
            const int k = i;
            if (IsMissing(known.X[k]) || IsMissing(known.Y[k])) continue;
            out.WriteLine(Row({Name(model, known.Ids[k]), FormatFixed(known.X[k], 11, 3), FormatFixed(known.Y[k], 10, 3),
                               zero, zero, zero}));
        }
    }
    WriteNote(out, sol);
    auto row = [&](int id, double x, double y, double mx, double my, double mp) {
        out.WriteLine(Row({Name(model, id), FormatFixed(x, 11, 3), FormatFixed(y, 10, 3), FormatFixed(mx, 5, 3),
                           FormatFixed(my, 5, 3), FormatFixed(mp, 5, 3)}));
    };
    for (int j = 1; j <= ws.Nn; ++j) {
        const int ji = j;
        if (ws.KnownNodeFlags[ji] != 0) continue;
        row(model.NetworkNodes[ji], ws.NodeX[ji], ws.NodeY[ji], sol.NodeMx[ji], sol.NodeMy[ji], sol.NodeMp[ji]);
    }
    const BranchModel& br = model.Branches;
    for (int b = 1; b <= ws.Nb; ++b)
        for (int p = br.First(b) + 1; p <= br.Last(b) - 1; ++p) {
            const int pi = p;
            row(br.PointAt(p), ws.PositionX[pi], ws.PositionY[pi], sol.PointMx[pi], sol.PointMy[pi], sol.PointMp[pi]);
        }
    return true;
}

bool WriteRigorousSideTable(const std::string& path, const GroupWorkingSet& ws, const NetworkModel& model,
                            const RigorousSolution& sol, OpenFiles& files) {
    return AppendToReport(path, files, sol, [&](TextFileWriter& out) {
        ForEachSide(ws, model, [&](int p) {
            const int pi = p;
            const double length = RoundHalfEven(3, ws.PositionSides[pi] + sol.SideCorrections[pi]);
            // The ratio cell carries its own "1/" after the separator.
            std::string row = Row({Name(model, model.Branches.PointAt(p)), Name(model, model.Branches.PointAt(p + 1)),
                                   FormatFixed(length, 9, 3), FormatFixed(sol.SideErrors[pi], 6, 3)});
            row.resize(row.size() - 2);
            row += " | 1/" + FormatFixed(sol.SideRatios[pi], 7, 0) + " | " +
                   Angle(ws.PositionAzimuths[pi], 2, 13) + " | " + FormatFixed(sol.AzimuthErrors[pi], 7, 2) + " |";
            out.WriteLine(row);
        });
    });
}

bool WriteRigorousDistanceTable(const std::string& path, const GroupWorkingSet& ws, const NetworkModel& model,
                                const RigorousSolution& sol, OpenFiles& files) {
    return AppendToReport(path, files, sol, [&](TextFileWriter& out) {
        ForEachSide(ws, model, [&](int p) {
            const int pi = p;
            const double side = ws.PositionSides[pi];
            const double vs = RoundHalfEven(3, sol.SideCorrections[pi]);
            out.WriteLine(Row({Name(model, model.Branches.PointAt(p)), Name(model, model.Branches.PointAt(p + 1)),
                               FormatFixed(side, 9, 3), FormatFixed(vs, 7, 3), FormatFixed(side + vs, 9, 3)}));
        });
    });
}

bool WriteRigorousAngleTable(const std::string& path, const GroupWorkingSet& ws, const NetworkModel& model,
                             const RigorousSolution& sol, OpenFiles& files) {
    return AppendToReport(path, files, sol, [&](TextFileWriter& out) {
        const BranchModel& br = model.Branches;
        auto row = [&](int back, int p, int fore) {
            const int pi = p;
            const double observed = ws.PositionAngles[pi];
            const double v = sol.AngleCorrections[pi];
            const double adjusted = NormalizeAzimuth(observed + SecondsToDegrees(v));
            out.WriteLine(Row({Name(model, back), Name(model, br.PointAt(p)), Name(model, fore), Angle(observed, 1, 11),
                               FormatFixed(ZeroIfTiny(2, v), 6, 2), Angle(adjusted, 2, 12)}));
        };
        for (int b = 1; b <= ws.Nb; ++b) {
            const int bi = b;
            const BranchKind kind = ws.BranchTypes[bi];
            const int first = br.First(b);
            const int last = br.Last(b);
            if (HasStartAngle(kind)) row(ws.StartRefPoints[bi], first, br.PointAt(first + 1));
            for (int p = first + 1; p <= last - 1; ++p) row(br.PointAt(p - 1), p, br.PointAt(p + 1));
            if (HasEndAngle(kind)) row(br.PointAt(last - 1), last, ws.EndRefPoints[bi]);
        }
    });
}

}  // namespace qef
