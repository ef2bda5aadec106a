// The file commands as a user meets them: opening and saving a full grid of 60,000 rows, and
// opening a 5 MB report in the editor. Each runs through the main window's own command.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTextEdit>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "core/model/Interaction.h"
#include "gui/GridModel.h"
#include "gui/MainWindow.h"

namespace {

std::string TempFile(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("qef-bench-" + std::to_string(::getpid()) + "-" + name)).string();
}

// 60,000 observation rows: back, station, fore, angle, side.
const std::string& GridFile() {
    static const std::string path = [] {
        std::string p = TempFile("grid.DTA");
        std::ofstream out(p, std::ios::binary);
        for (int i = 1; i <= qef::GridDocument::kDefaultRows; ++i)
            out << "P" << i << "\tP" << i + 1 << "\tP" << i + 2 << '\t' << 100 + i % 260 << ".2530\t" << 150 + i % 97
                << ".123\r\n";
        return p;
    }();
    return path;
}

// A report of fixed-width lines (about 5 MB), pages ended by form feeds.
const std::string& Report() {
    static const std::string path = [] {
        std::string p = TempFile("report.in");
        std::ofstream out(p, std::ios::binary);
        std::string line(78, ' ');
        std::size_t written = 0;
        for (int i = 1; written < 5 * 1024 * 1024; ++i) {
            std::snprintf(line.data(), line.size(), "%6d  GPS%-8d %14.3f %14.3f %10.4f %8.3f  \xB8\xD5", i, i,
                          2345678.123 + i, 567890.456 + i, 0.0123 * (i % 50), 1.5);
            out << line << "\r\n";
            written += line.size() + 2;
            if (i % 60 == 0) {
                out << "\f\r\n";
                written += 3;
            }
        }
        return p;
    }();
    return path;
}

struct Window {
    Window() {
        window.SetInteraction(&silent);
        window.OpenNameAsker = [this](const qef::FileQuestion&) { return std::optional<QString>(open); };
        window.SaveNameAsker = [this](const qef::FileQuestion&) { return std::optional<QString>(save); };
        window.show();
        QApplication::processEvents();
    }
    qef::SilentInteraction silent;
    qef::MainWindow window;
    QString open;
    QString save;
};

void BM_OpenGridFile60000(benchmark::State& state) {
    Window w;
    w.open = QString::fromStdString(GridFile());
    for (auto _ : state) {
        w.window.OpenDocument();
        QApplication::processEvents();
        benchmark::DoNotOptimize(w.window.Grid().DataRowCount());
    }
    if (w.window.Grid().DataRowCount() != qef::GridDocument::kDefaultRows) state.SkipWithError("rows missing");
}
BENCHMARK(BM_OpenGridFile60000)->Unit(benchmark::kMillisecond);

void BM_SaveGridFile60000(benchmark::State& state) {
    Window w;
    w.open = QString::fromStdString(GridFile());
    w.window.OpenDocument();
    w.save = QString::fromStdString(TempFile("saved.DTA"));
    for (auto _ : state) w.window.SaveDataFileAs();
    if (std::filesystem::file_size(w.save.toStdString()) != std::filesystem::file_size(GridFile()))
        state.SkipWithError("saved file differs in size");
}
BENCHMARK(BM_SaveGridFile60000)->Unit(benchmark::kMillisecond);

void BM_OpenReport5Mb(benchmark::State& state) {
    Window w;
    w.window.ShowEditorView();
    w.open = QString::fromStdString(Report());
    for (auto _ : state) {
        w.window.Editor()->document()->setModified(false);
        w.window.OpenDocument();
        QApplication::processEvents();  // laid out and painted
        benchmark::DoNotOptimize(w.window.Editor()->document()->blockCount());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<long long>(std::filesystem::file_size(Report())));
}
BENCHMARK(BM_OpenReport5Mb)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove(GridFile());
    std::filesystem::remove(Report());
    std::filesystem::remove(TempFile("saved.DTA"));
    return 0;
}
