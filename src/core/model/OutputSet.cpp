#include "core/model/OutputSet.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <vector>

#include "core/text/AtomicFile.h"
#include "core/text/TextFile.h"

namespace qef {

namespace fs = std::filesystem;

namespace {

const std::string kJournal(OutputSet::kJournalName);

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Staging folders of a result are ".<result file name>.~<pid>-<token>".
std::string StagingPrefix(const std::string& resultFile) { return "." + FileNameOf(resultFile) + ".~"; }

// A journal entry that names a file of the staging folder: no folder part, not the journal.
bool IsSetFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name != kJournal &&
           name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
}

// Moves the files the journal of `staging` names into `finalDir`; false when one would not move.
// An entry that names no file of the set (a planted "../x") is passed over: nothing is moved out
// of the folders of the set.
bool MoveListed(const std::string& staging, const std::string& finalDir) {
    std::vector<std::string> names;
    if (!ReadAllLines(staging + kJournal, names)) return false;
    bool ok = true;
    for (const std::string& name : names) {
        if (!IsSetFileName(name)) continue;
        const std::string from = staging + name;
        if (::access(from.c_str(), F_OK) != 0) continue;  // moved before the crash
        if (std::rename(from.c_str(), (finalDir + name).c_str()) != 0) ok = false;
    }
    SyncToDisk(finalDir);
    return ok;
}

bool OwnerAlive(const std::string& folderName, std::size_t prefixLength) {
    const std::string rest = folderName.substr(prefixLength);
    const long pid = std::strtol(rest.c_str(), nullptr, 10);
    if (pid <= 0) return false;
    if (pid == static_cast<long>(::getpid())) return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

}  // namespace

OutputSet::~OutputSet() { Discard(); }

void OutputSet::Recover(const std::string& resultFile) {
    const std::string finalDir = FolderOf(resultFile);
    const std::string prefix = StagingPrefix(resultFile);
    std::error_code ec;
    std::vector<std::string> found;
    for (fs::directory_iterator it(finalDir.empty() ? "." : finalDir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        // A link would bring in the files of another folder.
        if (name.rfind(prefix, 0) == 0 && !it->is_symlink(ec) && it->is_directory(ec)) found.push_back(name);
    }
    for (const std::string& name : found) {
        const std::string staging = finalDir + name + "/";
        if (FileExists(staging + kJournal)) {
            MoveListed(staging, finalDir);
        } else if (OwnerAlive(name, prefix.size())) {
            continue;  // another run of the same result is writing
        }
        fs::remove_all(finalDir + name, ec);
    }
}

bool OutputSet::Begin(const std::string& resultFile) {
    Discard();
    Recover(resultFile);
    finalDir_ = FolderOf(resultFile);
    std::random_device random;
    for (int attempt = 0; attempt < 16; ++attempt) {
        char token[32];
        std::snprintf(token, sizeof token, "%ld-%08x", static_cast<long>(::getpid()), random());
        const std::string dir = finalDir_ + StagingPrefix(resultFile) + token;
        if (::mkdir(dir.c_str(), 0700) == 0) {
            stagingDir_ = dir + "/";
            return true;
        }
        if (errno != EEXIST) return false;
    }
    return false;
}

std::string OutputSet::Staged(const std::string& finalName) {
    if (!Active() || FolderOf(finalName) != finalDir_) return finalName;
    const std::string name = FileNameOf(finalName);
    const std::string staged = stagingDir_ + name;
    // A folder of that name would refuse the move at the end: it refuses the writing now, as it
    // did when the run wrote in place. A read-only file would be replaced by the move all the
    // same: it refuses the writing too.
    std::error_code ec;
    const fs::file_status st = fs::status(finalName, ec);
    if ((fs::exists(st) && !fs::is_regular_file(st)) || IsReadOnlyFile(finalName)) fs::create_directory(staged, ec);
    return staged;
}

std::string OutputSet::Unstaged(const std::string& text) const {
    if (!Active()) return text;
    const std::string from = stagingDir_;
    std::string out;
    std::size_t at = 0;
    for (;;) {
        const std::size_t hit = text.find(from, at);
        if (hit == std::string::npos) break;
        out.append(text, at, hit - at);
        out += finalDir_;
        at = hit + from.size();
    }
    out.append(text, at, std::string::npos);
    return out;
}

bool OutputSet::Commit() {
    if (!Active()) return true;
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(stagingDir_, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        const std::string name = it->path().filename().string();
        SyncToDisk(stagingDir_ + name);
        names.push_back(name);
    }
    // The journal would take that file's place and then be moved over the final one.
    if (ec || std::find(names.begin(), names.end(), kJournal) != names.end()) {
        Discard();
        return false;
    }
    // The journal's arrival is the moment the new set counts as written.
    if (!WriteLinesAtomically(stagingDir_ + kJournal, names, Durability::OnDisk)) {
        Discard();
        return false;
    }
    SyncToDisk(stagingDir_);
    const bool moved = MoveListed(stagingDir_, finalDir_);
    fs::remove_all(stagingDir_, ec);
    stagingDir_.clear();
    return moved;
}

void OutputSet::Discard() {
    if (!Active()) return;
    std::error_code ec;
    fs::remove_all(stagingDir_, ec);
    stagingDir_.clear();
}

}  // namespace qef
