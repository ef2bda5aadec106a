#include "support/WholeRunCase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <functional>
#include <set>
#include <span>
#include <string_view>
#include <type_traits>

#include "core/text/VnCodec.h"
#include "support/Fakes.h"

namespace qef::test {

namespace fs = std::filesystem;

namespace {

const char* const kInputRoles[] = {"known", "observations", "heights", "first", "second"};
const std::string kDialogue = "dialogue.txt";
constexpr std::string_view kAny = "[...]";

const std::map<std::string_view, RunOutcome> kOutcomes = {
    {"Completed", RunOutcome::Completed},         {"ReadFailed", RunOutcome::ReadFailed},
    {"NameCollision", RunOutcome::NameCollision}, {"NoStartDirection", RunOutcome::NoStartDirection},
    {"Cancelled", RunOutcome::Cancelled},         {"WriteFailed", RunOutcome::WriteFailed},
    {"StoppedAtLine", RunOutcome::StoppedAtLine},  {"EmptyInput", RunOutcome::EmptyInput}};
const std::map<std::string_view, Answer> kAnswers = {
    {"Yes", Answer::Yes}, {"No", Answer::No}, {"Cancel", Answer::Cancel}};

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
        {"GroupedAdjustment", Set(&S::GroupedAdjustment)},
        {"HeightReduction", Set(&S::HeightReduction)},
        {"HeightReductionMode", Set(&S::HeightReductionMode)},
        {"MeanAreaHeight", Set(&S::MeanAreaHeight)},
        {"HeightsFromFile", Set(&S::HeightsFromFile)},
        {"MetresFlag", Set(&S::MetresFlag)},
        {"HeightClosureFactor", Set(&S::HeightClosureFactor)},
        {"AngleTextWithPoint", Set(&S::AngleTextWithPoint)},
        {"AcadUploadEnabled", Set(&S::AcadUploadEnabled)},
        {"AcadUploadDetailPoints", Set(&S::AcadUploadDetailPoints)},
        {"AcadUploadFlags", Set(&S::AcadUploadFlags)},
        {"AcadTextHeight3", Set(&S::AcadTextHeight3)},
        {"AcadHeightTextHeight", Set(&S::AcadHeightTextHeight)},
    };
    return setters;
}

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The case's own names; false when `name` is none of them.
bool ReadCaseLine(std::string_view name, std::string_view value, WholeRunCase& runCase) {
    const auto bad = [&](const char* what) { runCase.Problems.push_back(std::string(name) + " is " + what); };
    if (name == "result" || std::ranges::count(kInputRoles, name) > 0) {
        runCase.Files[std::string(name)] = value;
    } else if (name == "expected") {
        runCase.ExpectedAsText = value == "text";
        if (value != "text" && value != "bytes") bad("text or bytes");
    } else if (name == "outcome") {
        const auto outcome = kOutcomes.find(value);
        if (outcome == kOutcomes.end()) bad("a run outcome");
        else runCase.Outcome = outcome->second;
    } else if (name == "answer") {
        const auto answer = kAnswers.find(value);
        if (answer == kAnswers.end()) bad("Yes, No or Cancel");
        else runCase.Answers.push_back(answer->second);
    } else if (name == "text") {
        runCase.Texts.emplace_back(std::string(value));
    } else if (name == "before" || name == "blocked") {
        (name == "before" ? runCase.Before : runCase.Blocked).emplace_back(value);
    } else if (name == "readonly") {
        runCase.Before.emplace_back(value);
        runCase.ReadOnly.emplace_back(value);
    } else if (name == "leftover") {
        runCase.Leftovers.emplace_back(value);
    } else if (name == "others") {
        runCase.OthersUnchecked = value == "unchecked";
        if (value != "unchecked" && value != "checked") bad("checked or unchecked");
    } else {
        return false;
    }
    return true;
}

void ReadLine(std::string_view line, WholeRunCase& runCase) {
    const auto equals = line.find('=');
    const std::string_view name = Trimmed(line.substr(0, equals));
    const std::string_view value = equals == std::string_view::npos ? "" : Trimmed(line.substr(equals + 1));
    if (equals == std::string_view::npos || value.empty()) {
        runCase.Problems.push_back("not \"name = value\": " + std::string(line));
        return;
    }
    if (ReadCaseLine(name, value, runCase)) return;
    const auto setter = SettingSetters().find(name);
    if (setter == SettingSetters().end()) {
        runCase.Problems.push_back("unknown setting " + std::string(name));
    } else if (!setter->second(runCase.Settings, value)) {
        runCase.Problems.push_back("bad value of " + std::string(name) + ": " + std::string(value));
    }
}

// What the run must write: hand-written text becomes the program's TCVN3 with CR LF.
std::string ExpectedBytes(const WholeRunCase& runCase, const fs::path& file) {
    const std::string bytes = ReadFileBytes(file.string());
    return runCase.ExpectedAsText ? AsWritten(bytes) : bytes;
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

// Lines without their LF (a CR stays), the last one after the last LF.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    for (auto end = text.find('\n'); end != std::string_view::npos; end = text.find('\n')) {
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end + 1);
    }
    lines.push_back(text);
    return lines;
}

// Whether `line` fits `pattern`, in which "[...]" stands for any text.
bool LineFits(std::string_view pattern, std::string_view line) {
    const auto any = pattern.find(kAny);
    if (any == std::string_view::npos) return pattern == line;
    if (line.substr(0, any) != pattern.substr(0, any)) return false;
    pattern.remove_prefix(any + kAny.size());
    for (std::size_t from = any; from <= line.size(); ++from)
        if (LineFits(pattern, line.substr(from))) return true;
    return false;
}

// Whether the lines fit the pattern's, a pattern line "[...]" standing for any lines.
bool LinesFit(std::span<const std::string_view> pattern, std::span<const std::string_view> lines) {
    if (pattern.empty()) return lines.empty();
    if (Trimmed(pattern[0]) == kAny) {
        for (std::size_t skip = 0; skip <= lines.size(); ++skip)
            if (LinesFit(pattern.subspan(1), lines.subspan(skip))) return true;
        return false;
    }
    return !lines.empty() && LineFits(pattern[0], lines[0]) && LinesFit(pattern.subspan(1), lines.subspan(1));
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

std::vector<std::string> WholeRunCaseNames(const std::string& module, const std::set<std::string>& commands) {
    std::vector<std::string> names;
    for (const std::string& name : WholeRunCaseNames(module))
        if (commands.count(ReadWholeRunCase(module, name).Command)) names.push_back(name);
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
    // A run that must fail to read may name a file that is not there.
    for (const char* role : kInputRoles)
        if (runCase.Files.count(role) && !fs::is_regular_file(runCase.File(role, runCase.Folder)) &&
            runCase.Outcome != RunOutcome::ReadFailed)
            runCase.Problems.push_back(std::string("no ") + role + " file " + runCase.Files.at(role));
    for (const std::string& name : runCase.Before)
        if (!fs::is_regular_file(runCase.Folder + "/" + name)) runCase.Problems.push_back("no file " + name);
    for (const std::string& name : runCase.Leftovers)
        if (!fs::is_regular_file(runCase.Folder + "/" + name)) runCase.Problems.push_back("no file " + name);
    if (!runCase.Files.count("result")) runCase.Problems.push_back("no result file named");
    if (!fs::is_directory(runCase.Folder + "/expected")) runCase.Problems.push_back("no expected folder");
    return runCase;
}

namespace {

void CopyInputs(const WholeRunCase& runCase, const std::string& dir) {
    for (const char* role : kInputRoles) {
        const std::string from = runCase.File(role, runCase.Folder);
        if (fs::is_regular_file(from)) fs::copy_file(from, runCase.File(role, dir));
    }
    for (const std::string& name : runCase.Before) fs::copy_file(runCase.Folder + "/" + name, dir + "/" + name);
    // Read-only as the user makes it: no write permission for anyone.
    for (const std::string& name : runCase.ReadOnly)
        fs::permissions(dir + "/" + name, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
    for (const std::string& name : runCase.Leftovers) {
        fs::create_directories(fs::path(dir + "/" + name).parent_path());
        fs::copy_file(runCase.Folder + "/" + name, dir + "/" + name);
    }
    for (const std::string& name : runCase.Blocked) fs::create_directory(dir + "/" + name);
}

void SaveDialogue(const std::vector<ScriptedInteraction::Call>& calls, const std::string& dir) {
    const std::string file = dir + "/" + kDialogue;
    std::error_code error;
    fs::remove(file, error);
    if (calls.empty()) return;
    std::string text;
    for (const auto& call : calls) text += call.kind + ": " + call.text + "\n";
    for (auto at = text.find(dir); at != std::string::npos; at = text.find(dir, at))
        text.replace(at, dir.size(), "<dir>");
    WriteFileBytes(file, WithCrLf(text));
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
        if (runCase.ExpectedAsText && want.find(kAny) != std::string::npos) {
            if (!LinesFit(SplitLines(want), SplitLines(got))) ADD_FAILURE() << name << " does not fit:\n" << got;
        } else if (got != want) {
            ADD_FAILURE() << name << " differs at " << FirstDifference(want, got);
        }
    }
    std::set<std::string> kept(runCase.Blocked.begin(), runCase.Blocked.end());
    // A file of an earlier run that this run does not replace keeps its bytes.
    for (const std::string& name : runCase.Before) {
        if (expected.count(name)) continue;
        kept.insert(name);
        if (ReadFileBytes(dir + "/" + name) != ReadFileBytes(runCase.Folder + "/" + name))
            ADD_FAILURE() << name << " of the earlier run was changed";
    }
    for (const char* role : kInputRoles) {
        if (!runCase.Files.count(role)) continue;
        const std::string name = runCase.Files.at(role);
        kept.insert(name);
        if (ReadFileBytes(dir + "/" + name) != ReadFileBytes(runCase.Folder + "/" + name))
            ADD_FAILURE() << name << " was changed";
    }
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (kept.count(name) || expected.count(name) || (runCase.OthersUnchecked && name != kDialogue)) continue;
        const std::string said = name == kDialogue ? ":\n" + ReadFileBytes(entry.path().string()) : "";
        ADD_FAILURE() << name << " was written but is not expected" << said;
    }
}

}  // namespace

void RunTwiceAndCompare(const WholeRunCase& runCase,
                        const std::function<void(const std::string& dir, ScriptedInteraction& ui)>& run) {
    TempDir dir;
    CopyInputs(runCase, dir.Path());
    for (int pass = 1; pass <= 2; ++pass) {
        SCOPED_TRACE("run " + std::to_string(pass));
        ScriptedInteraction ui;
        ui.answers = runCase.Answers;
        ui.texts = runCase.Texts;
        run(dir.Path(), ui);
        SaveDialogue(ui.calls, dir.Path());
        ExpectOutputs(runCase, dir.Path());
    }
}

}  // namespace qef::test
