#include "tools/WordReplacement.h"

#include <algorithm>

#include "core/text/TextFile.h"
#include "core/text/TextHelpers.h"
#include "core/text/Tokenizer.h"

namespace qef {

namespace {

bool EndsWord(const WordReplacementOptions& options, char c) { return options.Separators.find(c) != std::string::npos; }

std::string Filled(const WordPair& pair, const WordReplacementOptions& options) {
    const int width = static_cast<int>(pair.Sought.size());
    switch (options.Side) {
        case FillSide::Before: return PadLeftWith(pair.Replacement, width, options.Fill);
        case FillSide::After: return PadRightWith(pair.Replacement, width, options.Fill);
        case FillSide::None: break;
    }
    return pair.Replacement;
}

}  // namespace

int ReplaceWholeWords(std::string& line, const WordPair& pair, const WordReplacementOptions& options) {
    if (pair.Sought.empty()) return 0;
    const std::string replacement = Filled(pair, options);
    int count = 0;
    std::size_t pos = 0;
    while ((pos = line.find(pair.Sought, pos)) != std::string::npos) {
        const std::size_t end = pos + pair.Sought.size();
        const bool whole = (pos == 0 || EndsWord(options, line[pos - 1])) && (end == line.size() || EndsWord(options, line[end]));
        if (!whole) {
            ++pos;
            continue;
        }
        line.replace(pos, pair.Sought.size(), replacement);
        // Scanning goes on after the new text, which is never searched again.
        pos += replacement.size();
        ++count;
    }
    return count;
}

bool ReadWordPairs(const std::string& fileName, int fixedFieldWidth, std::vector<WordPair>& pairs) {
    LineReader reader(fileName);
    if (!reader.IsOpen()) return false;
    pairs.clear();
    LongFieldArray fields;
    std::string line;
    while (reader.Next(line)) {
        if (reader.LineNumber() == 1) DropByteOrderMark(line);
        // A remark of the list is no pair: it would turn every "//" of the file into a word.
        const std::size_t remark = line.find("//");
        if (remark != std::string::npos) line.erase(remark);
        while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
        if (TrimBlanks(line).empty()) continue;
        if (SplitFieldsTo(line, fields, std::nullopt, fixedFieldWidth) < 2) continue;
        WordPair pair{TrimBlanks(fields[1]), TrimBlanks(fields[2])};
        if (!pair.Sought.empty()) pairs.push_back(std::move(pair));
    }
    return true;
}

ToolStatus ReplaceWordsInFile(const std::string& pairsName, const std::string& inName, const std::string& outName,
                              const WordReplacementOptions& options, const ComputationSettings& settings,
                              Interaction& ui) {
    ToolStatus status;
    if (!ResultNameUsable({pairsName, inName}, outName, ui, status)) return status;
    std::vector<WordPair> pairs;
    if (!ReadWordPairs(pairsName, settings.FixedFieldWidth, pairs)) {
        ReportUnreadable(pairsName, ui, status);
        return status;
    }
    if (pairs.empty()) {
        ReportNoData(pairsName, ui, status);
        return status;
    }
    std::vector<std::string> lines;
    if (!ReadAllLines(inName, lines)) {
        ReportUnreadable(inName, ui, status);
        return status;
    }
    if (!lines.empty()) DropByteOrderMark(lines.front());
    if (std::all_of(lines.begin(), lines.end(), [](const std::string& l) { return TrimBlanks(l).empty(); })) {
        ReportNoData(inName, ui, status);
        return status;
    }
    for (std::string& line : lines)
        for (const WordPair& pair : pairs) ReplaceWholeWords(line, pair, options);
    WriteToolResult(outName, lines, ui, status);
    return status;
}

}  // namespace qef
