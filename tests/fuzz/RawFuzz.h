#pragma once
// Shared by the raw-download fuzz targets: the first byte picks the run values, the rest is the
// download, handed to the reader line by line as the conversion does. Outputs go nowhere.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fielddata/raw/RawConversion.h"
#include "fielddata/raw/RawReaders.h"

namespace qef::fuzz {

inline int RunRawReader(RawFormat format, const std::uint8_t* data, std::size_t size) {
    const std::uint8_t mode = size > 0 ? data[0] : 0;
    RawConversionOptions options;
    options.WithHeights = (mode & 1) != 0;
    options.ControlFromNumber = (mode & 2) != 0 ? 5000 : -1;
    options.ControlDistanceCorrection = (mode & 4) != 0 ? 0.002 : 0.0;
    options.DetailDistanceCorrection = (mode & 8) != 0 ? 0.003 : 0.0;
    options.TargetHeightCorrection = (mode & 16) != 0 ? 0.005 : 0.0;
    static TextFileWriter sink("/dev/null");
    RawOutputFiles files{&sink, &sink, &sink, &sink, &sink, &sink};
    RawOutput out(options, files);
    const std::unique_ptr<RawReader> reader = MakeRawReader(format, out);
    std::string_view text(reinterpret_cast<const char*>(data), size);
    if (!text.empty()) text.remove_prefix(1);
    long long number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (reader->Line(line, ++number)) return 0;
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    reader->End();
    return 0;
}

}  // namespace qef::fuzz
