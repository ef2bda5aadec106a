#pragma once
// The files of a run's folder as bytes, to compare a folder before and after a run that failed.
#include <map>
#include <set>
#include <string>

namespace qef::test {

using Snapshot = std::map<std::string, std::string>;  // file name -> bytes; a folder as "name/"

// Every entry of `dir` but the inputs.
Snapshot Outputs(const std::string& dir, const std::set<std::string>& inputs);
// Makes `dir` hold the inputs and exactly the files of the snapshot.
void Restore(const std::string& dir, const Snapshot& files, const std::set<std::string>& inputs);
// The names that differ between two snapshots ("-name" for one missing), for a failure message.
std::string Differences(const Snapshot& got, const Snapshot& want);

}  // namespace qef::test
