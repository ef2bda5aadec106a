#pragma once
// The result coordinate file: one point a line, name TAB X TAB Y, in metres with 3 decimals or in
// whole millimetres. The coordinate-file tools and the drawing export read it back.
#include <cstdint>
#include <string>

#include "core/model/NetworkModel.h"
#include "core/numeric/OneBased.h"
#include "core/text/TextFile.h"

namespace qef {

// Each writer gives false when the file cannot be opened or written.

// Node i (1..n) is NetworkNodes[i] at x[i], y[i]. With append, every node whose nodeDone[i] is 0
// is appended; without, the file is rewritten with every node whose X and Y are both present.
[[nodiscard]] bool WriteNodeCoordinates(const std::string& fileName, const NetworkModel& model,
                                        const OneBased<double>& x, const OneBased<double>& y, bool append,
                                        int n, const OneBased<std::uint8_t>& nodeDone, bool metres);

// The same for the caller's ids[1..n]; nodeDone may be null (no point is done).
[[nodiscard]] bool WritePointCoordinates(const std::string& fileName, const PointNameTable& names,
                                         const OneBased<int>& ids, const OneBased<double>& x,
                                         const OneBased<double>& y, bool append, int n,
                                         const OneBased<std::uint8_t>* nodeDone, bool metres);

// Appends, for branches 1..n, the points from the second to the last-but-one (to the last with
// includeLast), with the per-position coordinates.
[[nodiscard]] bool AppendBranchPointCoordinates(const std::string& fileName, const NetworkModel& model,
                                                bool includeLast, int n, const OneBased<double>& branchX,
                                                const OneBased<double>& branchY, bool metres);

// The same into a file open already: the file's writer tells whether the lines were written.
void WriteNodeCoordinates(TextFileWriter& out, const NetworkModel& model, const OneBased<double>& x,
                          const OneBased<double>& y, bool append, int n, const OneBased<std::uint8_t>& nodeDone,
                          bool metres);
void WritePointCoordinates(TextFileWriter& out, const PointNameTable& names, const OneBased<int>& ids,
                           const OneBased<double>& x, const OneBased<double>& y, bool append, int n,
                           const OneBased<std::uint8_t>* nodeDone, bool metres);
void AppendBranchPointCoordinates(TextFileWriter& out, const NetworkModel& model, bool includeLast, int n,
                                  const OneBased<double>& branchX, const OneBased<double>& branchY, bool metres);

// One result line without its line end.
std::string ResultLine(const std::string& name, double x, double y, bool metres);

}  // namespace qef
