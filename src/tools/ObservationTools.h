#pragma once
// Tools on observation files: removing the observations that join known points only, and
// comparing two observation files (or one with itself) angle by angle and side by side.
#include <string>

#include "core/io/ToolFiles.h"
#include "core/model/ComputationSettings.h"
#include "core/model/Interaction.h"
#include "core/numeric/Numbers.h"

namespace qef {

// Angles of compared files that differ by no more than this are equal: 0.1 arc second, in 0.01".
inline constexpr long long kSameAngleHundredths = 10;
// Sides of two files that differ by no more than this are equal: 0.4 mm, in 0.1 mm.
inline constexpr long long kSameSideTenths = 4;

// Writes the angles, then the sides, then the point heights of the observation file that do not
// join known points only, each on a line of its own with TABs and full names. Angles, lengths and
// heights keep the texts of the file, so the result reads back as the file does, less the fixed
// observations.
ToolStatus WriteObservations(const std::string& knownFile, const std::string& observationFile,
                             const std::string& resultFile, const ComputationSettings& settings, Interaction& ui);

// Writes "//Goc", the angle rows, "//Canh", the side rows. Two different files: every item of the
// first against the matching items of the second; the user is asked whether items that the second
// file lacks are listed. One file: every pair of repeated items that differ.
ToolStatus CompareObservationFiles(const std::string& file1, const std::string& file2,
                                   const std::string& resultFile, const ComputationSettings& settings,
                                   Interaction& ui);

}  // namespace qef
