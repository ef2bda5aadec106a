#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <functional>
#include <iomanip>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/model/Interaction.h"
#include "core/numeric/Numbers.h"
#include "core/text/NumberFormat.h"
#include "core/text/TextFile.h"
#include "core/text/TextHelpers.h"
#include "core/text/Tokenizer.h"
#include "core/text/VnCodec.h"
#include "support/Fakes.h"
#include "support/Lists.h"

namespace qef {
namespace {

using V = std::vector<std::string>;
using Numbered = std::vector<std::pair<long long, std::string>>;

// Lines of a file with the physical number of each.
Numbered ReadNumbered(const std::string& path) {
    Numbered out;
    LineReader reader(path);
    EXPECT_TRUE(reader.IsOpen());
    std::string line;
    while (reader.Next(line)) out.emplace_back(reader.LineNumber(), line);
    EXPECT_FALSE(reader.Next(line));  // stays at the end
    return out;
}

TEST(TextFile, LineEndsAndEndOfFile) {
    test::TempDir dir;
    const std::string path = dir.File("a.txt");
    const std::pair<std::string, Numbered> cases[] = {
        {"a\r\nb\nc", {{1, "a"}, {2, "b"}, {3, "c"}}},
        {"\n \r\n\r\nx\r\n", {{1, ""}, {2, " "}, {3, ""}, {4, "x"}}},
        {"x\r\ny\r\n\x1A", {{1, "x"}, {2, "y"}}},
        {"x\r\ny\x1A", {{1, "x"}, {2, "y"}}},
        {"a\x1A" "b\r\n", {{1, "a\x1A" "b"}}},  // a Ctrl-Z inside the text is data
        {"", {}},
    };
    for (const auto& [bytes, lines] : cases) {
        test::WriteFileBytes(path, bytes);
        EXPECT_EQ(ReadNumbered(path), lines) << bytes;
    }
    LineReader missing(dir.File("none.txt"));
    std::string line;
    EXPECT_FALSE(missing.IsOpen() || missing.Next(line));

    // The CR of the first line is the last byte of the first 64 KiB chunk, its LF the first of the next.
    const std::string edge(65535, 'e'), longLine(200000, 'q');
    test::WriteFileBytes(path, edge + "\r\n" + longLine + "\r\nend");
    EXPECT_EQ(ReadNumbered(path), (Numbered{{1, edge}, {2, longLine}, {3, "end"}}));
    V lines;
    ASSERT_TRUE(ReadAllLines(path, lines));
    EXPECT_EQ(lines, (V{edge, longLine, "end"}));
}

TEST(TextFile, WriterUsesCrLfAndAppends) {
    test::TempDir dir;
    const std::string path = dir.File("out.txt");
    {
        TextFileWriter writer(path);
        writer.Write("ab");
        writer.WriteLine("c");
        writer.WriteLine();
        EXPECT_TRUE(writer.Close());
    }
    {
        TextFileWriter writer(path, true);
        writer.WriteLine("d");
    }  // closed by the destructor
    EXPECT_EQ(test::ReadFileBytes(path), "abc\r\n\r\nd\r\n");
    ASSERT_TRUE(WriteAllLines(path, {"x", "y"}));
    EXPECT_EQ(test::ReadFileBytes(path), "x\r\ny\r\n");

    TextFileWriter bad(dir.File("no/such/folder.txt"));
    EXPECT_FALSE(bad.IsOpen() || bad.Close() || WriteAllLines(dir.File("no/such/folder.txt"), {"x"}));
    EXPECT_FALSE(FileExists(dir.Path()));  // a folder is not a file
}

TEST(TextHelpers, LongStrings) {
    // Padding stops at the short-string length, but never shortens what it was given.
    EXPECT_EQ(PadRight("x", 1000).size(), 255u);
    EXPECT_EQ(PadLeft(std::string(300, 'y'), 400), std::string(300, 'y'));
    // A long data line keeps its end.
    std::string line = std::string(300, 'x') + "P1", replacement = "Q22";
    EXPECT_TRUE(ReplaceInLine(line, "P1", replacement, ' ', 1));
    EXPECT_EQ(line, std::string(300, 'x') + "Q22");
}

// No separator mode: the tokenizer detects it.
constexpr std::nullopt_t kDetect = std::nullopt;

// Count followed by the stored fields up to `shown` (default: the count).
V Split(std::string_view line, std::optional<SeparatorMode> mode, bool keep = false, int width = 10, int shown = 0) {
    static auto fields = std::make_unique<FieldArray>();
    const int n = SplitFields(line, *fields, mode, keep, width);
    V out{std::to_string(n)};
    for (int i = 1; i <= (shown ? shown : n); ++i) out.push_back((*fields)[i]);
    return out;
}

TEST(Tokenizer, LimitsOnFieldsAndLength) {
    std::string words;
    for (int i = 1; i <= 20; ++i) words += "w" + std::to_string(i) + " ";
    Split(std::string(60, 'x'), SeparatorMode::FixedWidth, false, 1);  // fills cells 1..31
    const V twenty = Split(words, SeparatorMode::Blank, false, 10, 21);
    EXPECT_EQ(twenty[0], "20");
    EXPECT_EQ(twenty[16], "w16");
    EXPECT_EQ(V(twenty.begin() + 17, twenty.end()), V(5, ""));
    // The whole line is split, in every mode: 27 columns of 11 and the 3 characters left.
    EXPECT_EQ(Split(std::string(253, 'x') + " YZ", SeparatorMode::Blank)[2], "YZ");
    EXPECT_EQ(Split(std::string(300, 'a'), SeparatorMode::FixedWidth, false, 10, 28)[28], "aaa");
    EXPECT_EQ(Split(std::string(300, ','), SeparatorMode::Comma, false, 10, 1)[0], "301");

    // Long cells keep a 200-character field whole.
    LongFieldArray f;
    std::string line(200, 'q');
    for (int i = 2; i <= 12; ++i) line += "," + std::to_string(i);
    EXPECT_EQ(SplitFieldsTo(line, f, kDetect, 10), 12);
    EXPECT_EQ(f[1] + "|" + f[11] + "|" + f[12], std::string(200, 'q') + "|11|");
    std::string digits;
    for (int i = 0; i < 255; ++i) digits += static_cast<char>('0' + i % 10);
    EXPECT_EQ(SplitFieldsTo(digits, f, SeparatorMode::FixedWidth, 1), 128);  // counted, 16 stored
    EXPECT_EQ(f[16], "0");
}

std::string AllBytes() {
    std::string s;
    for (int b = 0; b < 256; ++b) s += static_cast<char>(b);
    return s;
}

TEST(VnCodec, Tcvn3AndVniAreLosslessOnEveryByte) {
    std::set<char32_t> seen, seenVni;
    for (int b = 0; b < 256; ++b) {
        const char32_t c = Tcvn3Decode(static_cast<unsigned char>(b)), v = VniDecode(static_cast<unsigned char>(b));
        EXPECT_TRUE(seen.insert(c).second && seenVni.insert(v).second) << "byte " << b << " shares its code point";
        EXPECT_EQ(Tcvn3Encode(c), b);
        EXPECT_EQ(VniEncode(v), b);
        if (b < 0x80) {
            EXPECT_EQ(c, static_cast<char32_t>(b));
        }
    }
    EXPECT_EQ(Utf8ToTcvn3(Tcvn3ToUtf8(AllBytes())), AllBytes());
    EXPECT_EQ(Utf8ToVni(VniToUtf8(AllBytes())), AllBytes());
    // Every pair of VNI bytes, since pairs are where letters are composed.
    for (int a = 0; a < 256; ++a)
        for (int b = 0; b < 256; ++b) {
            std::string pair{static_cast<char>(a), static_cast<char>(b)};
            ASSERT_EQ(Utf8ToVni(VniToUtf8(pair)), pair) << a << " " << b;
        }
    const std::string letters =
        "aàảãáạ ăằẳẵắặ âầẩẫấậ eèẻẽéẹ êềểễếệ iìỉĩíị oòỏõóọ ôồổỗốộ ơờởỡớợ uùủũúụ ưừửữứự yỳỷỹýỵ đ "
        "AÀẢÃÁẠ ĂẰẲẴẮẶ ÂẦẨẪẤẬ EÈẺẼÉẸ ÊỀỂỄẾỆ IÌỈĨÍỊ OÒỎÕÓỌ ÔỒỔỖỐỘ ƠỜỞỠỚỢ UÙỦŨÚỤ ƯỪỬỮỨỰ YỲỶỸÝỴ Đ";
    EXPECT_EQ(VniToUtf8(Utf8ToVni(letters)), letters);
}

TEST(Numbers, BadTextsAndWhatTheUserIsTold) {
    EXPECT_EQ(ParseRealOrDefault("x1", 7.5), 7.5);

    // A bad angle still has the value of the parts read; the message shows the text without its sign.
    const auto message = [](const char* text, bool inDegrees, bool withPoint) {
        return Tcvn3ToUtf8(AngleFormatMessage(ParseDms(text, inDegrees, withPoint)));
    };
    const ParsedAngle minutesOnly = ParseDms("-12.30", true, true);
    EXPECT_TRUE(minutesOnly.Error == AngleError::BadFormat && minutesOnly.Degrees == -12.5);
    EXPECT_EQ(message("-12.30", true, true), "Góc 12.30 sai định dạng");
    EXPECT_EQ(message("18x0000", true, false), "Góc 18x0000 sai định dạng");
    EXPECT_EQ(message("1e2", false, true), "Góc 1e2 sai định dạng");
}

TEST(Numbers, LineCounts) {
    test::TempDir dir;
    test::WriteFileBytes(dir.File("a.txt"), "one\r\ntwo\nthree");
    test::WriteFileBytes(dir.File("z.txt"), "one\r\n\x1a");
    EXPECT_FALSE(FileExistsIO(dir.File("missing.txt")) || FileExistsIO(dir.Path()));
    EXPECT_EQ(CountFileLines(dir.File("a.txt")), 3);
    EXPECT_EQ(CountFileLines(dir.File("z.txt")), 1);
    EXPECT_EQ(CountFileLines(dir.Path()), -1);
}

// Each line of tests/data/text/<table>.txt is "<routine> <argument>... => <result>...". Words are
// separated by blanks; a word in double quotes may hold blanks; \t is a TAB and \xHH a byte. Quotes
// only group: escapes are read afterwards, so that std::quoted leaves them alone.
V SplitWords(const std::string& line) {
    V words;
    std::istringstream in(line);
    for (std::string word; in >> std::quoted(word, '"', '\x01');) {
        std::string bytes;
        for (std::size_t i = 0; i < word.size(); ++i) {
            if (word[i] != '\\') {
                bytes += word[i];
            } else if (word[++i] == 't') {
                bytes += '\t';
            } else {
                bytes += static_cast<char>(std::stoi(word.substr(i + 1, 2), nullptr, 16));
                i += 2;
            }
        }
        words.push_back(bytes);
    }
    return words;
}

// A number, or an angle "[-]d:m:s" in degrees.
double Real(const std::string& text) {
    double d = 0, m = 0, sec = 0;
    char colon = 0;
    if (text.find(':') == std::string::npos) {
        std::from_chars(text.data(), text.data() + text.size(), d);
        return d;
    }
    std::istringstream(text.substr(text[0] == '-' ? 1 : 0)) >> d >> colon >> m >> colon >> sec;
    return (text[0] == '-' ? -1 : 1) * (d + m / 60.0 + sec / 3600.0);
}
int Int(const std::string& text) { return std::stoi(text); }

std::string Shortest(double value) {
    char text[64];
    return {text, std::to_chars(text, text + sizeof text, value, std::chars_format::fixed).ptr};
}

// Degrees as "[-]d:m:s", seconds to 0.0000001" without trailing zeros.
std::string Angle(double degrees) {
    constexpr long long kPerSecond = 10000000;
    const long long units = std::llround(std::fabs(degrees) * 3600.0 * kPerSecond);
    std::string fraction = std::to_string(kPerSecond + units % kPerSecond).substr(1);
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    return (degrees < 0 && units > 0 ? "-" : "") + std::to_string(units / (3600 * kPerSecond)) + ":" +
           std::to_string(units / (60 * kPerSecond) % 60) + ":" + std::to_string(units / kPerSecond % 60) +
           (fraction.empty() ? "" : "." + fraction);
}

const char* const kModes[] = {"blank", "tab", "comma", "semicolon", "fixed", "bar"};

std::optional<SeparatorMode> Mode(const std::string& name) {
    if (name == "detect") return std::nullopt;
    for (int m = 0; m < 6; ++m)
        if (name == kModes[m]) return static_cast<SeparatorMode>(m);
    return static_cast<SeparatorMode>(Int(name));
}

V Parsed(const std::string& text, bool inDegrees, bool withPoint) {
    const ParsedAngle angle = ParseDms(text, inDegrees, withPoint);
    return {angle.Ok() ? Angle(angle.Degrees) : "bad"};
}

using Routine = std::function<V(const V&)>;

// A routine of one text giving a text.
template <typename F>
Routine Unary(F f) {
    return [f](const V& a) { return V{f(a[0])}; };
}

const std::map<std::string, Routine>& Routines() {
    using W = const V&;
    static const std::map<std::string, Routine> routines = {
        {"Split", [](W a) { return Split(a[0], Mode(a[1]), false, a.size() > 2 ? Int(a[2]) : 10); }},
        {"SplitKeepingComments", [](W a) { return Split(a[0], std::nullopt, true, 10); }},
        {"JoinFields", [](W a) { return V{JoinFields(a[0], a.size() > 3, *Mode(a[1]), Int(a[2]))}; }},
        {"DetectSeparator", [](W a) { return V{kModes[static_cast<int>(DetectSeparator(a[0], 10))]}; }},
        {"ParseReal",
         [](W a) {
             double v = 0;
             const bool ok = TryParseReal(a[0], v);
             return V{ok != IsNumber(a[0]) ? "IsNumber disagrees" : ok ? Shortest(v) : "bad"};
         }},
        {"ParseDms", [](W a) { return Parsed(a[0], true, true); }},
        {"ParsePackedDms", [](W a) { return Parsed(a[0], true, false); }},
        {"ParseGrads", [](W a) { return Parsed(a[0], false, true); }},
        {"PackedDmsToDegrees", [](W a) { return V{Angle(PackedDmsToDegrees(true, false, Real(a[0])))}; }},
        {"FormatDms", [](W a) { return V{FormatDms(Int(a[0]), a[1], Real(a[2]))}; }},
        {"RoundHalfEven", [](W a) { return V{Shortest(RoundHalfEven(Int(a[0]), Real(a[1])))}; }},
        {"RoundDms", [](W a) { return V{Angle(RoundDms(Int(a[0]), Real(a[1])))}; }},
        {"FormatFixed", [](W a) { return V{FormatFixed(Real(a[0]), Int(a[1]), Int(a[2]))}; }},
        {"FormatInt", [](W a) { return V{FormatInt(std::stoll(a[0]), Int(a[1]))}; }},
        {"FormatShortest", [](W a) { return V{FormatShortest(Real(a[0]))}; }},
        {"FormatGeneral", [](W a) { return V{FormatGeneral(Real(a[0]))}; }},
        {"FormatNumberText", [](W a) { return V{FormatNumberText(a[0], Real(a[1]))}; }},
        {"Utf8ToTcvn3", Unary(Utf8ToTcvn3)},
        {"Tcvn3ToUtf8", Unary(Tcvn3ToUtf8)},
        {"Utf8ToVni", Unary(Utf8ToVni)},
        {"VniToUtf8", Unary(VniToUtf8)},
        {"VniRoundTrip", [](W a) { return V{Utf8ToVni(VniToUtf8(a[0]))}; }},
        {"LooksLikeUtf8", [](W a) { return V{LooksLikeUtf8(a[0]) ? "true" : "false"}; }},
        {"StripAccents", [](W a) { return V{StripAccents(Utf8ToTcvn3(a[0]), a.size() > 1)}; }},
        {"PadLeftWith", [](W a) { return V{PadLeftWith(a[0], Int(a[1]), a[2][0])}; }},
        {"PadTo10", Unary(PadTo10)},
        {"RepeatChar", [](W a) { return V{RepeatChar(a[0][0], Int(a[1]))}; }},
        {"CollapseBlanks", Unary(CollapseBlanks)},
        {"TrimLeftBlanks", Unary(TrimLeftBlanks)},
        {"TrimRightBlanks", Unary(TrimRightBlanks)},
        {"StripLeadingZeros", Unary(StripLeadingZeros)},
        {"RemoveCharToName", Unary(RemoveCharToName)},
        {"UpperShort", Unary(UpperShort)},
        {"FileNameWithoutExt", Unary(FileNameWithoutExt)},
        {"ReplaceFileExt", [](W a) { return V{ReplaceFileExt(a[0], a[1])}; }},
        {"SwapExtAtFirstDot", [](W a) { return V{SwapExtAtFirstDot(a[0], a[1])}; }},
        {"ReplaceInLine",
         [](W a) {
             std::string line = a[0], replacement = a[2];
             const bool found = ReplaceInLine(line, a[1], replacement, a[3][0], Int(a[4]));
             return V{line, replacement, found ? "found" : "not found"};
         }},
    };
    return routines;
}

std::vector<std::string> TableNames() {
    std::vector<std::string> names;
    // Files only: charsets/ holds the published character tables, which another test reads.
    for (const auto& entry : std::filesystem::directory_iterator(std::string(QEF_TEST_DATA) + "/text"))
        if (entry.is_regular_file()) names.push_back(entry.path().stem().string());
    return names;
}

class RoutineTable : public ::testing::TestWithParam<std::string> {};

TEST_P(RoutineTable, EveryLineGivesItsResult) {
    const test::Lines lines = test::ReadLines(std::string(QEF_TEST_DATA) + "/text/" + GetParam() + ".txt");
    int cases = 0;
    for (std::size_t lineNo = 1; lineNo <= lines.size(); ++lineNo) {
        const std::string& line = lines[lineNo - 1];
        if (line.empty() || line[0] == '#') continue;
        const V words = SplitWords(line);
        const auto arrow = std::find(words.begin(), words.end(), "=>");
        const auto routine = Routines().find(words[0]);
        if (arrow == words.end() || routine == Routines().end()) {
            ADD_FAILURE() << "line " << lineNo << " is no case: " << line;
            continue;
        }
        EXPECT_EQ(routine->second(V(words.begin() + 1, arrow)), V(arrow + 1, words.end()))
            << "line " << lineNo << ": " << line;
        ++cases;
    }
    EXPECT_GT(cases, 0);
}

INSTANTIATE_TEST_SUITE_P(Text, RoutineTable, ::testing::ValuesIn(TableNames()),
                         [](const auto& param) { return param.param; });

}  // namespace
}  // namespace qef
