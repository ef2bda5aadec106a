#pragma once
// Books made from observations that are already reduced: an angle book whose sets of face-left
// and face-right readings are drawn at random around each observed angle, a distance book of two
// drawn measurements per side, a ruled detail book, and a copy of an observation file with random
// errors added for testing. Every book made here says in its heading that its readings are
// simulated: it must never pass for a record of measurement.
#include <string>
#include <vector>

#include "core/model/ComputationSettings.h"
#include "core/model/Interaction.h"
#include "core/io/ToolFiles.h"
#include "fielddata/books/FieldBookOptions.h"
#include "fielddata/books/RandomSource.h"

namespace qef {

// The circle reading (degrees) that set i (from 0) of n starts at: 180 / n x i.
double CircleSettingForSet(int i, int n);

// A whole number in -(m-1) .. m-1: the parity of a draw below 10 gives the sign (odd negative),
// a draw below m the size. 0 for m of 1 or less.
int RandomSignedOffset(int m, RandomSource& random);

// n per-set values (degrees) spread around `mean` by drawn offsets of up to half the tolerance
// (seconds), whose mean is `mean`; every value lies within the tolerance less one second of it.
std::vector<double> SplitMeanIntoReadings(int n, int toleranceSeconds, double mean, RandomSource& random);

struct ObservationBookFiles {
    std::string Observations;
    std::string AngleBook;
    std::string DistanceBook;
    std::string Listing;  // the angles and distances as the books give them
};

// The angle book, the distance book and the listing from an observation file. Sets, half-set
// spread and 2C spread come from the options.
ToolStatus WriteObservationBooks(const ObservationBookFiles& files, const FieldBookOptions& options,
                                 const ComputationSettings& settings, RandomSource& random, Interaction& ui);

// The ruled detail book of a detail observation file. The angle closure of each station is left
// for the surveyor to fill in. Refused, naming the file and the line, before anything is written:
// a file without a station or point line, a point before every station, an angle or distance that
// is nan, infinite, past the readers' limits or (a distance) negative, a line end left unsplit.
ToolStatus WriteDetailBook(const std::string& inName, const std::string& outName, const ComputationSettings& settings,
                           Interaction& ui);

// Every side changed by up to 10 mm, then every angle by up to 30", each with a random sign;
// angles in D.MMSS from 0 up to 360 degrees. Lengths keep the unit of the data (whole millimetres
// when the data are in millimetres), and an error that would leave a side of zero or less is
// added instead of taken off.
ToolStatus AddRandomErrors(const std::string& inName, const std::string& outName, const ComputationSettings& settings,
                           RandomSource& random, Interaction& ui);

}  // namespace qef
