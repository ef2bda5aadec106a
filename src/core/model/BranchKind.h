#pragma once
// Which ends of a traverse branch carry a connecting angle. The values are those the working
// arrays have always held.

namespace qef {

enum class BranchKind {
    BothEnds = 1,
    StartOnly = 2,
    EndOnly = 3,
    Neither = 4,
};

constexpr bool HasStartAngle(BranchKind kind) { return kind == BranchKind::BothEnds || kind == BranchKind::StartOnly; }
constexpr bool HasEndAngle(BranchKind kind) { return kind == BranchKind::BothEnds || kind == BranchKind::EndOnly; }

constexpr BranchKind BranchKindOf(bool startAngle, bool endAngle) {
    if (startAngle) return endAngle ? BranchKind::BothEnds : BranchKind::StartOnly;
    return endAngle ? BranchKind::EndOnly : BranchKind::Neither;
}

}  // namespace qef
