// The tolerance tables, the RTF distance book and the ruled text books.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "core/text/VnCodec.h"
#include "core/text/Rtf.h"
#include "core/text/TextFile.h"
#include "fielddata/books/DistanceBookRtf.h"
#include "fielddata/books/FieldBookReduction.h"
#include "fielddata/books/TextBooks.h"
#include "support/Fakes.h"

namespace qef {
namespace {

TEST(ToleranceTables, FillSetsHalfSetAnd2CByClass) {
    struct Row {
        NetworkClass network;
        InstrumentClass instrument;
        NetworkClass effective;
        int sets, halfSet, twoC;
    };
    using N = NetworkClass;
    using I = InstrumentClass;
    const Row rows[] = {
        {N::FirstOrder, I::OneToTwo, N::FirstOrder, 4, 8, 12},   {N::FirstOrder, I::ThreeToFive, N::FirstOrder, 6, 8, 12},
        {N::SecondOrder, I::OneToTwo, N::SecondOrder, 2, 8, 12}, {N::SecondOrder, I::ThreeToFive, N::SecondOrder, 4, 8, 12},
        {N::Region, I::OneToTwo, N::Region, 1, 12, 12},          {N::Region, I::ThreeToFive, N::Region, 1, 12, 12},
        {N::Region, I::OverFive, N::Region, 2, 12, 18},
        // An instrument over 5" forces the region class.
        {N::FirstOrder, I::OverFive, N::Region, 2, 12, 18},      {N::SecondOrder, I::OverFive, N::Region, 2, 12, 18},
    };
    for (const Row& r : rows) {
        const ToleranceFill fill = ToleranceFor(r.network, r.instrument);
        EXPECT_EQ(fill.Class, r.effective);
        EXPECT_EQ(fill.AngleSets, r.sets);
        EXPECT_EQ(fill.HalfSetTolerance, r.halfSet);
        EXPECT_EQ(fill.TwoCVariation, r.twoC);
    }
}

TEST(FieldBookReduction, DeclaredSetsQuestionOnceAndShortBlocksOverTheirWholeSets) {
    // Two stations of one set each where two are declared: asked once, both reduced over one set.
    RawObservations raw;
    const auto add = [&](const char* station, const char* target, double degrees) {
        raw.Angles.PushBack({"A", station, target, degrees, false, raw.Angles.Size() + 1});
    };
    for (const char* station : {"S1", "S2"}) {
        add(station, "A", 0.0);
        add(station, "B", 30.5);
        add(station, "B", 210.5);
        add(station, "A", 180.0);
    }
    FieldBookOptions options;
    options.AngleSets = 2;
    test::ScriptedInteraction ui;
    FieldBookReducer reducer(raw, options, ui);
    EXPECT_TRUE(reducer.ReduceAngleSets(4, 1));
    EXPECT_TRUE(reducer.ReduceAngleSets(4, 5));
    ASSERT_EQ(ui.calls.size(), 1u);
    EXPECT_EQ(ui.calls[0].text,
              Vn("Số lần đo góc trong file khác với khai báo. Trạm S1 --> A và có thể còn nữa. Có tiếp tục không?"));
    EXPECT_EQ(reducer.Books().AdjustmentLines, (std::vector<std::string>{"A\tS1\tB\t30.3000", "A\tS2\tB\t30.3000"}));
}

TEST(FieldBookReduction, OddForwardBackCountKeepsItsHalvesInsideTheSide) {
    // 3 a side forward/back (the dialog refuses it, a caller may not): h = 1.5 -> 2 each way, as
    // for 4. Mean 40.008 / 4 = 10.002; spread 5 mm equals the tolerance.
    RawObservations raw;
    for (const auto& [from, to, metres] : {std::tuple{"S1", "B", 10.000}, std::tuple{"S1", "B", 10.002},
                                           std::tuple{"B", "S1", 10.001}, std::tuple{"B", "S1", 10.005}})
        raw.Distances.PushBack({from, to, metres, false, raw.Distances.Size() + 1});
    FieldBookOptions options;
    options.DistanceCount = 3;
    options.DistanceTolerance = 5;
    test::ScriptedInteraction ui;
    FieldBookReducer reducer(raw, options, ui);
    reducer.ReduceDistances();
    EXPECT_EQ(reducer.Books().DistanceBook,
              (std::vector<std::string>{"S1\tB\t10.000\t10.001\t10.002", "\t\t10.002\t10.005"}));
    EXPECT_TRUE(ui.calls.empty());
}

TEST(FieldBookReduction, ValuesNoInstrumentGivesAreReportedAndLeftOut) {
    test::TempDir dir;
    // A side of 1e308 m, one of -1 m, one past 1e6 m and a reading of 1e300 degrees: each reported
    // as a bad number is, its side or station left out; the good side stays.
    test::WriteFileBytes(dir.File("raw.dta"),
                         "A\tB\t1e308\r\nA\tC\t-1\r\nA\tE\t1000000.5\r\nA\tD\t10.000\r\n"
                         "A\tS1\tA\t0.0000\r\nA\tS1\tB\t1e300\r\nA\tS1\tB\t180.0000\r\nA\tS1\tA\t180.0000\r\n"
                         "A\tS2\tA\t0.0000\r\nA\tS2\tB\t-10.0000\r\nA\tS2\tB\t170.0000\r\nA\tS2\tA\t180.0000\r\n");
    FieldBookOptions options;
    options.AngleSets = 1;
    options.DistanceCount = 1;
    options.Distances = DistanceMode::Free;
    test::ScriptedInteraction ui;
    ASSERT_EQ(BuildFieldBooks({dir.File("raw.dta"), dir.File("g.txt"), dir.File("c.txt"), dir.File("b.dta")}, options,
                              {}, ui),
              FieldBookOutcome::Completed);
    std::vector<std::string> said;
    for (const auto& call : ui.calls) said.push_back(Tcvn3ToUtf8(call.text));
    // Each bad distance names the file, the line and what is wrong with it.
    const std::string raw = "File " + dir.File("raw.dta");
    EXPECT_EQ(said, (std::vector<std::string>{raw + ", dòng 1 : khoảng cách 1e308 dài quá 1000000 m",
                                              raw + ", dòng 2 : khoảng cách -1 âm",
                                              raw + ", dòng 3 : khoảng cách 1000000.5 dài quá 1000000 m",
                                              "Góc A S1 B Góc 1e300 sai định dạng",
                                              "Góc A S2 B Góc -10.0000 sai định dạng"}));
    EXPECT_EQ(test::ReadFileBytes(dir.File("b.dta")), "A\tD\t10.000\r\n");
    EXPECT_EQ(test::ReadFileBytes(dir.File("g.txt")), "");

    // Line ends of CR alone are not split at: the file is refused naming its first line.
    test::WriteFileBytes(dir.File("cr.dta"), "A\tS1\tA\t0.0000\rA\tS1\tB\t30.0000\r");
    ui.calls.clear();
    EXPECT_EQ(BuildFieldBooks({dir.File("cr.dta"), dir.File("g2.txt"), dir.File("c2.txt"), dir.File("b2.dta")}, options,
                              {}, ui),
              FieldBookOutcome::ReadFailed);
    ASSERT_EQ(ui.calls.size(), 1u);
    EXPECT_EQ(Tcvn3ToUtf8(ui.calls[0].text),
              "File " + dir.File("cr.dta") + ", dòng 1 : có dấu xuống dòng CR lẻ, không tách được dòng");
    EXPECT_FALSE(FileExists(dir.File("g2.txt")));
}

// A NUL inside a line is damage: the whole message used to end at it. The file is refused naming
// the line, and no book is written.
TEST(FieldBookReduction, ALineHoldingANulRefusesTheFileNamingTheLine) {
    test::TempDir dir;
    test::WriteFileBytes(dir.File("raw.dta"), std::string("A\tB\t10.000\r\nGPS01\tGPS02\tI1\0X\t123.5000\r\n", 39));
    FieldBookOptions options;
    test::ScriptedInteraction ui;
    EXPECT_EQ(BuildFieldBooks({dir.File("raw.dta"), dir.File("g.txt"), dir.File("c.txt"), dir.File("b.dta")}, options,
                              {}, ui),
              FieldBookOutcome::ReadFailed);
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{"File " + dir.File("raw.dta") +
                                                      Vn(", dòng 2 : có ký tự NUL, dòng bị hỏng")});
    EXPECT_EQ(dir.EntryCount(), 1u);
}

TEST(FieldBookReduction, NamesPastFifteenCharactersAreCutAndReportedOnce) {
    test::TempDir dir;
    // A 20-character station in four readings and a side: one message; the books use the cut name.
    const std::string station = "STATION_TWENTY_CHARS";
    std::string raw;
    for (const char* reading : {"A\t0.0000", "B\t30.0000", "B\t210.0000", "A\t180.0000"})
        raw += "A\t" + station + "\t" + reading + "\r\n";
    raw += station + "\tB\t10.000\r\n";
    test::WriteFileBytes(dir.File("raw.dta"), raw);
    FieldBookOptions options;
    options.AngleSets = 1;
    options.DistanceCount = 1;
    options.Distances = DistanceMode::Free;
    test::ScriptedInteraction ui;
    ASSERT_EQ(BuildFieldBooks({dir.File("raw.dta"), dir.File("g.txt"), dir.File("c.txt"), dir.File("b.dta")}, options,
                              {}, ui),
              FieldBookOutcome::Completed);
    ASSERT_EQ(ui.calls.size(), 1u);
    EXPECT_EQ(Tcvn3ToUtf8(ui.calls[0].text),
              "File " + dir.File("raw.dta") + " : 1 tên điểm dài quá 15 ký tự bị cắt : STATION_TWENTY_CHARS -> STATION_TWENTY_");
    EXPECT_EQ(test::ReadFileBytes(dir.File("b.dta")), "A\tSTATION_TWENTY_\tB\t30.0000\r\nSTATION_TWENTY_\tB\t10.000\r\n");
}

TEST(FieldBookReduction, OutputsMayNeitherReplaceTheRawFileNorEachOther) {
    test::TempDir dir;
    test::WriteFileBytes(dir.File("raw.dta"), "S1\tB\t10.000\r\n");
    test::ScriptedInteraction ui;
    const FieldBookOptions options;
    EXPECT_EQ(BuildFieldBooks({dir.File("raw.dta"), dir.File("g.txt"), dir.File("raw.dta"), dir.File("b.dta")}, options,
                              {}, ui),
              FieldBookOutcome::NameCollision);
    EXPECT_EQ(BuildFieldBooks({dir.File("raw.dta"), dir.File("g.txt"), dir.File("g.txt"), dir.File("b.dta")}, options,
                              {}, ui),
              FieldBookOutcome::NameCollision);
    ASSERT_EQ(ui.calls.size(), 2u);
    EXPECT_EQ(ui.calls[0].text, Vn("File kết quả trùng tên file số liệu : ") + dir.File("raw.dta"));
    EXPECT_FALSE(test::ReadFileBytes(dir.File("raw.dta")).empty());
    EXPECT_TRUE(test::ReadFileBytes(dir.File("g.txt")).empty());
}

// ---- RTF distance book ----

std::vector<std::string> ForwardBackBook(int sides) {
    std::vector<std::string> book;
    for (int i = 1; i <= sides; ++i) {
        book.push_back("P" + std::to_string(i) + "\tQ" + std::to_string(i) + "\t100.002\t100.003\t100.004");
        book.push_back("\t\t100.004\t100.007");
    }
    return book;
}

std::vector<std::string> FreeBook(int sides) {
    std::vector<std::string> book;
    for (int i = 1; i <= sides; ++i) {
        book.push_back("P" + std::to_string(i) + "\tQ" + std::to_string(i) + "\t55.501\t55.502");
        book.push_back("\t\t55.503");
    }
    return book;
}

long Count(const std::vector<std::string>& lines, const std::string& text) {
    return std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.find(text) != std::string::npos; });
}

// Page numbers in the order they are printed.
std::vector<int> Pages(const std::vector<std::string>& rtf) {
    std::vector<int> pages;
    for (const std::string& line : rtf) {
        const auto at = line.find("\\fs20                                                      - ");
        if (at != std::string::npos) pages.push_back(std::stoi(line.substr(line.find("- ", at) + 2)));
    }
    return pages;
}

// The value-table rows that hold entries, as written.
std::vector<std::string> TableRows(const std::vector<std::string>& rtf) {
    std::vector<std::string> rows;
    for (const std::string& line : rtf)
        if (line.rfind("\\intbl P", 0) == 0 && line.find("->") != std::string::npos) rows.push_back(line);
    return rows;
}

// \'xx escapes back to bytes, then TCVN3 to UTF-8.
std::string Decoded(const std::string& rtf) {
    std::string bytes;
    for (std::size_t i = 0; i < rtf.size(); ++i) {
        if (rtf.compare(i, 2, "\\'") == 0 && i + 3 < rtf.size()) {
            bytes += static_cast<char>(std::stoi(rtf.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            bytes += rtf[i];
        }
    }
    return Tcvn3ToUtf8(bytes);
}

TEST(DistanceBookRtf, PagesAndValueTablesOfForwardBackBooks) {
    test::ScriptedInteraction ui;
    FieldBookOptions options;

    // 3 sides from page 6: pages 6, 7, 8 and one table page, 3 entries left and 47 empty rows.
    auto rtf = DistanceBookRtf(ForwardBackBook(3), options, ui).value();
    EXPECT_EQ(Pages(rtf), (std::vector<int>{6, 7, 8}));
    EXPECT_EQ(Count(rtf, "\\page"), 4);
    EXPECT_EQ(TableRows(rtf), (std::vector<std::string>{
                                  "\\intbl P1->Q1\\cell   100.004\\cell     6\\cell\\cell\\cell\\cell\\row",
                                  "\\intbl P2->Q2\\cell   100.004\\cell     7\\cell\\cell\\cell\\cell\\row",
                                  "\\intbl P3->Q3\\cell   100.004\\cell     8\\cell\\cell\\cell\\cell\\row"}));
    EXPECT_EQ(Count(rtf, "\\intbl \\cell\\cell\\cell\\cell\\cell\\cell\\row"), 47);
    EXPECT_EQ(rtf.front().rfind("{\\rtf1\\ansi", 0), 0u);
    EXPECT_EQ(rtf.back(), "}");
    // Forward readings in the forward half, back readings in the back half, the mean once.
    EXPECT_EQ(Count(rtf, "\\intbl\\f4   1\\cell      100.002\\cell   4\\cell             \\cell\\row"), 3);
    EXPECT_EQ(Count(rtf, "\\intbl   2\\cell      100.004\\cell   5\\cell             \\cell\\row"), 3);
    EXPECT_EQ(Count(rtf, "\\intbl\\f4   1\\cell      100.003\\cell"), 3);
    EXPECT_EQ(Count(rtf, "Stb = \\ul 100.004\\ulnone"), 3);
    EXPECT_TRUE(ui.calls.empty());

    // First page 6, last page 7, 5 sides: the pages start again after each table.
    options.LastPage = "7";
    rtf = DistanceBookRtf(ForwardBackBook(5), options, ui).value();
    EXPECT_EQ(Pages(rtf), (std::vector<int>{6, 7, 6, 7, 6}));
    EXPECT_EQ(Count(rtf, "\\b\\f3\\tab\\tab\\tab\\tab\\tab B"), 3);
    EXPECT_EQ(TableRows(rtf).size(), 5u);

    // A page number that is no number takes the default.
    options.FirstPage = "x";
    options.LastPage = "";
    EXPECT_EQ(Pages(DistanceBookRtf(ForwardBackBook(2), options, ui).value()), (std::vector<int>{6, 7}));
}

TEST(DistanceBookRtf, FreeBooksHoldTwoSidesAPage) {
    test::ScriptedInteraction ui;
    FieldBookOptions options;
    options.Distances = DistanceMode::Free;
    const auto rtf = DistanceBookRtf(FreeBook(3), options, ui).value();
    EXPECT_EQ(Pages(rtf), (std::vector<int>{6, 7}));
    EXPECT_EQ(Count(rtf, "- - -oOo- - -"), 1);
    const auto rows = TableRows(rtf);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_NE(rows[0].find("\\cell     6\\cell"), std::string::npos);
    EXPECT_NE(rows[1].find("\\cell     6\\cell"), std::string::npos);
    EXPECT_NE(rows[2].find("\\cell     7\\cell"), std::string::npos);
    // Font size 20 where the forward/back page has 22.
    EXPECT_EQ(Count(rtf, "\\fs22"), 0);
    EXPECT_EQ(Count(rtf, "Stb = \\ul 55.502"), 3);

    // 120 sides: two table pages; 1-50 left and 51-100 right, then 101-120 left alone.
    const auto big = DistanceBookRtf(FreeBook(120), options, ui).value();
    const auto bigRows = TableRows(big);
    ASSERT_EQ(bigRows.size(), 70u);
    EXPECT_EQ(bigRows[0].rfind("\\intbl P1->Q1\\cell", 0), 0u);
    EXPECT_NE(bigRows[0].find("\\cell P51->Q51\\cell"), std::string::npos);
    EXPECT_EQ(bigRows[50].rfind("\\intbl P101->Q101\\cell", 0), 0u);
    EXPECT_NE(bigRows[50].find("\\cell\\cell\\cell\\cell\\row"), std::string::npos);
}

TEST(DistanceBookRtf, VietnameseTextEscapedAndNothingDroppedSilently) {
    test::ScriptedInteraction ui;
    FieldBookOptions options;
    options.Observer = Vn("Nguyễn Văn {A}");
    std::vector<std::string> book = ForwardBackBook(1);
    for (int i = 0; i < 6; ++i) book.push_back("\t\t100.005\t100.006");  // 8 readings each way
    const auto rtf = DistanceBookRtf(book, options, ui).value();

    // Plain 7-bit text: every byte from 0x80 is an escape, and the headings read back intact.
    for (const std::string& line : rtf)
        EXPECT_TRUE(std::all_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
    std::string all;
    for (const std::string& line : rtf) all += Decoded(line) + "\n";
    for (const char* text : {"1 - GIá TRị KHOảNG CáCH BằNG", "2 - GIá TRị CHÊNH CAO", "BảNG TRị GIá CạNH",
                             " Lần đo\\cell                   Số đọc", "Hằng số gương : ", "Trạn gương : \\b Q1",
                             "Ghi chú :\\b0  Trước khi đo cạnh phải nhập nhiệt độ, áp suất,",
                             "Người đo : Nguyễn Văn \\{A\\}", "Loại máy : ...................",
                             "Tên cạnh\\cell   Giá trị\\cell Trang"})
        EXPECT_NE(all.find(text), std::string::npos) << text;
    ASSERT_EQ(ui.calls.size(), 1u);
    EXPECT_EQ(ui.calls[0].text, Vn("Cạnh P1 --> Q1 có hơn 6 lần đo; sổ chỉ in 6 lần đầu"));

    // A book without a side line.
    EXPECT_FALSE(DistanceBookRtf({"", "\t\t100.000"}, options, ui).has_value());
    EXPECT_EQ(ui.calls.back().text, Vn("Dữ liệu của bạn không có cạnh"));
    EXPECT_EQ(RtfEscaped("a\\b{c}"), "a\\\\b\\{c\\}");
}

// The editor reads the book with the program's own RTF reader: the headings come out as the
// Vietnamese they are, in capitals where the book's font draws capitals.
TEST(DistanceBookRtf, OpensInTheEditorWithItsVietnameseIntact) {
    test::ScriptedInteraction ui;
    FieldBookOptions options;
    options.Observer = Vn("Nguyễn Văn An");
    const std::vector<std::string> lines = DistanceBookRtf(ForwardBackBook(1), options, ui).value();
    std::string rtf;
    for (const std::string& line : lines) rtf += line + "\r\n";
    ASSERT_TRUE(IsRtf(rtf));
    const std::string text = PlainTextOf(ReadRtf(rtf));
    for (const char* heading : {"Người đo : Nguyễn Văn An", "Hằng số gương : ", "Trạn gương : Q1", "Trạm máy : P1",
                                "1 - GIÁ TRỊ KHOẢNG CÁCH BẰNG", "BẢNG TRỊ GIÁ CẠNH", "t º = "})
        EXPECT_NE(text.find(heading), std::string::npos) << heading << "\n" << text;
}

// ---- Text books ----

std::vector<std::string> Tcvn3Lines(std::initializer_list<const char*> utf8) {
    std::vector<std::string> lines;
    for (const char* l : utf8) lines.push_back(Vn(l));
    return lines;
}

// Columns of "|" in a line.
std::vector<std::size_t> Bars(const std::string& line) {
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < line.size(); ++i)
        if (line[i] == '|') at.push_back(i);
    return at;
}

TEST(TextBooks, AngleBookRulingsLineUp) {
    const auto book = Tcvn3Lines({"\t\t\t\tTrạm S1", "", "1\tA\t0 00 10\t180 00 14\t-4\t0 00 12",
                                  "\tB\t75 20 30\t255 20 36\t-6\t75 20 33\t75 20 21", "", "",
                                  "2\tA\t90 00 05\t270 00 07\t-2\t90 00 06",
                                  "\tB\t165 20 20\t345 20 24\t-4\t165 20 22\t75 20 16\t75 20 18", "", ""});
    TextBookHeader header;
    header.Observer = Vn("Lê Văn Ba");
    const auto out = AngleTextBook(book, header);

    // One heading block; each set closed by the rule and two empty lines.
    EXPECT_EQ(Count(out, Vn("Trạm S1")), 1);
    EXPECT_EQ(out[3], std::string(45, ' ') + Vn("Trạm S1"));
    EXPECT_EQ(out[5], Vn("Ngày đo : ") + std::string(22, '_') + "  |                            |   " + Vn("Người đo : ") +
                          Vn("Lê Văn Ba") + std::string(9, ' '));
    EXPECT_EQ(out[6].substr(out[6].size() - 17), std::string(17, '_'));
    const std::string rule(97, '-');
    EXPECT_EQ(std::count(out.begin(), out.end(), rule), 4);
    // Every ruled line, heading or reading, has its bars at the same columns, one byte a letter.
    const auto heading = Bars(Vn("|Lần|    Điểm    |Bàn độ trái|Bàn độ phải| 2c | Trị giá nửa | Trị giá một | Trị giá các |Ghi chú|"));
    ASSERT_EQ(heading.size(), 10u);
    EXPECT_EQ(heading.back(), 96u);
    int rows = 0;
    for (const std::string& line : out) {
        if (line.empty() || line[0] != '|') continue;
        EXPECT_EQ(Bars(line), heading) << line;
        ++rows;
    }
    EXPECT_EQ(rows, 2 + 4);
    EXPECT_NE(std::find(out.begin(), out.end(),
                        "|   |          B | 165 20 20 | 345 20 24 | -4 |   165 20 22 |    75 20 16 |    75 20 18 |       |"),
              out.end());
}

TEST(TextBooks, DistanceBookRowsAndNames) {
    // Free mode, 3 measurements, then a side with its first line only.
    const auto book = Tcvn3Lines({"S4\tB\t55.501\t55.502", "\t\t55.503", "\t\t55.506", "A\tS1\t250.000\t250.004\t250.002\t// 0 dat"});
    const auto out = DistanceTextBook(book, TextBookHeader{});
    const std::string rule = std::string(9, ' ') + std::string(82, '-');
    const auto heading = Bars(Vn("         |  STT  |   Từ điểm  |   Đến điểm |  Đo lần 1 |  Đo lần 2 |Chênh lệch| Trung bình|"));
    std::vector<std::string> rows;
    for (const std::string& line : out)
        if (line.rfind("         |", 0) == 0 && line.find("STT") == std::string::npos) rows.push_back(line);
    ASSERT_EQ(rows.size(), 3u);
    for (const std::string& row : rows) EXPECT_EQ(Bars(row), heading) << row;
    // 55.501 - 55.503 = -0.002, mean 55.502; then values 1 and 3: -0.005, 55.5035 -> 55.504 (half to even).
    EXPECT_EQ(rows[0], "         |    1  |         S4 |          B |    55.501 |    55.503 |   -0.002 |    55.502 |");
    EXPECT_EQ(rows[1], "         |    2  |         S4 |          B |    55.501 |    55.506 |   -0.005 |    55.504 |");
    EXPECT_EQ(rows[2], "         |    3  |          A |         S1 |   250.000 |   250.004 |   -0.004 |   250.002 |");
    EXPECT_EQ(out.back(), rule);
    EXPECT_EQ(out[2], Vn("        Ngày đo : ") + std::string(33, '_') + Vn("    Người đo : ") + std::string(25, '_'));

    EXPECT_EQ(TextBookName("/d/so.TXT"), "/d/so.TXT.txt");
    EXPECT_EQ(TextBookName("/d/so"), "/d/so.txt");
    EXPECT_EQ(TextBookName("/d/so.txt"), "/d/so.txt");
}

}  // namespace
}  // namespace qef
