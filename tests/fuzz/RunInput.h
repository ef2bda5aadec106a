#pragma once
// Shared by the whole-run fuzz targets: an input holds the settings byte, then the two input files
// of a run separated by the first zero byte. Each run writes into a folder of its own process.
#include <sys/stat.h>
#include <unistd.h>

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "FuzzInput.h"

namespace qef::fuzz {

struct RunFolder {
    // In memory where the system has it: the runs sync what they write.
    std::string path = std::string(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/qef-fuzz-run-" +
                       std::to_string(::getpid());
    RunFolder() { ::mkdir(path.c_str(), 0700); }
    ~RunFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::string File(const char* name) const { return path + "/" + name; }
    // Nothing staged is left behind, whatever the outcome: the folder holds files only.
    void AssertNothingStaged() const {
        for (const auto& entry : std::filesystem::directory_iterator(path)) {
            assert(!entry.is_directory());
            (void)entry;
        }
    }
};

inline const RunFolder& Folder() {
    static const RunFolder folder;
    return folder;
}

inline void WriteBytes(const std::string& path, std::string_view bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return;
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// Writes the two files and returns the settings; `extra` gets the bits of the second byte.
inline ComputationSettings PrepareRun(const std::uint8_t* data, std::size_t size, const std::string& first,
                                      const std::string& second, std::uint8_t& extra) {
    ComputationSettings settings = Prepare(data, size > 0 ? 1 : 0);  // settings from the first byte only
    extra = size > 1 ? data[1] : 0;
    const std::string_view rest = size > 2 ? std::string_view(reinterpret_cast<const char*>(data) + 2, size - 2)
                                           : std::string_view();
    const std::size_t cut = rest.find('\0');
    WriteBytes(first, rest.substr(0, cut));
    WriteBytes(second, cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1));
    return settings;
}

}  // namespace qef::fuzz
