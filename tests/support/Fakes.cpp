#include "support/Fakes.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "core/text/VnCodec.h"

namespace qef::test {

void ScriptedInteraction::Message(const std::string& text) { calls.push_back({"message", text}); }

Answer ScriptedInteraction::AskYesNo(const std::string& text) {
    calls.push_back({"yesno", text});
    if (answers.empty()) return Answer::Yes;
    Answer a = answers.front();
    answers.pop_front();
    return a;
}

Answer ScriptedInteraction::AskYesNoCancel(const std::string& text) {
    calls.push_back({"yesnocancel", text});
    if (answers.empty()) return Answer::Yes;
    Answer a = answers.front();
    answers.pop_front();
    return a;
}

std::optional<std::string> ScriptedInteraction::AskText(const std::string& caption, const std::string& prompt,
                                                        const std::string& defaultText) {
    calls.push_back({"text", caption + "|" + prompt});
    if (texts.empty()) return defaultText;
    auto a = texts.front();
    texts.pop_front();
    return a;
}

std::vector<std::string> ScriptedInteraction::Messages() const {
    std::vector<std::string> out;
    for (const auto& c : calls)
        if (c.kind == "message") out.push_back(c.text);
    return out;
}

std::string RecordingProgress::LastText(MonitorLabel label) const {
    for (auto it = events.rbegin(); it != events.rend(); ++it)
        if (it->kind == "text" && it->label == static_cast<int>(label)) return it->text;
    return {};
}

TempDir::TempDir() {
    std::random_device rd;
    auto base = std::filesystem::temp_directory_path();
    for (;;) {
        auto candidate = base / ("qef-test-" + std::to_string(rd()));
        if (std::filesystem::create_directory(candidate)) {
            path_ = candidate.string();
            break;
        }
    }
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::size_t TempDir::EntryCount() const {
    return static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator(path_), std::filesystem::directory_iterator()));
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

std::string WithCrLf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

std::string AsWritten(const std::string& utf8) { return WithCrLf(Utf8ToTcvn3(utf8)); }

std::string Dialogue(const std::vector<ScriptedInteraction::Call>& calls, const std::string& dir) {
    std::string out;
    for (const auto& call : calls) {
        std::string text = Tcvn3ToUtf8(call.text);
        for (std::size_t at; (at = text.find(dir)) != std::string::npos;) text.replace(at, dir.size(), "<dir>");
        out += call.kind + ": " + text + "\n";
    }
    return out;
}

std::map<std::string, std::string> CaseValues(const std::string& caseFile) {
    std::map<std::string, std::string> values;
    std::ifstream in(caseFile);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto eq = line.find(" = ");
        if (eq != std::string::npos) values[line.substr(0, eq)] = line.substr(eq + 3);
    }
    return values;
}

}  // namespace qef::test
