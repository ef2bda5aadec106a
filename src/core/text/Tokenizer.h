#pragma once
// The line tokenizer every reader uses.
#include <algorithm>
#include <array>
#include <cassert>
#include <optional>
#include <string>
#include <string_view>

#include "core/text/SeparatorMode.h"

namespace qef {

// A field array indexed from 1. Cells hold at most 15 characters (SplitFields) or
// 255 (SplitFieldsTo). Short cells stay inside std::string's own buffer: no allocation per line.
template <std::size_t N>
class FieldCells {
public:
    static constexpr std::size_t kCapacity = N;
    std::string& operator[](std::size_t i) {
        assert(i >= 1 && i <= N);
        return cells_[i];
    }
    const std::string& operator[](std::size_t i) const {
        assert(i >= 1 && i <= N);
        return cells_[i];
    }

    // The field as the line has it, before it was cut to its cell.
    const std::string& Whole(std::size_t i) const { return whole_[i].empty() ? cells_[i] : whole_[i]; }
    void Clear(std::size_t i) {
        cells_[i].clear();
        whole_[i].clear();
    }
    void Set(std::size_t i, std::string_view piece, std::size_t cut) {
        assert(i >= 1 && i <= N);
        cells_[i].assign(piece.data(), std::min(piece.size(), cut));
        if (piece.size() > cut)
            whole_[i].assign(piece.data(), piece.size());
        else
            whole_[i].clear();
    }

private:
    std::array<std::string, N + 1> cells_{};
    std::array<std::string, N + 1> whole_{};  // only for cells that were cut
};

// The shared field array of the readers.
using FieldArray = FieldCells<357>;
// The caller's array of SplitFieldsTo.
using LongFieldArray = FieldCells<16>;

// Splits a whole line; without a mode the separator is detected. Returns the number of fields (0
// for an empty line, a comment-only line or an unsupported mode). At most 16 fields are stored in
// the delimiter modes; each is cut to 15 characters.
int SplitFields(std::string_view line, FieldArray& fields, std::optional<SeparatorMode> mode, bool keepComments,
                int fixedFieldWidth, SeparatorMode* used = nullptr);
// The first 255 characters of a line into cells of up to 255 characters, at most 11 stored; no
// comment removal.
int SplitFieldsTo(std::string_view line, LongFieldArray& fields, std::optional<SeparatorMode> mode,
                  int fixedFieldWidth);
SeparatorMode DetectSeparator(std::string_view line, int fixedFieldWidth);
// The separator of a line of a data file: as DetectSeparator, except that a line holding a TAB is
// TAB-separated even when a field holds a blank (a remark such as "kiem tra" after the values).
SeparatorMode DetectDataSeparator(std::string_view line, int fixedFieldWidth);
// SplitFields of a line of a data file: comments removed, the separator by DetectDataSeparator.
int SplitDataLine(std::string_view line, FieldArray& fields, int fixedFieldWidth, SeparatorMode* used = nullptr);
char SeparatorChar(SeparatorMode mode);
// The field followed by the separator of `outputMode` (unchanged when isLast).
std::string JoinFields(std::string_view field, bool isLast, SeparatorMode outputMode, int fixedFieldWidth);

}  // namespace qef
