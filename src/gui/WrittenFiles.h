#pragma once
// The files a command may write, looked at before it runs, so that afterwards the window can say
// which of them the run wrote: a tool that ends without a message still tells where its result is.
#include <QString>
#include <filesystem>
#include <string>
#include <vector>

namespace qef {

class WrittenFiles {
public:
    // Names of the file system (as the computations take them).
    explicit WrittenFiles(std::vector<std::string> paths);
    // Those created or changed since construction, in the order given.
    std::vector<std::string> Written() const;

private:
    struct Stamp {
        bool Exists = false;
        std::filesystem::file_time_type Time{};
        std::uintmax_t Size = 0;
        bool operator==(const Stamp&) const = default;
    };
    static Stamp StampOf(const std::string& path);

    std::vector<std::string> paths_;
    std::vector<Stamp> before_;
};

// "Đã ghi file a" or "Đã ghi file a, b"; empty when nothing was written.
QString WrittenText(const std::vector<std::string>& written);

}  // namespace qef
