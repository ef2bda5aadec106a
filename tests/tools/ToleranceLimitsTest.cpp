#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/model/ComputationSettings.h"
#include "support/Fakes.h"
#include "tools/CoordinateTools.h"
#include "tools/ObservationTools.h"

namespace qef {
namespace {

// A value typed with 4 decimals, built from whole tenths of a millimetre so that the text is
// exactly what a surveyor types (no binary rounding on the way).
std::string Tenths(long long tenths) {
    char text[48];
    std::snprintf(text, sizeof text, "%lld.%04lld", tenths / 10000, tenths % 10000);
    return text;
}

// An angle D.MMSSss typed from whole hundredths of a second.
std::string Hundredths(long long h) {
    char text[48];
    std::snprintf(text, sizeof text, "%lld.%02lld%02lld%02lld", h / 360000, h / 6000 % 60, h / 100 % 60,
                  h % 100);
    return text;
}

// Coordinates from 0.1 mm to a national grid's millions, and the same pairs shifted by one unit.
const std::vector<long long> kSizes = {1, 1000000, 5123456, 999999991, 10000000000, 12345678912, 9999999990000};

TEST(ToleranceLimits, DuplicatePointsWithinNineTenthsOfAMillimetreAtAnySize) {
    int checked = 0;
    for (long long base : kSizes)
        for (long long shift = 0; shift < 7; ++shift)
            for (long long apart = 7; apart <= 12; ++apart) {
                test::TempDir dir;
                const long long a = base + shift * 3 + 20;
                // X then Y differ; H equal.
                test::WriteFileBytes(dir.File("in.txt"), "P " + Tenths(a) + " " + Tenths(a + 7) + " 1.000\n" +
                                                             "P " + Tenths(a + apart) + " " + Tenths(a + 7) +
                                                             " 1.000\nQ " + Tenths(a) + " " + Tenths(a) +
                                                             " 2.000\nQ " + Tenths(a) + " " + Tenths(a - apart) +
                                                             " 2.000\n");
                test::ScriptedInteraction ui;
                const ToolStatus s = SortPointsXYZ(dir.File("in.txt"), dir.File("out.txt"), SortOrder::Ascending,
                                                   ComputationSettings{}, ui);
                ASSERT_EQ(s.Outcome, RunOutcome::Completed);
                EXPECT_EQ(s.Written, apart <= 9 ? 2 : 4) << Tenths(a) << " and " << apart << " tenths apart";
                ++checked;
            }
    EXPECT_EQ(checked, 7 * 7 * 6);
}

TEST(ToleranceLimits, ComparedSidesAndAnglesExactlyAtTheLimitGiveNoRow) {
    std::string one, two;
    int expectedRows = 0;
    int n = 0;
    for (long long base : kSizes)
        for (long long shift = 0; shift < 5; ++shift)
            for (long long apart : {3, 4, 5, 6}) {
                const long long a = base + shift * 7 + 10;
                const std::string to = "T" + std::to_string(++n);
                one += "S " + to + " " + Tenths(a) + "\n";
                // Either way round, either sign.
                two += (n % 2 ? to + " S " : "S " + to + " ") + Tenths(n % 3 ? a + apart : a - apart) + "\n";
                if (apart > 4) ++expectedRows;
            }
    // Angles of a whole turn's range, 0.1" and 0.11" apart, some across zero.
    const std::vector<long long> angles = {0, 5, 99, 16200000, 45678912, 123456789, 129599990, 129599999};
    constexpr long long kTurn = 129600000;
    for (long long a : angles)
        for (long long apart : {9, 10, 11, 15}) {
            const std::string fore = "F" + std::to_string(++n);
            one += "B S " + fore + " " + Hundredths(a) + "\n";
            two += "B S " + fore + " " + Hundredths((a + apart) % kTurn) + "\n";
            if (apart > 10) ++expectedRows;
        }
    test::TempDir dir;
    test::WriteFileBytes(dir.File("one.txt"), one);
    test::WriteFileBytes(dir.File("two.txt"), two);
    test::ScriptedInteraction ui;
    ui.answers = {Answer::No};
    const ToolStatus s = CompareObservationFiles(dir.File("one.txt"), dir.File("two.txt"), dir.File("out.txt"),
                                                 ComputationSettings{}, ui);
    ASSERT_EQ(s.Outcome, RunOutcome::Completed);
    EXPECT_EQ(s.Written, expectedRows) << test::ReadFileBytes(dir.File("out.txt"));
}

}  // namespace
}  // namespace qef
