#include "fielddata/raw/RawConversion.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "core/io/ToolFiles.h"
#include "core/model/OutputNames.h"
#include "core/model/OutputSet.h"
#include "core/text/TextFile.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"
#include "fielddata/raw/RawValues.h"

namespace qef {

// Each format's reader, defined in its own file.
#define QEF_RAW_READER(item, format) std::unique_ptr<RawReader> Make##format##Reader(RawOutput& out);
#define QEF_RAW_NO_READER(item)
#include "fielddata/raw/RawInstruments.inc"
#undef QEF_RAW_READER
#undef QEF_RAW_NO_READER

namespace {

const RawInstrument kInstruments[] = {
#define QEF_RAW_READER(item, format) {item, RawFormat::format, &Make##format##Reader},
#define QEF_RAW_NO_READER(item) {item, std::nullopt, nullptr},
#include "fielddata/raw/RawInstruments.inc"
#undef QEF_RAW_READER
#undef QEF_RAW_NO_READER
};

bool AppendWorkFile(std::FILE* in, TextFileWriter& to) {
    if (std::fflush(in) != 0 || std::ferror(in) != 0) return false;
    std::rewind(in);
    std::vector<char> buffer(1 << 16);
    std::size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), in)) > 0) to.Write(std::string_view(buffer.data(), got));
    return std::ferror(in) == 0;
}

struct ClosedAtExit {
    std::FILE* file;
    ~ClosedAtExit() {
        if (file != nullptr) std::fclose(file);
    }
};

// The outputs of one run as one set, whatever folders they go to, put in place when the whole run
// ended well.
class RawOutputSets {
public:
    // False when the set cannot be opened; Failure() says why.
    bool Begin(const std::vector<std::string>& outputs, const std::string& input) {
        return outputs.empty() || set_.Begin(outputs.front(), {input});
    }
    std::string Staged(const std::string& name) { return set_.Staged(name); }
    bool Commit() { return set_.Commit(); }
    std::string Failure() const { return set_.FailureMessage("Không ghi được file "); }

private:
    OutputSet set_;
};

std::string CountsText(const RawCounts& c) {
    return std::to_string(c.Stations) + Vn(" trạm máy, ") + std::to_string(c.AngleRecords) + Vn(" hướng đo, ") +
           std::to_string(c.DistanceRecords) + Vn(" cạnh, ") + std::to_string(c.DetailRecords) +
           Vn(" điểm chi tiết");
}

// Every output of the run, in the order RawFilesOf takes them.
std::vector<std::string> RawOutputNames(const RawConversionOptions& options, const RawConversionPaths& paths) {
    std::vector<std::string> outputs = {paths.Observations, paths.Detail};
    if (options.WithHeights) {
        outputs.push_back(paths.StationHeights);
        outputs.push_back(StationHeightsDtName(paths.StationHeights));
        outputs.push_back(paths.DetailHeights);
    }
    return outputs;
}

// False, after telling the user, when a name is missing or clashes with another.
bool OutputNamesUsable(const RawConversionPaths& paths, const std::vector<std::string>& outputs, Interaction& ui) {
    for (const std::string& name : outputs) {
        if (!paths.Input.empty() && !name.empty() && !FileNameWithoutExt(name).empty()) continue;
        ui.Message(Vn("Chưa đủ tên file số liệu và kết quả"));
        return false;
    }
    return CheckOutputNames({paths.Input}, outputs, ui);
}

// What to tell the user when the outputs cannot be staged.
std::optional<std::string> OpenStagedWriters(RawOutputSets& sets, const std::vector<std::string>& outputs,
                                             const std::string& input,
                                             std::vector<std::unique_ptr<TextFileWriter>>& writers) {
    if (!sets.Begin(outputs, input)) return sets.Failure();
    for (const std::string& name : outputs) {
        writers.push_back(std::make_unique<TextFileWriter>(sets.Staged(name)));
        if (!writers.back()->IsOpen()) return Vn("Không ghi được file ") + name;
    }
    return std::nullopt;
}

RawOutputFiles RawFilesOf(const std::vector<std::unique_ptr<TextFileWriter>>& writers, std::FILE* work,
                          bool heights) {
    RawOutputFiles files;
    files.Observations = writers[0].get();
    files.Work = work;
    files.Detail = writers[1].get();
    if (heights) {
        files.StationHeights = writers[2].get();
        files.StationHeightsDt = writers[3].get();
        files.DetailHeights = writers[4].get();
    }
    return files;
}

// Every line through the reader; the message of the first line that stops the run, if one does.
std::optional<std::string> ReadRawLines(LineReader& input, RawReader& reader, RawOutput& out) {
    std::string line;
    while (input.Next(line)) {
        if (input.LineNumber() == 1) DropByteOrderMark(line);
        // The line source splits at LF; a CR left inside a line is a line end it could not split.
        if (line.find('\r') != std::string::npos)
            return RawLineMessage(input.LineNumber(), line,
                                  Vn("dòng kết thúc bằng ký tự CR không có LF, không tách được các dòng"));
        if (line.find('\0') != std::string::npos) {
            std::replace(line.begin(), line.end(), '\0', '?');  // a message text ends at a NUL
            return RawLineMessage(input.LineNumber(), line, Vn("có ký tự NUL, không phải dòng văn bản"));
        }
        out.AtLine(input.LineNumber(), line);
        if (std::optional<std::string> error = reader.Line(line, input.LineNumber())) return error;
        if (out.Error()) return out.Error();
    }
    reader.End();
    out.Finish();
    return out.Error();
}

std::string NothingFoundMessage(const std::string& input) {
    return Vn("Không tìm thấy số liệu nào trong file ") + input +
           Vn(". Có thể đã chọn sai loại máy; không file nào được ghi.");
}

std::string DoneMessage(const RawConversionPaths& paths, const RawCounts& counts, const RawOutput& out) {
    std::string done = Vn("Đã chuyển xong file ") + paths.Input + ": " + CountsText(counts) + ".";
    if (!out.CutNames().empty()) {
        done += Vn("\nTên điểm dài quá 15 ký tự, đã cắt còn 15 ký tự:");
        for (const std::string& name : out.CutNames()) done += " " + name;
    }
    if (!out.UnrangedDetails().empty()) {
        done += Vn("\nĐiểm chi tiết không đo cạnh, không ghi vào file mia:");
        for (const std::string& name : out.UnrangedDetails()) done += " " + name;
    }
    const std::vector<std::string>& disagreements = out.Disagreements();
    for (std::size_t i = 0; i < disagreements.size() && i < kDisagreementsNamed; ++i) done += "\n" + disagreements[i];
    if (disagreements.size() > kDisagreementsNamed)
        done += Vn("\n... và ") + std::to_string(disagreements.size() - kDisagreementsNamed) +
                Vn(" điểm đo lệch nữa, ghi cả các lần đo");
    return done;
}

}  // namespace

std::span<const RawInstrument> RawInstruments() { return kInstruments; }

std::unique_ptr<RawReader> MakeRawReader(RawFormat format, RawOutput& out) {
    for (const RawInstrument& instrument : kInstruments)
        if (instrument.Format == format) return instrument.MakeReader(out);
    return nullptr;
}

std::string StationHeightsDtName(const std::string& stationHeights) { return ReplaceFileExt(stationHeights, "DT"); }

namespace {

// Opens the download; false, with the reason told, when it cannot be.
bool OpenDownload(const LineReader& lines, const std::string& input, Interaction& ui, RawConversionStatus& status) {
    if (lines.IsOpen()) return true;
    ui.Message(Vn("Không mở được file ") + input);
    status.Outcome = RawConversionOutcome::ReadFailed;
    return false;
}

// Reads the whole download into `out`, counting what it found; false, with the reason told, when it
// stops at a line or finds nothing to convert. The check and the conversion read alike this way.
bool ReadDownload(RawFormat format, LineReader& lines, const std::string& input, RawOutput& out, Interaction& ui,
                  RawConversionStatus& status) {
    const std::unique_ptr<RawReader> reader = MakeRawReader(format, out);
    if (std::optional<std::string> error = ReadRawLines(lines, *reader, out)) {
        ui.Message(*error);
        status.Outcome = RawConversionOutcome::StoppedAtLine;
        status.StopLine = lines.LineNumber();
        return false;
    }
    status.Counts = out.Counts();
    if (status.Counts.Nothing()) {
        ui.Message(NothingFoundMessage(input));
        status.Outcome = RawConversionOutcome::NothingConverted;
        return false;
    }
    return true;
}

}  // namespace

RawConversionStatus CheckRawFile(RawFormat format, const RawConversionOptions& options, const std::string& input,
                                 Interaction& ui) {
    RawConversionStatus status;
    LineReader lines(input);
    if (!OpenDownload(lines, input, ui, status)) return status;
    RawOutput out(options, RawOutputFiles{});
    ReadDownload(format, lines, input, out, ui, status);
    return status;
}

RawConversionStatus ConvertRawFile(RawFormat format, const RawConversionOptions& options,
                                   const RawConversionPaths& paths, Interaction& ui) {
    RawConversionStatus status;
    const std::vector<std::string> outputs = RawOutputNames(options, paths);
    if (!OutputNamesUsable(paths, outputs, ui)) {
        status.Outcome = RawConversionOutcome::NameCollision;
        return status;
    }
    LineReader input(paths.Input);
    if (!OpenDownload(input, paths.Input, ui, status)) return status;
    // Every output is written aside and put in place only when the whole download was read and
    // written; a run that stops, fails or dies leaves the earlier files as they were.
    RawOutputSets sets;
    const auto writeFailed = [&](const std::string& name) {
        ui.Message(Vn("Không ghi được file ") + name);
        status.Outcome = RawConversionOutcome::WriteFailed;
        return status;
    };
    std::vector<std::unique_ptr<TextFileWriter>> writers;
    if (std::optional<std::string> failed = OpenStagedWriters(sets, outputs, paths.Input, writers)) {
        ui.Message(*failed);
        status.Outcome = RawConversionOutcome::WriteFailed;
        return status;
    }
    // The distance records wait in a file of no name until they follow the angle records.
    const ClosedAtExit work{std::tmpfile()};
    if (work.file == nullptr) return writeFailed(paths.Observations);

    RawOutput out(options, RawFilesOf(writers, work.file, options.WithHeights));
    if (!ReadDownload(format, input, paths.Input, out, ui, status)) return status;

    // The distance records follow all angle records.
    if (!AppendWorkFile(work.file, *writers[0])) return writeFailed(paths.Observations);
    for (std::size_t i = 0; i < writers.size(); ++i)
        if (!writers[i]->Close()) return writeFailed(outputs[i]);
    if (!sets.Commit()) {
        ui.Message(sets.Failure());
        status.Outcome = RawConversionOutcome::WriteFailed;
        return status;
    }
    ui.Message(DoneMessage(paths, status.Counts, out));
    return status;
}

}  // namespace qef
