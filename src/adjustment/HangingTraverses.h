#pragma once
// Hanging (open) traverses: branches that start at a known station with a measured connecting
// angle and close on nothing. They are computed forward from the start azimuth, never adjusted,
// and reported in their own table of the main report (see HangingReports.h).
#include <cstdint>

#include "core/model/RunRecord.h"
#include "core/model/ComputationSettings.h"
#include "core/model/Interaction.h"
#include "core/model/NetworkModel.h"
#include "core/numeric/OneBased.h"
#include "core/io/Readers.h"
#include "core/analysis/StartDirections.h"

namespace qef {

// What the computation reads. The hanging branches are branches 1..BranchCount of the model.
struct HangingInputs {
    NetworkModel& Model;
    int BranchCount = 0;
    const PointList& Known;  // every point that has coordinates so far (a later entry wins)
    const AngleObservations& Angles;
    const SideObservations& Sides;
    StartAzimuthAnswers& Answers;  // start azimuths typed earlier in the run
};

struct HangingContext {
    const ComputationSettings& Settings;
    RunRecord& Run;
    Interaction& Ui;
};

// The computed traverses, per branch and per position of BranchPoints.
struct HangingTraverseTable {
    int BranchCount = 0;
    OneBased<int> RefPoints;  // known point sighted by the connecting angle
    OneBased<double> RefX;
    OneBased<double> RefY;
    OneBased<double> StartAzimuths;  // azimuth reference point -> first point (degrees)
    OneBased<double> PositionAngles;
    OneBased<double> PositionSides;
    OneBased<double> PositionAzimuths;
    OneBased<double> PositionX;
    OneBased<double> PositionY;
    // A point that already had coordinates keeps them: the traverse's arrival there is reported
    // as an open misclosure (computed minus held, metres) and the traverse goes on from the held
    // coordinates.
    OneBased<std::uint8_t> HeldPoint;
    OneBased<double> MisclosureX;
    OneBased<double> MisclosureY;
    OneBased<double> MisclosureS;
    // The points that received coordinates here, in branch order.
    PointList NewPoints;
};

enum class HangingStatus {
    Computed,
    Incomplete,  // "Số liệu chưa hoàn chỉnh...": no point returned
};

struct HangingResult {
    HangingStatus Status = HangingStatus::Computed;
    HangingTraverseTable Table;
};

// Orients and computes the hanging branches: each branch that touches a start station at one end
// is made to begin there; the start azimuth comes from the start direction's coordinates or, when
// a coordinate is missing, from the azimuth typed in this run (asked once). Writes no file: the
// driver draws the table's traverses, writes the table and appends the new points. Its working
// lists are the result's or its own, released with them (FreeHangingArrays).
HangingResult ComputeHangingTraverses(const HangingInputs& in, const HangingContext& context);

// Reverses every branch 1..n that ends, but does not begin, at a start station.
void OrientHangingBranches(NetworkModel& model, int n);

}  // namespace qef
