#pragma once
// Reduction of a raw observation file (as the raw conversion writes it) into the angle book, the
// distance book and the observation file of the adjustment.
#include <optional>
#include <string>
#include <vector>

#include "core/model/ComputationSettings.h"
#include "core/model/Interaction.h"
#include "core/numeric/OneBased.h"
#include "fielddata/books/FieldBookOptions.h"

namespace qef {

struct AngleRecord {
    std::string Backsight;
    std::string Station;
    std::string Target;
    double Degrees = 0;
    bool Bad = false;  // did not parse: never used
    long long Line = 0;
};

struct DistanceRecord {
    std::string From;
    std::string To;
    double Metres = 0;
    bool Bad = false;
    long long Line = 0;
};

struct RawObservations {
    OneBased<AngleRecord> Angles;
    OneBased<DistanceRecord> Distances;
};

// The three books as lines of TCVN3 text.
struct FieldBooks {
    std::vector<std::string> AngleBook;
    std::vector<std::string> DistanceBook;
    std::vector<std::string> AdjustmentLines;
};

// Reads the angle records (4 fields) and distance records (3 fields); a value that does not parse,
// a reading off the circle and a distance that is negative or past 1e6 m are reported and their
// record marked; a leading byte-order mark is skipped. False, after a message, when the file cannot
// be read or has a line end it cannot split at.
bool ReadRawObservations(const std::string& fileName, const ComputationSettings& settings, Interaction& ui,
                         RawObservations& raw);

// One reduction run over records already read. Its questions go to `ui`; No to one of them stops
// the run, and what was reduced so far stays in Books().
class FieldBookReducer {
public:
    FieldBookReducer(const RawObservations& raw, const FieldBookOptions& options, Interaction& ui);

    // Cuts the angle records into station blocks and reduces each; false when the user stopped.
    bool GroupAngleStations();
    // Reduces the block of n records from `first`; false when the user stopped.
    bool ReduceAngleSets(int n, int first);
    void ReduceDistances();
    void ReduceDistancesForwardBack();
    void ReduceDistancesFree();

    // Both reductions in turn, each with its questions asked afresh; false when stopped.
    bool Run();
    const FieldBooks& Books() const { return books_; }

private:
    struct Side {
        std::string From;
        std::string To;
        std::vector<double> Values;  // BookDistanceCount slots
        int Forward = 0;
        int Back = 0;
        int Filled = 0;
        bool Bad = false;
    };

    // A station's block of angle records: `Sets` rounds of `Directions` targets, face left then back face right.
    struct AngleSetBlock {
        int First = 0;
        int Directions = 0;
        int Sets = 0;
    };

    bool AskGoOn(const std::string& utf8Before, const AngleRecord& head, const std::string& utf8After);
    // The answer that ends the block's reduction when its records do not form whole sets; none when
    // they do, with the block's shape filled in.
    std::optional<bool> MatchAngleSets(int n, AngleSetBlock& block);
    void WriteAngleSets(const AngleSetBlock& block);
    std::vector<Side> CollectSides(bool forwardBack);
    void WarnShortSide(const Side& side);
    void WriteSide(const Side& side, bool forwardBack);

    const RawObservations& raw_;
    FieldBookOptions options_;
    Interaction& ui_;
    FieldBooks books_;
    bool askedOnce_ = false;
};

enum class FieldBookOutcome { Completed, Stopped, ReadFailed, NameCollision, WriteFailed };

struct FieldBookFiles {
    std::string Raw;
    std::string AngleBook;
    std::string DistanceBook;
    std::string Adjustment;
};

// Reads the raw file, reduces it and writes the three books as one set: all of them or, when one
// cannot be written, none. A raw file without a sound record is refused before anything is
// written. A
// stopped run writes what was reduced before the stop.
FieldBookOutcome BuildFieldBooks(const FieldBookFiles& files, const FieldBookOptions& options,
                                 const ComputationSettings& settings, Interaction& ui);

}  // namespace qef
