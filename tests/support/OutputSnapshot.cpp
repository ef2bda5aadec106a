#include "support/OutputSnapshot.h"

#include <filesystem>

#include "support/Fakes.h"

namespace qef::test {

namespace fs = std::filesystem;

Snapshot Outputs(const std::string& dir, const std::set<std::string>& inputs) {
    Snapshot files;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (inputs.count(name)) continue;
        if (entry.is_directory())
            files[name + "/"] = "";
        else
            files[name] = ReadFileBytes(entry.path().string());
    }
    return files;
}

void Restore(const std::string& dir, const Snapshot& files, const std::set<std::string>& inputs) {
    for (const auto& entry : fs::directory_iterator(dir))
        if (!inputs.count(entry.path().filename().string())) fs::remove_all(entry.path());
    for (const auto& [name, bytes] : files) WriteFileBytes(dir + "/" + name, bytes);
}

std::string Differences(const Snapshot& got, const Snapshot& want) {
    std::string names;
    for (const auto& [name, bytes] : got)
        if (!want.count(name) || want.at(name) != bytes) names += " " + name;
    for (const auto& [name, bytes] : want)
        if (!got.count(name)) names += " -" + name;
    return names;
}

}  // namespace qef::test
