// A 200,000-line download of each raw format converted with heights: stations of a hundred shots,
// half of them details, half control targets, through to the renamed output files.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
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

// One shot's lines in each format; shot 0 of a station is its backsight.
void WriteShot(qef::TextFileWriter& out, qef::RawFormat format, long long station, int shot, long long& lines) {
    const std::string name = shot == 0 ? "K" + std::to_string(station + 1) : (shot % 2 ? std::to_string(shot) : "C" + std::to_string(shot));
    const int hz = (shot * 37) % 360, minutes = shot % 60;
    const std::string sd = std::to_string(20 + shot) + ".125";
    auto line = [&](const std::string& text) {
        out.WriteLine(text);
        ++lines;
    };
    switch (format) {
        case qef::RawFormat::Nikon:
            line("SS," + name + ",1.500," + sd + "," + Dms(hz, minutes) + ",88.1520,10:00:00,PT");
            break;
        case qef::RawFormat::LeicaGsi:
        case qef::RawFormat::LeicaGsiT1610: {
            std::string text = Word("11", "0001", name) + Word("21", ".324", Packed(hz, minutes)) +
                               Word("22", ".324", "08815200") + Word("31", "..00", std::to_string(20125 + shot * 1000)) +
                               Word("51", "..1.", "0000+000");
            if (format == qef::RawFormat::LeicaGsiT1610)
                text += Word("42", "....", "K" + std::to_string(station)) + Word("87", "..10", "1500") + Word("88", "..10", "1452");
            else
                text += Word("87", "..10", "1500");
            line(text);
            break;
        }
        case qef::RawFormat::LeicaIdx:
            line("  " + std::to_string(shot) + ", \"" + name + "\", 1, " + Dms(hz, minutes) + ", 88.1520, " + sd + ", 1.500;");
            break;
        case qef::RawFormat::Topcon:
            line((shot == 0 ? "BS " : "SS ") + name + ",1.500");
            line("SD " + Dms(hz, minutes) + ",88.1520," + sd);
            break;
        case qef::RawFormat::Geodimeter:
            line("5=" + name);
            line("7=" + Dms(hz, minutes));
            line("8=88.1520");
            line("9=" + sd);
            line("0=");
            break;
    }
}

void WriteStation(qef::TextFileWriter& out, qef::RawFormat format, long long station, long long& lines) {
    const std::string st = "K" + std::to_string(station), bs = "K" + std::to_string(station + 1);
    switch (format) {
        case qef::RawFormat::Nikon: out.WriteLine("ST," + st + ",," + bs + ",,1.452,0.0000,0.0000"); ++lines; break;
        case qef::RawFormat::LeicaGsi:
            out.WriteLine(Word("41", "0001", "1") + Word("42", "....", st) + Word("43", "....", bs) + Word("44", "....", "1452"));
            ++lines;
            break;
        case qef::RawFormat::LeicaIdx:
            for (const std::string& text : {std::string("SETUP"), "STN_ID \"" + st + "\",", std::string("INST_HT 1.452;"),
                                            std::string("SLOPE(TgtNo, TgtID, CfgNo, Hz, Vz, SDist, RefHt);")}) {
                out.WriteLine(text);
                ++lines;
            }
            break;
        case qef::RawFormat::Topcon: out.WriteLine("STN " + st + ",1.452"); ++lines; break;
        case qef::RawFormat::Geodimeter:
            for (const std::string& text : {"2=" + st, "62=" + bs, std::string("21=0.0000"), std::string("0=")}) {
                out.WriteLine(text);
                ++lines;
            }
            break;
        case qef::RawFormat::LeicaGsiT1610: break;
    }
}

void BM_ConvertRawDownload(benchmark::State& state) {
    const auto format = static_cast<qef::RawFormat>(state.range(0));
    const std::string dir =
        (std::filesystem::temp_directory_path() / ("qef_raw_bench_" + std::to_string(getpid()))).string();
    std::filesystem::create_directories(dir);
    long long lines = 0;
    {
        qef::TextFileWriter out(dir + "/raw.txt");
        for (long long station = 0; lines < kLines; ++station) {
            WriteStation(out, format, station, lines);
            for (int shot = 0; shot < kShotsPerStation && lines < kLines; ++shot) WriteShot(out, format, station, shot, lines);
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
        const qef::RawConversionStatus status = qef::ConvertRawFile(format, options, paths, ui);
        records = status.Counts.AngleRecords + status.Counts.DetailRecords;
        if (status.Outcome != qef::RawConversionOutcome::Converted) state.SkipWithError("not converted");
    }
    state.counters["lines"] = static_cast<double>(lines);
    state.counters["records"] = static_cast<double>(records);
    std::filesystem::remove_all(dir);
}

BENCHMARK(BM_ConvertRawDownload)
    ->ArgName("format")
    ->DenseRange(0, 5)
    ->Unit(benchmark::kMillisecond);

}  // namespace
