#include "fielddata/raw/RawConversion.h"

#include <cstdio>
#include <vector>

#include "core/model/OutputNames.h"
#include "core/text/AtomicFile.h"
#include "core/text/TextFile.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"
#include "fielddata/raw/RawReaders.h"

namespace qef {

namespace {

const RawInstrument kInstruments[] = {
    {"Nikon\tNIKON", RawFormat::Nikon},          {"Nikon\tTDS", std::nullopt},
    {"Leica\tTC800", RawFormat::LeicaGsi},       {"Leica\tT1610", RawFormat::LeicaGsiT1610},
    {"Topcon\tGTS229", RawFormat::Topcon},       {"Geodimeter\tGeo600", RawFormat::Geodimeter},
    {"Leica\tTC405", RawFormat::LeicaIdx},
};

// The work file goes whatever way the run ends.
struct RemovedAtExit {
    std::string path;
    ~RemovedAtExit() { std::remove(path.c_str()); }
};

bool AppendFile(const std::string& from, TextFileWriter& to) {
    std::FILE* in = std::fopen(from.c_str(), "rb");
    if (in == nullptr) return false;
    std::vector<char> buffer(1 << 16);
    std::size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), in)) > 0) to.Write(std::string_view(buffer.data(), got));
    const bool ok = std::ferror(in) == 0;
    std::fclose(in);
    return ok;
}

std::string CountsText(const RawCounts& c) {
    return std::to_string(c.Stations) + Vn(" trạm máy, ") + std::to_string(c.AngleRecords) + Vn(" hướng đo, ") +
           std::to_string(c.DistanceRecords) + Vn(" cạnh, ") + std::to_string(c.DetailRecords) +
           Vn(" điểm chi tiết");
}

}  // namespace

std::span<const RawInstrument> RawInstruments() { return kInstruments; }

std::unique_ptr<RawReader> MakeRawReader(RawFormat format, RawOutput& out) {
    switch (format) {
        case RawFormat::Nikon: return MakeNikonReader(out);
        case RawFormat::LeicaGsi: return MakeLeicaGsiReader(out);
        case RawFormat::LeicaGsiT1610: return MakeLeicaGsiT1610Reader(out);
        case RawFormat::Topcon: return MakeTopconReader(out);
        case RawFormat::Geodimeter: return MakeGeodimeterReader(out);
        case RawFormat::LeicaIdx: return MakeLeicaIdxReader(out);
    }
    return nullptr;
}

std::string RawWorkFileName(const std::string& observations) { return ReplaceFileExt(observations, "$$$"); }

std::string StationHeightsDtName(const std::string& stationHeights) { return ReplaceFileExt(stationHeights, "DT"); }

RawConversionStatus ConvertRawFile(RawFormat format, const RawConversionOptions& options,
                                   const RawConversionPaths& paths, Interaction& ui) {
    RawConversionStatus status;
    const bool heights = options.WithHeights;
    std::vector<std::string> outputs = {paths.Observations, RawWorkFileName(paths.Observations), paths.Detail};
    if (heights) {
        outputs.push_back(paths.StationHeights);
        outputs.push_back(StationHeightsDtName(paths.StationHeights));
        outputs.push_back(paths.DetailHeights);
    }
    for (const std::string& name : outputs) {
        if (!paths.Input.empty() && !name.empty() && !FileNameWithoutExt(name).empty()) continue;
        ui.Message(Vn("Chưa đủ tên file số liệu và kết quả"));
        status.Outcome = RawConversionOutcome::NameCollision;
        return status;
    }
    if (!CheckOutputNames({paths.Input}, outputs, ui)) {
        status.Outcome = RawConversionOutcome::NameCollision;
        return status;
    }

    LineReader input(paths.Input);
    if (!input.IsOpen()) {
        ui.Message(Vn("Không mở được file ") + paths.Input);
        status.Outcome = RawConversionOutcome::ReadFailed;
        return status;
    }
    AtomicFile observations(paths.Observations);
    AtomicFile detail(paths.Detail);
    std::unique_ptr<AtomicFile> stationHeights, stationHeightsDt, detailHeights;
    if (heights) {
        stationHeights = std::make_unique<AtomicFile>(paths.StationHeights);
        stationHeightsDt = std::make_unique<AtomicFile>(StationHeightsDtName(paths.StationHeights));
        detailHeights = std::make_unique<AtomicFile>(paths.DetailHeights);
    }
    const RemovedAtExit workGuard{RawWorkFileName(paths.Observations)};
    TextFileWriter work(workGuard.path);
    std::vector<AtomicFile*> atomic = {&observations, &detail};
    if (heights) atomic.insert(atomic.end(), {stationHeights.get(), stationHeightsDt.get(), detailHeights.get()});
    for (AtomicFile* file : atomic) {
        if (file->IsOpen()) continue;
        ui.Message(Vn("Không ghi được file ") + file->Path());
        status.Outcome = RawConversionOutcome::WriteFailed;
        return status;
    }
    if (!work.IsOpen()) {
        ui.Message(Vn("Không ghi được file ") + workGuard.path);
        status.Outcome = RawConversionOutcome::WriteFailed;
        return status;
    }

    RawOutputFiles files;
    files.Observations = &observations.Writer();
    files.Work = &work;
    files.Detail = &detail.Writer();
    if (heights) {
        files.StationHeights = &stationHeights->Writer();
        files.StationHeightsDt = &stationHeightsDt->Writer();
        files.DetailHeights = &detailHeights->Writer();
    }
    RawOutput out(options, files);
    const std::unique_ptr<RawReader> reader = MakeRawReader(format, out);
    std::string line;
    while (input.Next(line)) {
        if (input.LineNumber() == 1 && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
        if (std::optional<std::string> error = reader->Line(line, input.LineNumber())) {
            ui.Message(*error);
            status.Outcome = RawConversionOutcome::StoppedAtLine;
            status.StopLine = input.LineNumber();
            return status;
        }
    }
    reader->End();
    status.Counts = out.Counts();
    if (status.Counts.Nothing()) {
        ui.Message(Vn("Không tìm thấy số liệu nào trong file ") + paths.Input +
                   Vn(". Có thể đã chọn sai loại máy; không file nào được ghi."));
        status.Outcome = RawConversionOutcome::NothingConverted;
        return status;
    }

    // The distance records follow all angle records.
    bool written = work.Close() && AppendFile(workGuard.path, observations.Writer());
    for (AtomicFile* file : atomic) written = written && file->Commit();
    if (!written) {
        ui.Message(Vn("Không ghi được file ") + paths.Observations);
        status.Outcome = RawConversionOutcome::WriteFailed;
        return status;
    }
    ui.Message(Vn("Đã chuyển xong file ") + paths.Input + ": " + CountsText(status.Counts) + ".");
    return status;
}

}  // namespace qef
