#pragma once
// Detail (staff) points from station observations: each station stands on a known point and is
// oriented on another; each staff point is observed by horizontal angle and horizontal distance
// and, for heights, by a height difference or a zenith angle. The walk only computes; the run
// writes the result file, draws and speaks to the user, in that order.
//
// Observation file, one record a line of three or more fields:
//   station line: "" or "(D.MMSS)" (opening circle reading), station, orientation point,
//                 instrument height (with heights)
//   staff line:   point number, horizontal angle, horizontal distance, staff height and height
//                 difference or zenith angle (with heights)
#include <optional>
#include <string>
#include <unordered_map>

#include "core/model/ComputationSettings.h"
#include "core/model/DetailMode.h"
#include "core/model/Interaction.h"
#include "core/numeric/OneBased.h"
#include "core/model/Progress.h"
#include "core/model/ReadError.h"
#include "core/model/RunOutcome.h"

namespace qef {

class DrawingTarget;

struct DetailInput {
    std::string KnownPointsFile;
    std::string ObservationFile;
    std::string ResultFile;
};

// Known points of a detail run. Heights are read only for the modes with heights; a point
// without one keeps the missing value.
struct DetailKnownPoints {
    OneBased<std::string> Names;
    OneBased<double> X;
    OneBased<double> Y;
    OneBased<double> H;

    // The last point of that name, compared upper-cased; 0 when none has coordinates.
    int Find(const std::string& name) const;
    // Builds the look-up after the lists are filled.
    void Index();

private:
    std::unordered_map<std::string, int> byName_;
};

// Computed staff points, in file order (metres; H is 0 without heights).
struct DetailPointList {
    OneBased<std::string> Names;
    OneBased<double> X;
    OneBased<double> Y;
    OneBased<double> H;

    int Count() const { return Names.Size(); }
};

// Where a walk stopped: the physical line of the observation file and what is wrong with it.
struct DetailStop {
    long long Line = 0;
    std::string Message;  // TCVN3
};

struct DetailRunStatus {
    RunOutcome Outcome = RunOutcome::Completed;
    ReadErrorRecord ReadError;
    long long PointCount = 0;  // points written to the result file
    long long StopLine = 0;    // the faulty observation line when the walk stopped
};

// False on a bad number (message shown, error recorded).
bool ReadDetailKnownPoints(const std::string& fileName, DetailMode mode, const ComputationSettings& settings,
                           DetailKnownPoints& known, ReadErrorRecord& error, Interaction& ui);

// Walks the observation file into `points` and stops at the first faulty record, keeping the points
// before it. `opened` is false when the file cannot be read.
std::optional<DetailStop> ComputeDetailStations(const std::string& observationFile, DetailMode mode,
                                                const ComputationSettings& settings, const DetailKnownPoints& known,
                                                DetailPointList& points, bool& opened);

// One line a point: name,X,Y,H with three decimals. False when the file cannot be written.
bool WriteDetailResults(const std::string& fileName, const DetailPointList& points);

// One whole run. `drawing` receives the drawing export; when it is null and the settings ask for
// detail points in the drawing, the run draws into the DXF file beside the result file.
DetailRunStatus ComputeDetailPoints(DetailMode mode, const DetailInput& files, const ComputationSettings& settings,
                                    Interaction& ui, Progress& progress, DrawingTarget* drawing = nullptr);

}  // namespace qef
