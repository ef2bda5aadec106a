#pragma once
// Readers of the plain text input files: known-point coordinates, observations, point heights and
// levelling lines. They turn names into ids in the point-name table and deliver parallel lists.
// Lengths, heights and coordinates come out in metres (divided by 1000 when the settings say the
// data are in millimetres); angles in decimal degrees.
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/model/ComputationSettings.h"
#include "core/model/Interaction.h"
#include "core/model/LogBuffer.h"
#include "core/model/NetworkModel.h"
#include "core/numeric/OneBased.h"
#include "core/model/ReadError.h"

namespace qef {

// What a reader passed over or changed without stopping: lines of a shape it does not read and
// names cut to 15 characters. The reader says how many in a message; the run lists them in its log.
struct ReadNotes {
    std::vector<std::pair<long long, std::string>> SkippedLines;  // line number, its text
    std::vector<std::pair<std::string, std::string>> CutNames;     // the name as written, as kept
    // Kept name -> the name as written, for every cut name of this file and of the files read
    // before it into the same notes: the observation and levelling readers keep what the caller
    // put here, so that a name cut in another file of the run counts too.
    std::unordered_map<std::string, std::string> CutFrom;

    bool Empty() const { return SkippedLines.empty() && CutNames.empty(); }
    void Clear() { *this = ReadNotes(); }
};

// "File <name> không có số liệu": every refusal of an input without a line to use says it so.
std::string NoDataMessage(const std::string& fileName);
// "File <name>, dòng N : có dấu xuống dòng CR lẻ, không tách được dòng": a line holding a CR other
// than its line end's, which the readers refuse.
std::string BareCarriageReturnMessage(const std::string& fileName, long long lineNumber);

// Names cut to 15 characters (as written, as kept), told in one message about `fileName`, a few
// of them; nothing when the list is empty.
void ShowCutNames(const std::vector<std::pair<std::string, std::string>>& cutNames, const std::string& fileName,
                  Interaction& ui);

// The notes of a file as lines of a run's log, under the file's name.
void LogReadNotes(const ReadNotes& notes, const std::string& fileName, bool keepAccents, LogBuffer& log);

// Angles measured at the station from the back point to the fore point (degrees).
struct AngleObservations {
    OneBased<int> BackIds;
    OneBased<int> StationIds;
    OneBased<int> ForeIds;
    OneBased<double> Values;

    int Count() const { return Values.Size(); }
    void Clear();
};

// Horizontal lengths (metres) between two points.
struct SideObservations {
    OneBased<int> FromIds;
    OneBased<int> ToIds;
    OneBased<double> Lengths;

    int Count() const { return Lengths.Size(); }
    void Clear();
};

// Point heights (metres) by id.
struct HeightObservations {
    OneBased<int> Ids;
    OneBased<double> Heights;

    int Count() const { return Heights.Size(); }
    void Clear();
};

struct Observations {
    AngleObservations Angles;
    SideObservations Sides;
    HeightObservations Heights;
    ReadNotes Notes;
};

// Levelling lines: from, to, length (metres) and dh = H(to) - H(from) (metres).
struct LevellingLines {
    OneBased<int> FromIds;
    OneBased<int> ToIds;
    OneBased<double> Lengths;
    OneBased<double> Dhs;
    OneBased<long long> LineNumbers;  // the file line each was read from, for messages
    ReadNotes Notes;

    int Count() const { return Lengths.Size(); }
};

// Line counts of an observation file by kind, to size the lists.
struct ObservationCounts {
    long long Lines = 0;
    int Sides = 0;
    int Angles = 0;
    int Heights = 0;
};

// True when the observation file's two-field lines are point heights (heights reduce the sides and
// are not taken from a separate file).
bool HeightsInObservationFile(const ComputationSettings& settings);

// Reads a simple coordinate file: name, X, Y (and H when `h` is given) a line. A line holding only
// a name gets the missing value and sets missingValues. Fills names, X, Y (and H) from 1.
// False on error (message shown, FailedFileName set).
bool ReadPointsXY(const std::string& fileName, const ComputationSettings& settings,
                  OneBased<std::string>& names, OneBased<double>& x, OneBased<double>& y,
                  OneBased<double>* h, bool& missingValues, ReadErrorRecord& error, Interaction& ui,
                  ReadNotes* notes = nullptr);
inline bool ReadPointsXYH(const std::string& fileName, const ComputationSettings& settings,
                          OneBased<std::string>& names, OneBased<double>& x, OneBased<double>& y,
                          OneBased<double>& h, bool& missingValues, ReadErrorRecord& error,
                          Interaction& ui) {
    return ReadPointsXY(fileName, settings, names, x, y, &h, missingValues, error, ui);
}

// The known-point file: its points registered in model.PointNames, appended to `points`. A file
// without a point is refused ("File ... không có số liệu").
bool ReadKnownPoints(const std::string& fileName, const ComputationSettings& settings,
                     NetworkModel& model, PointList& points, ReadErrorRecord& error, Interaction& ui,
                     ReadNotes* notes = nullptr);

// Counts the lines of an observation file by their number of fields. A file that cannot be opened
// fills the error record (Open, line 1) and gives false, without a message.
bool CountObservationLines(const std::string& fileName, const ComputationSettings& settings,
                           ObservationCounts& counts, ReadErrorRecord& error);

// Reads an observation file into `obs` (cleared first): five fields an angle and the side from its
// station to its fore point, four an angle, three a side, two a point height (when
// HeightsInObservationFile). What follows the fields a line needs is a remark; so is a fifth field
// that begins as no number does ("x", "kiem tra"). Empty names continue the traverse of the lines
// before. The first bad line ends the read with a message naming its line; that line's entry is
// not stored. One-field lines, and two-field lines whose value is no number when they are no
// heights, are skipped and noted. A file without an observation is refused ("File ... không có số
// liệu"). Every reader of this file refuses a name holding a NUL.
bool ReadObservations(const std::string& fileName, const ComputationSettings& settings,
                      PointNameTable& names, Observations& obs, ReadErrorRecord& error, Interaction& ui);

// A name-and-value file (point heights): lines without a name are skipped; a name without a value
// is an error naming its line. `lineNumbers`, when given, gets the file line of each entry.
bool ReadNameValueLines(const std::string& fileName, const ComputationSettings& settings,
                        OneBased<std::string>& names, OneBased<double>& values, ReadErrorRecord& error,
                        Interaction& ui, ReadNotes* notes = nullptr, OneBased<long long>* lineNumbers = nullptr);
// The same, with the names registered: ids and heights from 1.
bool ReadHeightFile(const std::string& fileName, const ComputationSettings& settings,
                    PointNameTable& table, OneBased<int>& ids, OneBased<double>& heights,
                    ReadErrorRecord& error, Interaction& ui, ReadNotes* notes = nullptr,
                    OneBased<long long>* lineNumbers = nullptr);

// A levelling file: four fields a line (from, to, length, dh); other lines are skipped and noted. An empty
// from-name continues from the previous line's to-name.
bool ReadLevellingLines(const std::string& fileName, const ComputationSettings& settings,
                        PointNameTable& table, LevellingLines& lines, ReadErrorRecord& error,
                        Interaction& ui);

}  // namespace qef
