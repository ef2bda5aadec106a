#include "core/io/ToolFiles.h"

#include <algorithm>

#include "core/io/Readers.h"
#include "core/model/OutputNames.h"
#include "core/numeric/Numbers.h"
#include "core/text/AtomicFile.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"

namespace qef {

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

int ComparePointNames(std::string_view a, std::string_view b) {
    double va = 0.0;
    double vb = 0.0;
    const bool na = TryParseReal(a, va);
    const bool nb = TryParseReal(b, vb);
    if (na && nb) return va < vb ? -1 : (va > vb ? 1 : 0);
    if (na != nb) return na ? -1 : 1;
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(Lower(a[i]));
        const auto cb = static_cast<unsigned char>(Lower(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool WriteToolResult(const std::string& path, const std::vector<std::string>& lines, Interaction& ui,
                     ToolStatus& status) {
    if (!WriteLinesAtomically(path, lines)) {
        ui.Message(Vn("Lỗi ghi file ") + path);
        status.Outcome = RunOutcome::WriteFailed;
        return false;
    }
    status.Written = static_cast<int>(lines.size());
    status.WrittenFile = path;
    return true;
}

bool ResultNameUsable(const std::vector<std::string>& inputs, const std::string& result, Interaction& ui,
                      ToolStatus& status) {
    if (!CheckResultNames(result, inputs, {result}, ui)) {
        status.Outcome = RunOutcome::NameCollision;
        return false;
    }
    return true;
}

void ReportUnreadable(const std::string& fileName, Interaction& ui, ToolStatus& status) {
    ui.Message(Vn("Không mở được file ") + fileName);
    status.ReadError = {fileName, 1, ReadErrorKind::Open, 1};
    status.Outcome = RunOutcome::ReadFailed;
}


void ReportNoData(const std::string& fileName, Interaction& ui, ToolStatus& status) {
    ui.Message(NoDataMessage(fileName));
    status.Outcome = RunOutcome::EmptyInput;
}

bool PlausibleValue(double value, const ComputationSettings& settings) {
    return WithinLargestMetres(value, settings.MetresFlag);
}

std::string NameCutter::Take(const std::string& whole) {
    std::string name = TrimBlanks(whole);
    if (name.size() <= kPointNameMax) return name;
    std::string kept = name.substr(0, kPointNameMax);
    if (seen_.insert(name).second) cut_.emplace_back(name, kept);
    return kept;
}

void NameCutter::Report(const std::string& fileName, Interaction& ui) const { ShowCutNames(cut_, fileName, ui); }

void DropByteOrderMark(std::string& firstLine) {
    if (firstLine.starts_with("\xEF\xBB\xBF")) firstLine.erase(0, 3);
}

}  // namespace qef
