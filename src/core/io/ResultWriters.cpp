#include "core/io/ResultWriters.h"

#include "core/text/NumberFormat.h"
#include "core/text/TextFile.h"

namespace qef {

namespace {

std::string Value(double v, bool metres) { return metres ? FormatFixed(v, 0, 3) : FormatFixed(v * 1000.0, 0, 0); }

// Opens `fileName` (to append to, or anew), lets `write` fill it and closes it; false when it could
// not be written.
template <class Write>
bool WriteFile(const std::string& fileName, bool append, const Write& write) {
    TextFileWriter out(fileName, append);
    if (!out.IsOpen()) return false;
    write(out);
    return out.Close();
}

}  // namespace

std::string ResultLine(const std::string& name, double x, double y, bool metres) {
    return name + '\t' + Value(x, metres) + '\t' + Value(y, metres);
}

bool WriteNodeCoordinates(const std::string& fileName, const NetworkModel& model, const OneBased<double>& x,
                          const OneBased<double>& y, bool append, int n, const OneBased<std::uint8_t>& nodeDone,
                          bool metres) {
    return WritePointCoordinates(fileName, model.PointNames, model.NetworkNodes, x, y, append, n, &nodeDone, metres);
}

bool WritePointCoordinates(const std::string& fileName, const PointNameTable& names, const OneBased<int>& ids,
                           const OneBased<double>& x, const OneBased<double>& y, bool append, int n,
                           const OneBased<std::uint8_t>* nodeDone, bool metres) {
    return WriteFile(fileName, append, [&](TextFileWriter& out) {
        WritePointCoordinates(out, names, ids, x, y, append, n, nodeDone, metres);
    });
}

void WriteNodeCoordinates(TextFileWriter& out, const NetworkModel& model, const OneBased<double>& x,
                          const OneBased<double>& y, bool append, int n, const OneBased<std::uint8_t>& nodeDone,
                          bool metres) {
    WritePointCoordinates(out, model.PointNames, model.NetworkNodes, x, y, append, n, &nodeDone, metres);
}

void WritePointCoordinates(TextFileWriter& out, const PointNameTable& names, const OneBased<int>& ids,
                           const OneBased<double>& x, const OneBased<double>& y, bool append, int n,
                           const OneBased<std::uint8_t>* nodeDone, bool metres) {
    for (int k = 1; k <= n; ++k) {
        // Appending writes what the caller has not written yet; rewriting only what has values.
        const bool write =
            append ? (nodeDone == nullptr || (*nodeDone)[k] == 0) : !IsMissing(x[k]) && !IsMissing(y[k]);
        if (write) out.WriteLine(ResultLine(names.Name(ids[k]), x[k], y[k], metres));
    }
}

void AppendBranchPointCoordinates(TextFileWriter& out, const NetworkModel& model, bool includeLast, int n,
                                  const OneBased<double>& branchX, const OneBased<double>& branchY, bool metres) {
    const BranchModel& br = model.Branches;
    for (int b = 1; b <= n; ++b) {
        const int stop = includeLast ? br.Last(b) : br.Last(b) - 1;
        for (int p = br.First(b) + 1; p <= stop; ++p)
            out.WriteLine(ResultLine(model.PointNames.Name(br.PointAt(p)), branchX[p], branchY[p], metres));
    }
}

bool AppendBranchPointCoordinates(const std::string& fileName, const NetworkModel& model, bool includeLast,
                                  int n, const OneBased<double>& branchX, const OneBased<double>& branchY,
                                  bool metres) {
    return WriteFile(fileName, true, [&](TextFileWriter& out) {
        AppendBranchPointCoordinates(out, model, includeLast, n, branchX, branchY, metres);
    });
}

}  // namespace qef
