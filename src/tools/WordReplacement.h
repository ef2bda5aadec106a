#pragma once
// Replacing many words in a file at once: a list of pairs (sought, replacement) applied to every
// line of a text file, each pair to whole words only, so that "P1" never touches "P12".
#include <string>
#include <string_view>
#include <vector>

#include "core/io/ToolFiles.h"
#include "core/model/ComputationSettings.h"
#include "core/model/Interaction.h"

namespace qef {

// Where the fill characters go when a replacement is shorter than the word it replaces.
enum class FillSide { Before = 0, After = 1, None = 2 };

struct WordReplacementOptions {
    char Fill = ' ';
    FillSide Side = FillSide::None;
    // Characters that end a word.
    std::string Separators = " ;\t|,";
};

struct WordPair {
    std::string Sought;
    std::string Replacement;
};

// The tool's padded replacement (ReplaceInLine with the separator set, the fill character and the
// insertion mode): replaces every whole-word occurrence of `pair.Sought` in `line`; a replacement
// shorter than the word is first filled to its length as the options say. Returns the number of
// replacements.
int ReplaceWholeWords(std::string& line, const WordPair& pair, const WordReplacementOptions& options);

// The pairs of a list file: field 1 and field 2 of every line that has both.
bool ReadWordPairs(const std::string& fileName, int fixedFieldWidth, std::vector<WordPair>& pairs);

// Every line of `inName`, of any length, with every pair applied in list order, into `outName`.
ToolStatus ReplaceWordsInFile(const std::string& pairsName, const std::string& inName, const std::string& outName,
                              const WordReplacementOptions& options, const ComputationSettings& settings,
                              Interaction& ui);

}  // namespace qef
