// A 200,000-line download of each raw format converted with heights: stations of a hundred shots,
// half of them details, half control targets, through to the renamed output files.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>
#include <unistd.h>

#include "core/model/Interaction.h"
#include "core/text/TextFile.h"
#include "fielddata/raw/RawConversion.h"

namespace {

constexpr long long kLines = 200000;
constexpr int kShotsPerStation = 100;

std::string Packed(int degrees, int minutes) {
    char text[16];
    std::snprintf(text, sizeof text, "%03d%02d%02d0", degrees % 360, minutes % 60, (degrees * 7) % 60);
    return text;
}

std::string Dms(int degrees, int minutes) {
    char text[16];
    std::snprintf(text, sizeof text, "%d.%02d%02d", degrees % 360, minutes % 60, (degrees * 7) % 60);
    return text;
}

std::string Word(const char* index, const char* info, const std::string& data) {
    return std::string(index) + info + "+" + std::string(8 - std::min<std::size_t>(8, data.size()), '0') + data + " ";
}

using Lines = std::vector<std::string>;

std::string ShotName(long long station, int shot) {
    return shot == 0 ? "K" + std::to_string(station + 1) : (shot % 2 ? std::to_string(shot) : "C" + std::to_string(shot));
}
std::string Station(long long station) { return "K" + std::to_string(station); }
std::string Backsight(long long station) { return "K" + std::to_string(station + 1); }
std::string SlopeDistance(int shot) { return std::to_string(20 + shot) + ".125"; }
int Hz(int shot) { return (shot * 37) % 360; }

std::string GsiShot(long long station, int shot) {
    return Word("11", "0001", ShotName(station, shot)) + Word("21", ".324", Packed(Hz(shot), shot % 60)) +
           Word("22", ".324", "08815200") + Word("31", "..00", std::to_string(20125 + shot * 1000)) +
           Word("51", "..1.", "0000+000");
}

// How each format writes a station's opening lines and one shot's lines; shot 0 of a station is its
// backsight. A format of the registry without a row here is listed as skipped.
struct FormatWriter {
    qef::RawFormat Format;
    Lines (*StationLines)(long long station);
    Lines (*ShotLines)(long long station, int shot);
};

const FormatWriter kWriters[] = {
    {qef::RawFormat::Nikon,
     [](long long st) { return Lines{"ST," + Station(st) + ",," + Backsight(st) + ",,1.452,0.0000,0.0000"}; },
     [](long long st, int shot) {
         return Lines{"SS," + ShotName(st, shot) + ",1.500," + SlopeDistance(shot) + "," + Dms(Hz(shot), shot % 60) +
                      ",88.1520,10:00:00,PT"};
     }},
    {qef::RawFormat::LeicaGsi,
     [](long long st) {
         return Lines{Word("41", "0001", "1") + Word("42", "....", Station(st)) + Word("43", "....", Backsight(st)) +
                      Word("44", "....", "1452")};
     },
     [](long long st, int shot) { return Lines{GsiShot(st, shot) + Word("87", "..10", "1500")}; }},
    {qef::RawFormat::LeicaGsiT1610, [](long long) { return Lines{}; },
     [](long long st, int shot) {
         return Lines{GsiShot(st, shot) + Word("42", "....", Station(st)) + Word("87", "..10", "1500") +
                      Word("88", "..10", "1452")};
     }},
    {qef::RawFormat::LeicaIdx,
     [](long long st) {
         return Lines{"SETUP", "STN_ID \"" + Station(st) + "\",", "INST_HT 1.452;",
                      "SLOPE(TgtNo, TgtID, CfgNo, Hz, Vz, SDist, RefHt);"};
     },
     [](long long st, int shot) {
         return Lines{"  " + std::to_string(shot) + ", \"" + ShotName(st, shot) + "\", 1, " + Dms(Hz(shot), shot % 60) +
                      ", 88.1520, " + SlopeDistance(shot) + ", 1.500;"};
     }},
    {qef::RawFormat::Topcon, [](long long st) { return Lines{"STN " + Station(st) + ",1.452"}; },
     [](long long st, int shot) {
         return Lines{(shot == 0 ? "BS " : "SS ") + ShotName(st, shot) + ",1.500",
                      "SD " + Dms(Hz(shot), shot % 60) + ",88.1520," + SlopeDistance(shot)};
     }},
    {qef::RawFormat::Geodimeter,
     [](long long st) { return Lines{"2=" + Station(st), "62=" + Backsight(st), "21=0.0000", "0="}; },
     [](long long st, int shot) {
         return Lines{"5=" + ShotName(st, shot), "7=" + Dms(Hz(shot), shot % 60), "8=88.1520",
                      "9=" + SlopeDistance(shot), "0="};
     }},
};

void Write(qef::TextFileWriter& out, const Lines& lines, long long& count) {
    for (const std::string& line : lines) {
        out.WriteLine(line);
        ++count;
    }
}

void ConvertRawDownload(benchmark::State& state, const FormatWriter& writer) {
    const std::string dir =
        (std::filesystem::temp_directory_path() / ("qef_raw_bench_" + std::to_string(getpid()))).string();
    std::filesystem::create_directories(dir);
    long long lines = 0;
    {
        qef::TextFileWriter out(dir + "/raw.txt");
        for (long long station = 0; lines < kLines; ++station) {
            Write(out, writer.StationLines(station), lines);
            for (int shot = 0; shot < kShotsPerStation && lines < kLines; ++shot)
                Write(out, writer.ShotLines(station, shot), lines);
        }
        out.Close();
    }
    qef::RawConversionOptions options;
    options.WithHeights = true;
    const qef::RawConversionPaths paths{dir + "/raw.txt", dir + "/obs.DTA", dir + "/mia.DTA", dir + "/dh.DTA",
                                        dir + "/micao.DTA"};
    qef::SilentInteraction ui;
    long long records = 0;
    for (auto _ : state) {
        const qef::RawConversionStatus status = qef::ConvertRawFile(writer.Format, options, paths, ui);
        records = status.Counts.AngleRecords + status.Counts.DetailRecords;
        if (status.Outcome != qef::RawConversionOutcome::Converted) state.SkipWithError("not converted");
    }
    state.counters["lines"] = static_cast<double>(lines);
    state.counters["records"] = static_cast<double>(records);
    std::filesystem::remove_all(dir);
}

// One benchmark per instrument of the registry that has a reader, named by its list item.
const bool kRegistered = [] {
    for (const qef::RawInstrument& instrument : qef::RawInstruments()) {
        if (!instrument.Format) continue;
        std::string name = "BM_ConvertRawDownload/" + std::string(instrument.Item);
        std::replace(name.begin(), name.end(), '\t', ' ');
        const auto writer = std::ranges::find(kWriters, *instrument.Format, &FormatWriter::Format);
        if (writer == std::end(kWriters)) {
            benchmark::RegisterBenchmark(name.c_str(), [](benchmark::State& state) {
                for (auto _ : state) state.SkipWithError("no line writer for this format");
            });
            continue;
        }
        benchmark::RegisterBenchmark(name.c_str(), ConvertRawDownload, *writer)->Unit(benchmark::kMillisecond);
    }
    return true;
}();

}  // namespace
