#include "support/WholeRunCase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <functional>
#include <set>
#include <string_view>
#include <type_traits>

#include "core/text/VnCodec.h"
#include "support/Fakes.h"

namespace qef::test {

namespace fs = std::filesystem;

namespace {

const char* const kInputRoles[] = {"known", "observations", "heights"};

bool Parse(std::string_view text, bool& value) {
    if (text != "true" && text != "false") return false;
    value = text == "true";
    return true;
}

template <typename Number>
bool Parse(std::string_view text, Number& value) {
    Number parsed{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (error != std::errc() || end != text.data() + text.size()) return false;
    value = parsed;
    return true;
}

// A mode by its number, as the settings store it.
template <typename Mode>
    requires std::is_enum_v<Mode>
bool Parse(std::string_view text, Mode& value) {
    std::underlying_type_t<Mode> number = 0;
    if (!Parse(text, number)) return false;
    value = static_cast<Mode>(number);
    return true;
}

using Setter = std::function<bool(ComputationSettings&, std::string_view)>;

template <typename Field>
Setter Set(Field ComputationSettings::*field) {
    return [field](ComputationSettings& settings, std::string_view text) { return Parse(text, settings.*field); };
}

// The settings the cases use; add a line when a case needs another.
const std::map<std::string, Setter, std::less<>>& SettingSetters() {
    using S = ComputationSettings;
    static const std::map<std::string, Setter, std::less<>> setters = {
        {"RigorousWanted", [](S& s, std::string_view text) { return Parse(text, s.Modes.RigorousWanted); }},
        {"WriteDhFile", Set(&S::WriteDhFile)},
        {"KeepAccents", Set(&S::KeepAccents)},
        {"OutputSeparatorMode", Set(&S::OutputSeparatorMode)},
        {"FixedFieldWidth", Set(&S::FixedFieldWidth)},
        {"SkipHangingTraverses", Set(&S::SkipHangingTraverses)},
        {"HeightReduction", Set(&S::HeightReduction)},
        {"HeightReductionMode", Set(&S::HeightReductionMode)},
        {"MeanAreaHeight", Set(&S::MeanAreaHeight)},
        {"HeightsFromFile", Set(&S::HeightsFromFile)},
    };
    return setters;
}

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

void ReadLine(std::string_view line, WholeRunCase& runCase) {
    const auto equals = line.find('=');
    const std::string_view name = Trimmed(line.substr(0, equals));
    const std::string_view value = equals == std::string_view::npos ? "" : Trimmed(line.substr(equals + 1));
    const auto& setters = SettingSetters();
    const auto setter = setters.find(name);
    const bool isFile = name == "result" || std::ranges::count(kInputRoles, name) > 0;
    if (equals == std::string_view::npos || value.empty()) {
        runCase.Problems.push_back("not \"name = value\": " + std::string(line));
    } else if (isFile) {
        runCase.Files[std::string(name)] = value;
    } else if (name == "expected") {
        runCase.ExpectedAsText = value == "text";
        if (value != "text" && value != "bytes") runCase.Problems.push_back("expected is text or bytes");
    } else if (setter == setters.end()) {
        runCase.Problems.push_back("unknown setting " + std::string(name));
    } else if (!setter->second(runCase.Settings, value)) {
        runCase.Problems.push_back("bad value of " + std::string(name) + ": " + std::string(value));
    }
}

// What the run must write: hand-written text becomes the program's TCVN3 with CR LF.
std::string ExpectedBytes(const WholeRunCase& runCase, const fs::path& file) {
    const std::string bytes = ReadFileBytes(file.string());
    if (!runCase.ExpectedAsText) return bytes;
    std::string out;
    for (char c : Utf8ToTcvn3(bytes)) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// The first line where two files part, so that a failure is readable.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
    const auto at = static_cast<std::size_t>(std::ranges::mismatch(expected, actual).in1 - expected.begin());
    const std::size_t lineEnd = at == 0 ? std::string::npos : expected.rfind('\n', at - 1);
    const std::size_t from = lineEnd == std::string::npos ? 0 : lineEnd + 1;
    const auto lineOf = [from](const std::string& text) {
        std::string line = text.substr(from, text.find('\n', from) - from);
        if (line.ends_with('\r')) line.pop_back();
        return line;
    };
    const auto number = std::count(expected.begin(), expected.begin() + static_cast<std::ptrdiff_t>(from), '\n') + 1;
    return "line " + std::to_string(number) + "\n  expected: " + lineOf(expected) + "\n  actual:   " + lineOf(actual);
}

}  // namespace

std::string WholeRunCase::File(const std::string& role, const std::string& dir) const {
    const auto it = Files.find(role);
    return it == Files.end() ? std::string() : dir + "/" + it->second;
}

std::vector<std::string> WholeRunCaseNames(const std::string& module) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(fs::path(QEF_TEST_DATA) / module, error))
        if (entry.is_directory()) names.push_back(entry.path().filename().string());
    std::ranges::sort(names);
    return names;
}

std::string WholeRunTestName(const std::string& caseName) {
    std::string name = caseName;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

WholeRunCase ReadWholeRunCase(const std::string& module, const std::string& caseName) {
    WholeRunCase runCase;
    runCase.Folder = (fs::path(QEF_TEST_DATA) / module / caseName).string();
    const std::string text = ReadFileBytes(runCase.Folder + "/case.txt");
    std::string_view rest = text;
    bool first = true;
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        const std::string_view line = Trimmed(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (first) {
            if (line.starts_with("command ")) runCase.Command = Trimmed(line.substr(8));
            first = false;
        } else if (!line.empty() && !line.starts_with('#')) {
            ReadLine(line, runCase);
        }
    }
    if (runCase.Command.empty()) runCase.Problems.push_back("case.txt does not start with \"command <name>\"");
    for (const char* role : kInputRoles)
        if (runCase.Files.count(role) && !fs::is_regular_file(runCase.File(role, runCase.Folder)))
            runCase.Problems.push_back(std::string("no ") + role + " file " + runCase.Files.at(role));
    if (!runCase.Files.count("result")) runCase.Problems.push_back("no result file named");
    if (!fs::is_directory(runCase.Folder + "/expected")) runCase.Problems.push_back("no expected folder");
    return runCase;
}

void CopyInputs(const WholeRunCase& runCase, const std::string& dir) {
    for (const char* role : kInputRoles)
        if (runCase.Files.count(role)) fs::copy_file(runCase.File(role, runCase.Folder), runCase.File(role, dir));
}

void ExpectOutputs(const WholeRunCase& runCase, const std::string& dir) {
    std::set<std::string> expected;
    for (const auto& entry : fs::directory_iterator(runCase.Folder + "/expected")) {
        const std::string name = entry.path().filename().string();
        expected.insert(name);
        const std::string path = dir + "/" + name;
        if (!fs::is_regular_file(path)) {
            ADD_FAILURE() << name << " was not written";
            continue;
        }
        const std::string want = ExpectedBytes(runCase, entry.path());
        const std::string got = ReadFileBytes(path);
        if (got != want) ADD_FAILURE() << name << " differs at " << FirstDifference(want, got);
    }
    std::set<std::string> inputs;
    for (const char* role : kInputRoles)
        if (runCase.Files.count(role)) inputs.insert(runCase.Files.at(role));
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (!inputs.count(name) && !expected.count(name)) ADD_FAILURE() << name << " was written but is not expected";
    }
}

}  // namespace qef::test
