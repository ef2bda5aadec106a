// The grid on its full 60,000 rows: typing it full, a row inserted at the top, a search that
// has to reach the last cell.
#include <benchmark/benchmark.h>

#include <string>

#include "core/grid/GridDocument.h"

namespace {

constexpr int kRows = qef::GridDocument::kDefaultRows;

// A traverse-like row: station, back, fore, angle, side.
void FillRow(qef::GridDocument& doc, int row) {
    const std::string n = std::to_string(row);
    doc.EnterText(row, 0, "I" + n);
    doc.EnterText(row, 1, "I" + std::to_string(row + 1));
    doc.EnterText(row, 2, "I" + std::to_string(row + 2));
    doc.EnterText(row, 3, "179.5959");
    doc.EnterText(row, 4, "123.456");
}

void BM_FillGrid(benchmark::State& state) {
    for (auto _ : state) {
        qef::GridDocument doc;
        for (int row = 1; row <= kRows; ++row) FillRow(doc, row);
        benchmark::DoNotOptimize(doc.DataRowCount());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_FillGrid)->Unit(benchmark::kMillisecond);

// One row short of full, so that the insert is allowed; the delete puts the grid back.
void BM_InsertRowAtTop(benchmark::State& state) {
    qef::GridDocument doc;
    for (int row = 1; row < kRows; ++row) FillRow(doc, row);
    for (auto _ : state) {
        if (doc.InsertDataRows(1, 1) != qef::RowInsertResult::Inserted) state.SkipWithError("refused");
        doc.DeleteDataRow(1);
    }
}
BENCHMARK(BM_InsertRowAtTop)->Unit(benchmark::kMillisecond);

void BM_InsertColumnInFullGrid(benchmark::State& state) {
    qef::GridDocument doc;
    for (int row = 1; row <= kRows; ++row) FillRow(doc, row);
    for (auto _ : state) {
        doc.InsertColumn(0);
        doc.DeleteColumn(0);
    }
}
BENCHMARK(BM_InsertColumnInFullGrid)->Unit(benchmark::kMillisecond);

void BM_FindLastCell(benchmark::State& state) {
    qef::GridDocument doc;
    for (int row = 1; row <= kRows; ++row) FillRow(doc, row);
    doc.EnterText(kRows, 14, "LAST");
    for (auto _ : state) {
        const auto found = doc.FindCell("last", {1, 0});
        if (!found || found->Row != kRows) state.SkipWithError("not found");
    }
}
BENCHMARK(BM_FindLastCell)->Unit(benchmark::kMillisecond);

}  // namespace
