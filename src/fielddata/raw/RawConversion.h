#pragma once
// Converting a raw total-station download into the program's observation, detail and height files:
// one function of the instrument, the run values and the file names. It checks the names, reads the
// download with the instrument's reader, writes the outputs as one set (all of them put in place
// when the run ends well, none otherwise), and tells the user what it converted. With a format it
// is that format's routine (ReadNikonRaw, ReadLeicaGsi and its T1610 twin, ReadLeicaIdx,
// ReadTopconGts, ReadGeodimeter): the files are done here, the lines by the format's reader.
#include <optional>
#include <memory>
#include <span>
#include <string>

#include "core/model/Interaction.h"
#include "fielddata/raw/RawOutput.h"
#include "fielddata/raw/RawReader.h"

namespace qef {

// The formats that have a reader, in list order, for code that picks one by name; the rows of
// RawInstruments.inc declare them.
enum class RawFormat {
#define QEF_RAW_READER(item, format) format,
#define QEF_RAW_NO_READER(item)
#include "fielddata/raw/RawInstruments.inc"
#undef QEF_RAW_READER
#undef QEF_RAW_NO_READER
};

// One item of the instrument list: its text (maker TAB model) and its reader, if there is one.
struct RawInstrument {
    const char* Item;
    std::optional<RawFormat> Format;
    RawReaderMaker MakeReader = nullptr;
};
// In list order; the position is the index kept in the settings file.
std::span<const RawInstrument> RawInstruments();

std::unique_ptr<RawReader> MakeRawReader(RawFormat format, RawOutput& out);

struct RawConversionPaths {
    std::string Input;
    std::string Observations;    // the raw observation file (".DTA")
    std::string Detail;          // the detail ("mia") file
    std::string StationHeights;  // with heights; its "DT" twin is written beside it
    std::string DetailHeights;   // with heights
};

// The "DT" twin of the station height-difference file.
std::string StationHeightsDtName(const std::string& stationHeights);

enum class RawConversionOutcome {
    Converted,
    NothingConverted,  // no record found: nothing written, a warning shown
    NameCollision,     // an output would replace the download or another output (message shown)
    ReadFailed,        // the download cannot be opened (message shown)
    StoppedAtLine,     // a line cannot be read (message naming it shown); nothing written
    WriteFailed,       // an output cannot be written (message shown); nothing written
};

struct RawConversionStatus {
    RawConversionOutcome Outcome = RawConversionOutcome::Converted;
    RawCounts Counts;
    long long StopLine = 0;
};

// Reads the download as the conversion would and writes nothing: Converted when it would convert,
// else the outcome and the message the conversion would give (shown).
RawConversionStatus CheckRawFile(RawFormat format, const RawConversionOptions& options, const std::string& input,
                                 Interaction& ui);

RawConversionStatus ConvertRawFile(RawFormat format, const RawConversionOptions& options,
                                   const RawConversionPaths& paths, Interaction& ui);

}  // namespace qef
