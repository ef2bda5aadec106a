#include "core/model/OutputSet.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <thread>

#include "core/text/AtomicFile.h"
#include "core/text/SystemReason.h"
#include "core/text/TextFile.h"
#include "core/text/VnCodec.h"

namespace qef {

namespace fs = std::filesystem;

namespace {

const std::string kJournal(OutputSet::kJournalName);
const std::string kUndo = "undo";         // the journal, renamed when the set is being put back
const std::string kRefused = "refused";   // a journal recovery did not trust, kept for whoever looks
const std::string kFolders = "folders";   // the other folders of the run, recorded before use
const std::string kLock = "lock";
const std::string kMagic = "qef set 2";
constexpr std::string_view kAreaPrefix = ".~qef";
constexpr std::string_view kOtherPrefix = ".~qes";
constexpr std::string_view kWriteLead = "Lỗi ghi file ";

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Hex(std::uint64_t value, int digits) {
    static const char* const kDigits = "0123456789abcdef";
    std::string out(static_cast<std::size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i, value >>= 4) out[static_cast<std::size_t>(i)] = kDigits[value & 15];
    return out;
}

// Fixed length whatever the result's name, so that every name the system accepts can be staged.
std::string AreaName(const std::string& resultName) {
    std::uint64_t h = 1469598103934665603ULL;
    for (unsigned char c : resultName) h = (h ^ c) * 1099511628211ULL;
    return std::string(kAreaPrefix) + Hex(h, 12);
}

// The hidden area of a result, with its trailing "/".
std::string AreaOf(const std::string& resultFile) {
    return FolderOf(resultFile) + AreaName(FileNameOf(resultFile)) + "/";
}

bool IsPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos && name.find('\n') == std::string::npos &&
           name.find('\r') == std::string::npos;
}

bool IsRealFolder(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// A file the program staged: regular (no link), this user's, with no other name.
bool IsOwnStagedFile(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && st.st_nlink == 1;
}

bool IsInput(const std::string& path, const std::vector<std::string>& inputs) {
    std::error_code ec;
    for (const std::string& input : inputs) {
        if (input.empty()) continue;
        if (path == input || fs::equivalent(path, input, ec)) return true;
        // A name the input will have: compared by folder and name.
        if (fs::weakly_canonical(path, ec) == fs::weakly_canonical(input, ec) && !ec) return true;
    }
    return false;
}

void RemoveAll(const std::string& path) {
    std::error_code ec;
    fs::remove_all(path, ec);
}

// The lock of an area, taken without waiting longer than `waitMs`: its descriptor, or -1 with
// `error` set (EWOULDBLOCK when another run holds it).
int LockArea(const std::string& area, int waitMs, int& error) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        if (::mkdir(area.c_str(), 0700) != 0 && errno != EEXIST) {
            error = errno;
            return -1;
        }
        if (!IsRealFolder(area)) {
            error = EEXIST;
            return -1;
        }
        const std::string lock = area + kLock;
        const int fd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0 && errno != ENOENT) {
            error = errno;
            return -1;
        }
        if (fd >= 0) {
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
                // The lock counts only while its file still has that name: a run that ends
                // removes it, and a waiter may have locked the removed one.
                struct stat held {}, named {};
                if (::fstat(fd, &held) == 0 && ::lstat(lock.c_str(), &named) == 0 && held.st_ino == named.st_ino &&
                    held.st_dev == named.st_dev)
                    return fd;
                ::close(fd);
                continue;
            }
            const int why = errno;
            ::close(fd);
            if (why != EWOULDBLOCK) {
                error = why;
                return -1;
            }
        }
        if (std::chrono::steady_clock::now() >= until) {
            error = EWOULDBLOCK;
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void UnlockArea(const std::string& area, int fd) {
    ::unlink((area + kLock).c_str());
    ::rmdir(area.c_str());  // kept while it holds what recovery did not trust
    ::close(fd);
}

struct Entry {
    std::string Final;
    std::string New;  // staged
    std::string Old;  // set aside
    bool HadOld = false;
};

// The entries of a journal, or false when recovery must not trust it.
bool ReadJournal(const std::string& journal, const std::string& finalDir, const std::string& areaName,
                 const std::string& runDir, const std::string& token, const std::vector<std::string>& inputs,
                 std::vector<Entry>& entries) {
    std::vector<std::string> lines, recorded;
    if (!ReadAllLines(journal, lines) || lines.size() < 2 || lines[0] != kMagic) return false;
    if (!IsPlainName(lines[1]) || AreaName(lines[1]) != areaName) return false;
    ReadAllLines(runDir + kFolders, recorded);
    std::vector<std::pair<std::string, std::string>> folders{{finalDir, runDir}};
    for (std::size_t i = 2; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.rfind("F\t", 0) == 0) {
            const std::string folder = line.substr(2);
            const std::string staging = folder + std::string(kOtherPrefix) + token + "/";
            if (std::find(recorded.begin(), recorded.end(), folder) == recorded.end() || !IsRealFolder(staging))
                return false;
            folders.emplace_back(folder, staging);
            continue;
        }
        // "E<tab><folder><tab><had old><tab><name>"
        if (line.rfind("E\t", 0) != 0) return false;
        const std::size_t t1 = line.find('\t', 2);
        const std::size_t t2 = t1 == std::string::npos ? t1 : line.find('\t', t1 + 1);
        if (t2 == std::string::npos) return false;
        const std::string index = line.substr(2, t1 - 2);
        const std::string had = line.substr(t1 + 1, t2 - t1 - 1);
        const std::string name = line.substr(t2 + 1);
        if (index.empty() || index.find_first_not_of("0123456789") != std::string::npos || index.size() > 6) return false;
        const std::size_t f = std::stoul(index);
        if (f >= folders.size() || (had != "0" && had != "1") || !IsPlainName(name) || name == kJournal) return false;
        Entry e{folders[f].first + name, folders[f].second + "n/" + name, folders[f].second + "o/" + name, had == "1"};
        if (IsInput(e.Final, inputs)) return false;
        if ((Exists(e.New) && !IsOwnStagedFile(e.New)) || (Exists(e.Old) && !IsOwnStagedFile(e.Old))) return false;
        entries.push_back(std::move(e));
    }
    return true;
}

bool MoveForward(const std::vector<Entry>& entries) {
    bool ok = true;
    for (const Entry& e : entries)
        if (Exists(e.New) && std::rename(e.New.c_str(), e.Final.c_str()) != 0) ok = false;
    return ok;
}

// Puts back the old files of the first `count` entries, the last moved first.
bool PutBack(const std::vector<Entry>& entries, std::size_t count) {
    bool ok = true;
    for (std::size_t i = count; i-- > 0;) {
        const Entry& e = entries[i];
        if (Exists(e.Old)) {
            if (std::rename(e.Old.c_str(), e.Final.c_str()) != 0) ok = false;
        } else if (!e.HadOld && !Exists(e.New) && Exists(e.Final)) {
            if (::unlink(e.Final.c_str()) != 0) ok = false;
        }
    }
    return ok;
}

void RemoveRun(const std::string& runDir, const std::string& token) {
    std::vector<std::string> recorded;
    if (ReadAllLines(runDir + kFolders, recorded))
        for (const std::string& folder : recorded) {
            const std::string staging = folder + std::string(kOtherPrefix) + token;
            if (IsRealFolder(staging)) RemoveAll(staging);
        }
    RemoveAll(runDir);
}

// Finishes or undoes what killed runs left in an area whose lock is held.
void RecoverArea(const std::string& area, const std::string& finalDir, const std::vector<std::string>& inputs) {
    std::error_code ec;
    std::vector<std::string> runs;
    for (fs::directory_iterator it(area, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() > 1 && name[0] == 'r' && IsRealFolder(area + name)) runs.push_back(name);
    }
    const std::string areaName = FileNameOf(area.substr(0, area.size() - 1));
    for (const std::string& name : runs) {
        const std::string runDir = area + name + "/";
        const std::string token = name.substr(1);
        if (Exists(runDir + kRefused)) continue;
        const bool forward = Exists(runDir + kJournal);
        const bool back = !forward && Exists(runDir + kUndo);
        if (forward || back) {
            const std::string journal = runDir + (forward ? kJournal : kUndo);
            std::vector<Entry> entries;
            if (!ReadJournal(journal, finalDir, areaName, runDir, token, inputs, entries)) {
                std::rename(journal.c_str(), (runDir + kRefused).c_str());
                continue;
            }
            const bool done = forward ? MoveForward(entries) : PutBack(entries, entries.size());
            SyncToDisk(finalDir);
            if (!done) continue;  // tried again by the next run
        }
        RemoveRun(runDir, token);
    }
}

// Finishes what killed runs left in an area; false, touching nothing, when a run holds it now.
bool RecoverIfFree(const std::string& area, const std::string& finalDir, const std::vector<std::string>& inputs) {
    int error = 0;
    const int fd = LockArea(area, 0, error);
    if (fd < 0) return false;
    RecoverArea(area, finalDir, inputs);
    UnlockArea(area, fd);
    return true;
}

// Staging folders of the format before areas: ".<result name>.~<pid>-<token>", the journal
// naming plain file names.
void RecoverOldStaging(const std::string& resultFile, const std::vector<std::string>& inputs) {
    const std::string finalDir = FolderOf(resultFile);
    const std::string prefix = "." + FileNameOf(resultFile) + ".~";
    std::error_code ec;
    std::vector<std::string> found;
    for (fs::directory_iterator it(finalDir.empty() ? "." : finalDir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(prefix, 0) == 0 && IsRealFolder(finalDir + name)) found.push_back(name);
    }
    for (const std::string& name : found) {
        const std::string staging = finalDir + name + "/";
        const long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
        std::vector<std::string> names;
        if (ReadAllLines(staging + kJournal, names)) {
            for (const std::string& entry : names) {
                const std::string from = staging + entry;
                if (!IsPlainName(entry) || entry == kJournal || !IsOwnStagedFile(from) ||
                    IsInput(finalDir + entry, inputs))
                    continue;
                std::rename(from.c_str(), (finalDir + entry).c_str());
            }
            SyncToDisk(finalDir);
        } else if (pid > 0 && pid != ::getpid() && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM)) {
            continue;  // still writing
        }
        RemoveAll(finalDir + name);
    }
}

// What killed runs of other results left in the folder, when no run holds them.
void RecoverOtherAreas(const std::string& finalDir, const std::string& ownArea, const std::vector<std::string>& inputs) {
    std::error_code ec;
    std::vector<std::string> areas;
    for (fs::directory_iterator it(finalDir.empty() ? "." : finalDir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() == kAreaPrefix.size() + 12 && name.rfind(kAreaPrefix, 0) == 0 && finalDir + name + "/" != ownArea &&
            IsRealFolder(finalDir + name))
            areas.push_back(finalDir + name + "/");
    }
    for (const std::string& area : areas) RecoverIfFree(area, finalDir, inputs);
}

// "<lead><name>", with the system's reason when there is one.
std::string FailureText(std::string_view lead, const std::string& name, int error) {
    std::string text = Vn(lead) + name;
    if (error != 0) text += " : " + SystemReason(error);
    return text;
}

// A path inside a set's staging folder: ".../.~qef…/r…/n/name" or ".../.~qes…/n/name".
bool InsideStaging(const std::string& path) {
    const fs::path folder = fs::path(path).parent_path();
    if (folder.filename() != "n") return false;
    const std::string up = folder.parent_path().filename().string();
    const std::string upUp = folder.parent_path().parent_path().filename().string();
    return up.rfind(kOtherPrefix, 0) == 0 || (up.rfind('r', 0) == 0 && upUp.rfind(kAreaPrefix, 0) == 0);
}

}  // namespace

OutputSet::~OutputSet() { Discard(); }

void OutputSet::Recover(const std::string& resultFile) {
    const std::string area = AreaOf(resultFile);
    if (IsRealFolder(area) && !RecoverIfFree(area, FolderOf(resultFile), {})) return;
    RecoverOldStaging(resultFile, {});
}

bool OutputSet::InUse(const std::string& resultFile) {
    const std::string area = AreaOf(resultFile);
    if (!IsRealFolder(area)) return false;
    int error = 0;
    const int fd = LockArea(area, 0, error);
    if (fd >= 0) UnlockArea(area, fd);
    return fd < 0 && error == EWOULDBLOCK;
}

std::string OutputSet::BusyMessage(const std::string& resultFile) {
    return Vn("Kết quả ") + resultFile + Vn(" đang được một lần tính khác ghi");
}

bool OutputSet::Fail(const std::string& file, int error) {
    failedFile_ = file;
    failedError_ = error;
    return false;
}

std::string OutputSet::FailureMessage(std::string_view lead) const {
    return busy_ ? BusyMessage(result_) : FailureText(lead, failedFile_, failedError_);
}

bool OutputSet::Begin(const std::string& resultFile, const std::vector<std::string>& inputs) {
    Discard();
    failedFile_.clear();
    failedError_ = 0;
    busy_ = false;
    result_ = resultFile;
    const std::string finalDir = FolderOf(resultFile);
    area_ = AreaOf(resultFile);
    int error = 0;
    // A run clearing this area for another result holds its lock for a moment.
    lockFd_ = LockArea(area_, 20, error);
    if (lockFd_ < 0) {
        busy_ = error == EWOULDBLOCK;
        return Fail(resultFile, error);
    }
    RecoverArea(area_, finalDir, inputs);
    RecoverOldStaging(resultFile, inputs);
    RecoverOtherAreas(finalDir, area_, inputs);

    std::random_device random;
    for (int attempt = 0; attempt < 16 && runDir_.empty(); ++attempt) {
        const std::string token = Hex((static_cast<std::uint64_t>(random()) << 32) ^ random(), 12);
        const std::string dir = area_ + "r" + token;
        if (::mkdir(dir.c_str(), 0700) != 0) {
            if (errno == EEXIST) continue;
            error = errno;
            break;
        }
        if (::mkdir((dir + "/n").c_str(), 0700) != 0 || ::mkdir((dir + "/o").c_str(), 0700) != 0) {
            error = errno;
            RemoveAll(dir);
            break;
        }
        token_ = token;
        runDir_ = dir + "/";
    }
    if (runDir_.empty()) {
        Close();
        return Fail(resultFile, error == 0 ? EEXIST : error);
    }
    folders_ = {{finalDir, runDir_}};
    return true;
}

std::string OutputSet::StagingFor(const std::string& finalDir) {
    for (const Folder& f : folders_)
        if (f.Final == finalDir) return f.Staging;
    // Recorded before it is made, so that recovery finds it even when the run dies now.
    std::vector<std::string> others;
    for (std::size_t i = 1; i < folders_.size(); ++i) others.push_back(folders_[i].Final);
    others.push_back(finalDir);
    const std::string staging = finalDir + std::string(kOtherPrefix) + token_ + "/";
    folders_.push_back({finalDir, staging});
    if (!WriteLinesAtomically(runDir_ + kFolders, others, Durability::OnDisk) ||
        ::mkdir(staging.c_str(), 0700) != 0 || ::mkdir((staging + "n").c_str(), 0700) != 0 ||
        ::mkdir((staging + "o").c_str(), 0700) != 0)
        Fail(finalDir, errno);
    return staging;
}

std::string OutputSet::Staged(const std::string& finalName) {
    if (!Active()) return finalName;
    const std::string staged = StagingFor(FolderOf(finalName)) + "n/" + FileNameOf(finalName);
    // A folder of that name would refuse the move at the end: it refuses the writing now, as it
    // did when the run wrote in place. A read-only file is kept from being replaced the same way.
    std::error_code ec;
    const fs::file_status st = fs::status(finalName, ec);
    if ((fs::exists(st) && !fs::is_regular_file(st)) || IsReadOnlyFile(finalName)) fs::create_directory(staged, ec);
    return staged;
}

std::string OutputSet::Unstaged(const std::string& text) const {
    std::string out = text;
    for (const Folder& f : folders_) {
        const std::string from = f.Staging + "n/";
        std::string replaced;
        std::size_t at = 0;
        for (;;) {
            const std::size_t hit = out.find(from, at);
            if (hit == std::string::npos) break;
            replaced.append(out, at, hit - at);
            replaced += f.Final;
            at = hit + from.size();
        }
        replaced.append(out, at, std::string::npos);
        out = std::move(replaced);
    }
    return out;
}

bool OutputSet::Commit() {
    if (!Active()) return failedFile_.empty();
    std::vector<Entry> entries;
    std::vector<std::string> journal{kMagic, FileNameOf(result_)};
    for (std::size_t f = 1; f < folders_.size(); ++f) journal.push_back("F\t" + folders_[f].Final);
    bool ok = failedFile_.empty();
    for (std::size_t f = 0; f < folders_.size() && ok; ++f) {
        const Folder& folder = folders_[f];
        std::error_code ec;
        std::vector<std::string> names;
        for (fs::directory_iterator it(folder.Staging + "n", ec), end; !ec && it != end; it.increment(ec))
            if (it->is_regular_file(ec)) names.push_back(it->path().filename().string());
        if (ec) ok = Fail(folder.Final, ec.value());
        std::sort(names.begin(), names.end());
        for (const std::string& name : names) {
            Entry e{folder.Final + name, folder.Staging + "n/" + name, folder.Staging + "o/" + name, false};
            // The journal's own name is reserved; a line end would split its entry.
            if (name == kJournal || !IsPlainName(name)) {
                ok = Fail(e.Final, EINVAL);
                break;
            }
            struct stat st {};
            e.HadOld = ::lstat(e.Final.c_str(), &st) == 0;
            if (e.HadOld && S_ISDIR(st.st_mode)) {
                ok = Fail(e.Final, EISDIR);
                break;
            }
            SyncToDisk(e.New);
            journal.push_back("E\t" + std::to_string(f) + "\t" + (e.HadOld ? "1" : "0") + "\t" + name);
            entries.push_back(std::move(e));
        }
    }
    // The journal's arrival is the moment the new set counts as written.
    errno = 0;
    if (ok && !WriteLinesAtomically(runDir_ + kJournal, journal, Durability::OnDisk))
        ok = Fail(result_, errno == 0 ? EIO : errno);
    if (!ok) {
        Discard();
        return false;
    }
    SyncToDisk(runDir_);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        if ((e.HadOld && std::rename(e.Final.c_str(), e.Old.c_str()) != 0) ||
            std::rename(e.New.c_str(), e.Final.c_str()) != 0) {
            Fail(e.Final, errno);
            // Marked first: a run killed while putting back is put back by the next one.
            std::rename((runDir_ + kJournal).c_str(), (runDir_ + kUndo).c_str());
            SyncToDisk(runDir_);
            const bool putBack = PutBack(entries, i + 1);
            for (const Folder& f : folders_) SyncToDisk(f.Final);
            if (putBack) RemoveRun(runDir_, token_);
            runDir_.clear();
            Close();
            return false;
        }
    }
    for (const Folder& f : folders_) SyncToDisk(f.Final);
    RemoveRun(runDir_, token_);
    runDir_.clear();
    Close();
    return true;
}

void OutputSet::Discard() {
    if (Active()) {
        // Recorded other folders go with it; one not yet recorded has nothing in it.
        for (std::size_t i = 1; i < folders_.size(); ++i) RemoveAll(folders_[i].Staging);
        RemoveAll(runDir_);
        runDir_.clear();
    }
    Close();
}

void OutputSet::Close() {
    folders_.clear();
    if (lockFd_ >= 0) UnlockArea(area_, lockFd_);
    lockFd_ = -1;
}

std::string WriteFailureText(const std::string& finalName) {
    if (IsRealFolder(finalName)) return FailureText(kWriteLead, finalName, EISDIR);
    std::string text = FailureText(kWriteLead, finalName, 0);
    if (IsReadOnlyFile(finalName)) text += Vn(" : file chỉ đọc");
    return text;
}

bool WriteSingleOutput(const std::string& path, const std::string& bytes, std::string& failure) {
    if (InsideStaging(path)) {
        // Already aside: a file cut short is removed, so that the old one stays.
        TextFileWriter out(path);
        if (out.IsOpen()) out.Write(bytes);
        if (out.IsOpen() && out.Close()) return true;
        std::remove(path.c_str());
        failure = FailureText(kWriteLead, path, 0);
        return false;
    }
    OutputSet set;
    if (!set.Begin(path)) {
        failure = set.FailureMessage();
        return false;
    }
    errno = 0;
    TextFileWriter out(set.Staged(path));
    if (out.IsOpen()) out.Write(bytes);
    if (!out.IsOpen() || !out.Close()) {
        failure = FailureText(kWriteLead, path, errno);
        return false;
    }
    if (!set.Commit()) {
        failure = set.FailureMessage();
        return false;
    }
    return true;
}

bool WriteSingleOutput(const std::string& path, const std::vector<std::string>& lines, std::string& failure) {
    std::string bytes;
    for (const std::string& line : lines) bytes += line + "\r\n";
    return WriteSingleOutput(path, bytes, failure);
}

}  // namespace qef
