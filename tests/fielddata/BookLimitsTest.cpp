// The books at the edges of their data: angles of a few seconds, millimetre data, half-millimetre
// ties, names past 15 characters, rows of separators, line ends of CR alone, page breaks.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "core/io/Readers.h"
#include "core/numeric/Numbers.h"
#include "core/text/NumberFormat.h"
#include "core/text/TextHelpers.h"
#include "core/text/TextFile.h"
#include "core/text/VnCodec.h"
#include "fielddata/books/BookNumbers.h"
#include "fielddata/books/DistanceBookRtf.h"
#include "fielddata/books/FieldBookReduction.h"
#include "fielddata/books/ObservationBooks.h"
#include "fielddata/books/TextBooks.h"
#include "support/BookTables.h"
#include "support/Fakes.h"

namespace qef {
namespace {

using test::BookLines;
using test::Cells;
using test::Seconds;
using test::WrappedDiff;

// Offsets against an angle of a few seconds made the split divide by a sum near zero.
TEST(SimulatedBooks, SetsOfAnglesOfAFewSecondsStayWithinTheTolerance) {
    for (int sets : {2, 4, 6}) {
        SCOPED_TRACE(sets);
        test::TempDir dir;
        // 1000 angles of 1" to 3", some seen from the other side of zero (359 59 57 - 59).
        std::string text;
        std::vector<double> observed;
        for (int i = 0; i < 1000; ++i) {
            const int s = 1 + i % 3;
            const bool below = i % 7 == 6;
            char line[96];
            if (below) std::snprintf(line, sizeof line, "A%d\tS%d\tB%d\t359.59%02d\r\n", i, i, i, 60 - s);
            else std::snprintf(line, sizeof line, "A%d\tS%d\tB%d\t0.00%02d\r\n", i, i, i, s);
            text += line;
            observed.push_back(below ? 1296000.0 - s : s);
        }
        test::WriteFileBytes(dir.File("obs.dta"), text);
        FieldBookOptions options;
        options.AngleSets = sets;
        options.HalfSetTolerance = 8;
        options.TwoCVariation = 12;
        SeededRandom random(static_cast<std::uint32_t>(1000 + sets));
        test::ScriptedInteraction ui;
        ASSERT_EQ(WriteObservationBooks({dir.File("obs.dta"), dir.File("g.txt"), dir.File("c.txt"), dir.File("l.dta")},
                                        options, ComputationSettings{}, random, ui)
                      .Outcome,
                  RunOutcome::Completed);
        const std::vector<std::string> book = BookLines(dir.File("g.txt"));
        std::size_t angle = 0;
        int set = 0;
        double worst = 0;
        for (std::size_t i = 0; i + 1 < book.size(); ++i) {
            const std::vector<std::string> b = Cells(book[i]);
            if (!test::OpensReading(b)) continue;
            const std::vector<std::string> f = Cells(book[++i]);
            ASSERT_EQ(f.size(), 9u);
            ASSERT_LT(angle, observed.size());
            const double setAngle = Seconds(f[6]);
            const double off = std::fabs(WrappedDiff(setAngle, observed[angle]));
            worst = std::max(worst, off);
            EXPECT_LE(off, 8.0) << "angle " << angle << ": " << book[i];
            if (++set == sets) {
                EXPECT_LE(std::fabs(WrappedDiff(Seconds(f[7]), observed[angle])), 0.55) << book[i];
                set = 0;
                ++angle;
            }
        }
        EXPECT_EQ(angle, observed.size());
        // The offsets are still drawn: the sets are not all equal.
        EXPECT_GE(worst, 2.0);
    }
}

// The split on its own: any angle, any count of sets, any tolerance.
TEST(SimulatedReadings, SplitsStayWithinTheToleranceAndAverageToTheMean) {
    SeededRandom random(99);
    for (double meanSeconds : {0.0, 0.5, 1.0, 2.0, 3.0, 7.0, 3600.0, 648000.0, 1295999.0})
        for (int n = 1; n <= 6; ++n)
            for (int tolerance : {3, 5, 8, 12, 20})
                for (int repeat = 0; repeat < 40; ++repeat) {
                    const double mean = meanSeconds / 3600.0;
                    const std::vector<double> v = SplitMeanIntoReadings(n, tolerance, mean, random);
                    ASSERT_EQ(v.size(), static_cast<std::size_t>(n));
                    double sum = 0;
                    for (double x : v) {
                        EXPECT_LE(std::fabs(x - mean) * 3600.0, tolerance - 1 + 1e-6)
                            << meanSeconds << "\" n " << n << " t " << tolerance;
                        sum += x;
                    }
                    EXPECT_NEAR(sum / n, mean, 1e-9);
                }
}

TEST(SimulatedBooks, RandomErrorsKeepMillimetresAndLengthsAboveZero) {
    test::TempDir dir;
    // Millimetre data: 123456 mm, and sides of 5, 3 and 1 mm that a 10 mm error would turn round.
    std::string text;
    const std::vector<long long> millimetres = {123456, 5, 3, 1, 10, 2000000};
    for (std::size_t i = 0; i < millimetres.size(); ++i)
        for (int k = 0; k < 30; ++k) text += "S" + std::to_string(i) + "\tT" + std::to_string(k) + "\t" +
                                            std::to_string(millimetres[i]) + "\r\n";
    text += "A\tS0\tT0\t45.3000\r\n";
    test::WriteFileBytes(dir.File("obs.dta"), text);
    ComputationSettings mm;
    mm.MetresFlag = false;
    SeededRandom random(3);
    test::ScriptedInteraction ui;
    ASSERT_EQ(AddRandomErrors(dir.File("obs.dta"), dir.File("moi.dta"), mm, random, ui).Outcome, RunOutcome::Completed);
    const std::vector<std::string> out = BookLines(dir.File("moi.dta"));
    ASSERT_EQ(out.size(), millimetres.size() * 30 + 1);
    bool changed = false;
    for (std::size_t i = 0; i < millimetres.size() * 30; ++i) {
        const std::string value = out[i].substr(out[i].rfind('\t') + 1);
        // Whole millimetres, as the data were typed.
        ASSERT_EQ(value.find_first_not_of("0123456789"), std::string::npos) << out[i];
        const long long after = std::stoll(value);
        const long long before = millimetres[i / 30];
        EXPECT_LE(std::llabs(after - before), 10) << out[i];
        EXPECT_GT(after, 0) << out[i];
        changed = changed || after != before;
    }
    EXPECT_TRUE(changed);
    // Metre data keep metres with 3 decimals; a 4 mm side stays above zero.
    test::WriteFileBytes(dir.File("m.dta"), "S\tT\t0.004\r\nS\tU\t0.001\r\nS\tV\t0.010\r\n");
    for (int run = 0; run < 30; ++run) {
        ASSERT_EQ(AddRandomErrors(dir.File("m.dta"), dir.File("m2.dta"), ComputationSettings{}, random, ui).Outcome,
                  RunOutcome::Completed);
        for (const std::string& line : BookLines(dir.File("m2.dta"))) {
            const std::string value = line.substr(line.rfind('\t') + 1);
            EXPECT_EQ(value.size() - value.find('.'), 4u) << line;
            EXPECT_GT(std::stod(value), 0.0) << line;
        }
    }
}

// CR-only line ends were blamed on a bad angle ("75.2018S1").
TEST(SimulatedBooks, CarriageReturnLineEndsAreNamed) {
    test::TempDir dir;
    test::WriteFileBytes(dir.File("cr.dta"), "A\tS1\tB\t75.2018\rS1\tB\t100.000\r");
    for (int tool = 0; tool < 2; ++tool) {
        test::ScriptedInteraction ui;
        SeededRandom random(1);
        const ToolStatus status =
            tool == 0 ? WriteObservationBooks({dir.File("cr.dta"), dir.File("g.txt"), dir.File("c.txt"), dir.File("l.dta")},
                                              FieldBookOptions{}, ComputationSettings{}, random, ui)
                      : AddRandomErrors(dir.File("cr.dta"), dir.File("moi.dta"), ComputationSettings{}, random, ui);
        EXPECT_EQ(status.Outcome, RunOutcome::ReadFailed);
        ASSERT_EQ(ui.calls.size(), 1u);
        EXPECT_EQ(Tcvn3ToUtf8(ui.calls[0].text),
                  "File " + dir.File("cr.dta") + ", dòng 1 : có dấu xuống dòng CR lẻ, không tách được dòng");
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("g.txt")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("moi.dta")));
}

TEST(DetailBook, LongNamesAndSeparatorRowsAreNamed) {
    test::TempDir dir;
    const std::string in = dir.File("ct.dta");
    test::WriteFileBytes(in, ",STATION_16_CHARS,B,1.5\r\n1,45.3015,25.5,1.5\r\n,,,\r\nPOINT_SIXTEEN_16,10.0000,5.000\r\n"
                             ";;\r\n2,20.0000,6.000\r\n");
    test::ScriptedInteraction ui;
    ASSERT_EQ(WriteDetailBook(in, dir.File("so.txt"), ComputationSettings{}, ui).Outcome, RunOutcome::Completed);
    ASSERT_EQ(ui.calls.size(), 2u);
    EXPECT_EQ(Tcvn3ToUtf8(ui.calls[0].text), "File " + in + " : 2 tên điểm dài quá 15 ký tự bị cắt : " +
                                                 "STATION_16_CHARS -> STATION_16_CHAR, POINT_SIXTEEN_16 -> POINT_SIXTEEN_1");
    EXPECT_EQ(Tcvn3ToUtf8(ui.calls[1].text), "File " + in + " : bỏ qua 2 dòng không đúng số trường (dòng 3, 5)");
    // Three points under one station: the empty rows made no second station.
    int stations = 0, points = 0;
    for (const std::string& line : BookLines(dir.File("so.txt"))) {
        if (line.find("Trạm máy") != std::string::npos) ++stations;
        if (line.find("|         2 |   20.0000 |     6.000 |") != std::string::npos ||
            line.find("|         1 |   45.3015 |    25.500 |") != std::string::npos ||
            line.find("POINT_SIXTEEN_1 |   10.0000 |     5.000 |") != std::string::npos)
            ++points;
    }
    EXPECT_EQ(stations, 1);
    EXPECT_EQ(points, 3);
}

// ---- Half-millimetre ties: reduction, RTF book and text book print one mean ----

// Whole millimetres as metres with 3 decimals, worked with integers only.
std::string Mm(long long mm) {
    char text[40];
    std::snprintf(text, sizeof text, "%s%lld.%03lld", mm < 0 ? "-" : "", std::llabs(mm) / 1000, std::llabs(mm) % 1000);
    return text;
}

// The mean of two whole-millimetre values whose sum is odd: the half goes to the even millimetre.
long long TieMean(long long a, long long b) {
    const long long q = (a + b - 1) / 2;
    return q % 2 == 0 ? q : q + 1;
}

TEST(TextBooks, TiesRoundAsTheReductionAndTheRtfBook) {
    RawObservations raw;
    std::vector<long long> means;
    std::vector<std::pair<long long, long long>> pairs = {{1627303, 1627306}, {1627304, 1627307}};
    SeededRandom random(42);
    while (pairs.size() < 1000) {
        const long long a = 1000 + static_cast<long long>(random.Below(999000)) * 1000 + random.Below(1000);
        const long long d = 2 * random.Below(5) + 1;  // odd: the mean ends in half a millimetre
        pairs.emplace_back(a, a + (random.Below(2) ? d : -d));
    }
    int i = 0;
    for (const auto& [a, b] : pairs) {
        const std::string from = "P" + std::to_string(++i), to = "Q" + std::to_string(i);
        double va = 0, vb = 0;
        ASSERT_TRUE(TryParseReal(Mm(a), va));
        ASSERT_TRUE(TryParseReal(Mm(b), vb));
        raw.Distances.PushBack({from, to, va, false, raw.Distances.Size() + 1});
        raw.Distances.PushBack({to, from, vb, false, raw.Distances.Size() + 1});
        means.push_back(TieMean(a, b));
    }
    EXPECT_EQ(means[0], 1627304);
    EXPECT_EQ(means[1], 1627306);
    FieldBookOptions options;
    options.DistanceCount = 2;
    options.DistanceTolerance = 20;
    test::ScriptedInteraction ui;
    FieldBookReducer reducer(raw, options, ui);
    reducer.ReduceDistances();
    const std::vector<std::string>& book = reducer.Books().DistanceBook;
    ASSERT_EQ(book.size(), pairs.size());

    const std::vector<std::string> text = DistanceTextBook(book, TextBookHeader{});
    const std::vector<std::string> rtf = DistanceBookRtf(book, options, ui).value();
    std::vector<std::string> rows, stb;
    for (const std::string& line : text)
        if (line.rfind("         |", 0) == 0 && line.find("STT") == std::string::npos) rows.push_back(line);
    for (const std::string& line : rtf)
        if (line.find("Stb = \\ul ") != std::string::npos) stb.push_back(line);
    ASSERT_EQ(rows.size(), pairs.size());
    ASSERT_EQ(stb.size(), pairs.size());
    int differing = 0;
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        const std::string mean = Mm(means[k]);
        const std::string reduced = book[k].substr(book[k].rfind('\t') + 1);
        const std::vector<std::string> cells = Cells(rows[k].substr(9));
        ASSERT_EQ(cells.size(), 7u) << rows[k];
        const bool same = reduced == mean && cells[6] == PadLeft(mean, 10) + " " &&
                          cells[5] == PadLeft(Mm(pairs[k].first - pairs[k].second), 9) + " " &&
                          stb[k].find("Stb = \\ul " + mean + "\\ulnone") != std::string::npos;
        if (!same && ++differing <= 5)
            ADD_FAILURE() << Mm(pairs[k].first) << " / " << Mm(pairs[k].second) << ": want " << mean << ", reduction "
                          << reduced << ", text row " << rows[k] << ", RTF " << stb[k];
    }
    EXPECT_EQ(differing, 0);
}

TEST(TextBooks, CarriageReturnLineEndsAndValuesNoSurveyGivesAreRefused) {
    const std::string name = "/d/canh.txt";
    const auto refused = [&](std::vector<std::string> lines) {
        return Tcvn3ToUtf8(RefusedBookLine(name, lines).value_or("-"));
    };
    EXPECT_EQ(refused({"A\tB\t100.002\t100.003\t100.004", "\t\t100.004\t1e308"}),
              "File /d/canh.txt, dòng 2 : giá trị [1e308] không hợp lệ");
    EXPECT_EQ(refused({"A\tB\tnan\t100.003\t100.004"}), "File /d/canh.txt, dòng 1 : giá trị [nan] không hợp lệ");
    EXPECT_EQ(refused({"", "A\tB\t55.501\t-inf"}), "File /d/canh.txt, dòng 2 : giá trị [-inf] không hợp lệ");
    EXPECT_EQ(refused({"A\tB\t1000000.001\t1000000.000\t1000000.000"}),
              "File /d/canh.txt, dòng 1 : giá trị [1000000.001] không hợp lệ");
    EXPECT_EQ(refused({"A\tB\t100.002\t100.003\t100.004\r\t\t100.004\t100.007\r"}),
              "File /d/canh.txt, dòng 1 : có dấu xuống dòng CR lẻ, không tách được dòng");
    // What the books hold is laid out: a million metres, remarks, names that look like numbers,
    // the angle book's readings and 2C.
    EXPECT_EQ(refused({"A\tB\t1000000.000\t999999.999\t1000000.000\t// 0 dat", "1e308\t2e308\t1.000\t1.000\t1.000",
                       Vn("\t\t\t\tTrạm S1"), "1\tA\t0 00 10\t180 00 14\t-4\t0 00 12"}),
              "-");

    // A file of CR-only line ends, as the books read it.
    test::TempDir dir;
    test::WriteFileBytes(dir.File("cr.txt"), "A\tB\t10.000\t10.001\t10.000\rC\tD\t20.000\t20.001\t20.000\r");
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadAllLines(dir.File("cr.txt"), lines));
    EXPECT_EQ(Tcvn3ToUtf8(RefusedBookLine(dir.File("cr.txt"), lines).value_or("-")),
              "File " + dir.File("cr.txt") + ", dòng 1 : có dấu xuống dòng CR lẻ, không tách được dòng");
}

TEST(BookNumbers, DecimalHalvesGoToTheEvenNeighbour) {
    // Halves of the printed decimal go to the even digit whatever the binary double holds.
    EXPECT_EQ(RoundHalfEvenDecimal(3, (1627.303 + 1627.306) / 2), 1627.304);
    EXPECT_EQ(RoundHalfEvenDecimal(3, 0.0005), 0.0);
    EXPECT_EQ(RoundHalfEvenDecimal(3, 0.0015), 0.002);
    EXPECT_EQ(RoundHalfEvenDecimal(3, -2.0025), -2.002);
    EXPECT_EQ(RoundHalfEvenDecimal(3, 999999.9995), 1000000.0);
    EXPECT_EQ(RoundHalfEvenDecimal(3, 10.00049), 10.0);
    EXPECT_EQ(RoundHalfEvenDecimal(0, 2.5), 2.0);
    // Four decimals first: 1.00146 is 1.0015 there, then the even 1.002.
    EXPECT_EQ(RoundFourThenThree(1.00146), 1.002);
    EXPECT_EQ(RoundFourThenThree(1.00044), 1.0);
    EXPECT_TRUE(std::isinf(RoundHalfEvenDecimal(3, INFINITY)));
    // Every tie of n.nnn5 from 0 to 2000 m in steps of 0.0107 m, against whole-number arithmetic.
    for (long long tenths = 5; tenths < 20000000; tenths += 1070) {
        if (tenths % 10 != 5) continue;
        const long long q = tenths / 10;
        const long long want = q % 2 == 0 ? q : q + 1;
        double x = 0;
        ASSERT_TRUE(TryParseReal(Mm(q) + "5", x));
        EXPECT_EQ(FormatFixed(RoundHalfEvenDecimal(3, x), 0, 3), Mm(want)) << Mm(q) << "5";
    }
}

// ---- RTF page breaks ----

// The text between page breaks, with what follows each break.
struct Breaks {
    std::vector<std::string> Pages;
    std::vector<std::string> After;
};
Breaks SplitAtBreaks(const std::vector<std::string>& rtf) {
    std::string all;
    for (const std::string& line : rtf) all += line + "\n";
    Breaks b;
    std::size_t from = 0;
    for (std::size_t at = all.find("\\page"); at != std::string::npos; at = all.find("\\page", at + 5)) {
        // "\pagebb" and the like are other control words.
        if (std::isalpha(static_cast<unsigned char>(all[at + 5]))) continue;
        b.Pages.push_back(all.substr(from, at - from));
        b.After.push_back(all.substr(at + 5, 5));
        from = at + 5;
    }
    b.Pages.push_back(all.substr(from));
    return b;
}

std::vector<std::string> SidesBook(int sides, bool free) {
    std::vector<std::string> book;
    for (int i = 1; i <= sides; ++i) {
        const std::string names = "P" + std::to_string(i) + "\tQ" + std::to_string(i);
        book.push_back(free ? names + "\t55.501\t55.502" : names + "\t100.002\t100.003\t100.004");
        book.push_back(free ? "\t\t55.503" : "\t\t100.004\t100.007");
    }
    return book;
}

TEST(DistanceBookRtf, EveryPageBreakIsFollowedByAParagraphAndCutsOnePagePerSide) {
    test::ScriptedInteraction ui;
    const std::string station = HighBytesEscaped(Vn("Trạm máy : "));
    struct Case {
        bool Free;
        int Sides;
        const char* LastPage;
        int SidePages;   // pages that hold sides
        int TablePages;  // value tables
    };
    // Forward/back: a page a side; free: two sides a page; last page 7 from 6: a table after every two pages.
    for (const Case& c : {Case{false, 3, "200", 3, 1}, Case{true, 5, "200", 3, 1}, Case{false, 5, "7", 5, 3}}) {
        SCOPED_TRACE(std::to_string(c.Sides) + (c.Free ? " free" : " forward/back"));
        FieldBookOptions options;
        options.Distances = c.Free ? DistanceMode::Free : DistanceMode::ForwardBack;
        options.LastPage = c.LastPage;
        const Breaks b = SplitAtBreaks(DistanceBookRtf(SidesBook(c.Sides, c.Free), options, ui).value());
        ASSERT_EQ(b.After.size(), static_cast<std::size_t>(c.SidePages + c.TablePages));
        // Every break but the book's last is followed by a paragraph mark before anything else.
        for (std::size_t i = 0; i + 1 < b.After.size(); ++i) EXPECT_EQ(b.After[i].substr(0, 4), "\\par") << i;
        EXPECT_EQ(b.After.back(), "\n}\n");
        // Each page between breaks holds one side (forward/back: its two halves) or two (free), or a table.
        int sidePages = 0, tablePages = 0, stations = 0;
        for (std::size_t i = 0; i + 1 < b.Pages.size(); ++i) {
            const std::string& page = b.Pages[i];
            const bool table = page.find("\\b\\f3\\tab\\tab\\tab\\tab\\tab B") != std::string::npos;
            int headers = 0;
            for (std::size_t at = page.find(station); at != std::string::npos; at = page.find(station, at + 1))
                ++headers;
            stations += c.Free ? headers : headers / 2;
            if (table) {
                EXPECT_EQ(headers, 0);
                ++tablePages;
            } else {
                EXPECT_TRUE(headers == 2 || (c.Free && headers == 1)) << headers;
                ++sidePages;
            }
        }
        EXPECT_EQ(sidePages, c.SidePages);
        EXPECT_EQ(tablePages, c.TablePages);
        EXPECT_EQ(stations, c.Sides);
        EXPECT_EQ(b.Pages.back(), "\n}\n");
    }
}

TEST(DistanceBookRtf, NamesPastFifteenCharactersAreCutAndTold) {
    test::ScriptedInteraction ui;
    std::vector<std::string> book = {"STATION_16_CHARS\tQ1\t100.002\t100.003\t100.004", "\t\t100.004\t100.007",
                                     "Q1\tSTATION_16_CHARS\t100.002\t100.003\t100.004", "\t\t100.004\t100.007",
                                     "EXACTLY_15_CHAR\tQ2\t100.002\t100.003\t100.004"};
    const std::vector<std::string> rtf = DistanceBookRtf(book, FieldBookOptions{}, ui).value();
    ASSERT_EQ(ui.calls.size(), 1u);
    EXPECT_EQ(Tcvn3ToUtf8(ui.calls[0].text),
              "Sổ đo cạnh : 1 tên điểm dài quá 15 ký tự bị cắt : STATION_16_CHARS -> STATION_16_CHAR");
    std::string all;
    for (const std::string& line : rtf) all += line;
    EXPECT_EQ(all.find("STATION_16_CHARS"), std::string::npos);
    EXPECT_NE(all.find("\\intbl STATION_16_CHAR->Q1\\cell"), std::string::npos);
    EXPECT_NE(all.find("\\intbl Q1->STATION_16_CHAR\\cell"), std::string::npos);
}

}  // namespace
}  // namespace qef
