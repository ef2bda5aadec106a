#pragma once
// Sending known points, adjusted branches, traverses and detail points to the drawing.
// Every export creates its layers ("toado"+suffix colour 1, "sohieu"+suffix colour 2, and for
// detail points "docao"+suffix colour 3), sets the monitor's stage text and draws; drawing x is
// the survey Y (east), drawing y the survey X (north). Lists are 1-based, coordinates in metres.
// A coordinate that has no value is never drawn. A drawing that cannot be written is reported
// once and the caller's computation goes on.
#include <cstdint>
#include <string>

#include "core/model/ComputationSettings.h"
#include "core/model/Interaction.h"
#include "core/model/NetworkModel.h"
#include "core/numeric/OneBased.h"
#include "core/model/Progress.h"
#include "drawing/DrawingTarget.h"

namespace qef {

struct DrawingExportContext {
    const ComputationSettings& Settings;
    DrawingTarget& Target;
    Progress& Monitor;
    Interaction& Ui;
};

// Known points (x, y, pointIds: 1..pointCount) with their names, and lines from (x1, y1) to
// (x2, y2) (1..lineCount), colour 1, on the layers of AcadLayer1.
void AcadExportPoints(const DrawingExportContext& context, const PointNameTable& names, int lineCount,
                      int pointCount, const OneBased<double>& x, const OneBased<double>& y,
                      const OneBased<double>& x1, const OneBased<double>& y1, const OneBased<double>& x2,
                      const OneBased<double>& y2, const OneBased<int>& pointIds);

// Nodes 1..nodeCount (names from NetworkNodes) except those with a non-zero skip entry, then for
// branches 1..branchCount their segments (colour 2) and inner points, on the layers of AcadLayer2.
// pointX/pointY are indexed by position in BranchPoints.
void AcadExportAdjustedBranches(const DrawingExportContext& context, const NetworkModel& model,
                                int branchCount, int nodeCount, const OneBased<double>& nodeX,
                                const OneBased<double>& nodeY, const OneBased<double>& pointX,
                                const OneBased<double>& pointY, const OneBased<int>& skip);

// For branches 1..branchCount their segments (colour 2), and every point but the first with its
// name, on the layers of AcadLayer2.
void AcadExportTraverse(const DrawingExportContext& context, const NetworkModel& model, int branchCount,
                        const OneBased<double>& pointX, const OneBased<double>& pointY);

// Detail points 1..count on the layers of layerSuffix. flags: bit 0 name texts, bit 1 height
// texts (rounded to centimetres), bit 2 the height as drawing z.
void AcadExportDetailPoints(const DrawingExportContext& context, const std::string& layerSuffix,
                            int count, const OneBased<std::string>& names, const OneBased<double>& x,
                            const OneBased<double>& y, const OneBased<double>& h, std::uint8_t flags);

}  // namespace qef
