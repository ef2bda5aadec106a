#pragma once
// Shared by the raw-download fuzz targets: whole conversions from files. The first byte picks the
// run values, the rest is the download. A run either converts, writing exactly its outputs, or
// writes nothing; it never leaves a staged or work file behind.
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "RunInput.h"
#include "core/text/TextFile.h"
#include "fielddata/raw/RawConversion.h"

namespace qef::fuzz {

inline int RunRawConversion(RawFormat format, const std::uint8_t* data, std::size_t size) {
    const RunFolder& folder = Folder();
    const std::uint8_t mode = size > 0 ? data[0] : 0;
    RawConversionOptions options;
    options.WithHeights = (mode & 1) != 0;
    options.ControlFromNumber = (mode & 2) != 0 ? 5000 : -1;
    options.ControlDistanceCorrection = (mode & 4) != 0 ? 0.002 : 0.0;
    options.DetailDistanceCorrection = (mode & 8) != 0 ? 0.003 : 0.0;
    options.TargetHeightCorrection = (mode & 16) != 0 ? 0.005 : 0.0;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path, ec))
        std::filesystem::remove_all(entry.path(), ec);
    const RawConversionPaths paths{folder.File("raw.txt"), folder.File("obs.DTA"), folder.File("mia.DTA"),
                                   folder.File("dh.DTA"), folder.File("micao.DTA")};
    WriteBytes(paths.Input, size > 0 ? std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1)
                                     : std::string_view());
    SilentInteraction ui;
    const RawConversionStatus status = ConvertRawFile(format, options, paths, ui);
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path)) {
        assert(entry.is_regular_file());
        ++files;
    }
    const std::size_t outputs = options.WithHeights ? 5 : 2;
    assert(files == (status.Outcome == RawConversionOutcome::Converted ? 1 + outputs : 1));
    (void)files;
    (void)outputs;
    return 0;
}

}  // namespace qef::fuzz
