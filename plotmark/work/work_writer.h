#pragma once
// Writes the job's files into the work directory: each whole, through a
// temporary file and a rename, and none at all when any cannot be written.
#include <string>
#include <vector>

namespace plotmark {

struct WorkFile {
  std::string name;
  std::string content;
};

enum class WriteOutcome {
  Written,
  JobPending,   // an unsent kavren.plt is there and --replace was not given
  NoDirectory,  // the directory cannot be made
  WriteFailed,  // detail: the file
};

struct WriteResult {
  WriteOutcome outcome = WriteOutcome::Written;
  std::string detail;
};

// `dir` ends with a separator. The files are renamed into place in the
// order given; give kavren.plt last, since its presence makes the job.
WriteResult WriteWorkFiles(const std::string& dir, const std::vector<WorkFile>& files, bool replace);

// The checks of WriteWorkFiles without writing: the directory can be made
// (it is made) and no unsent job is in the way.
WriteResult CheckWorkDirectory(const std::string& dir, bool replace);

// A file written whole under a temporary name beside `path` (AsideName),
// then put in place by a rename: until then whatever `path` holds stays.
// The name ends as Plotsend's temporary files do, so that one a killed run
// left in the work directory goes with Plotsend's own.
std::string AsideName(const std::string& path);
bool WriteAside(const std::string& path, const std::string& content);
bool PutInPlace(const std::string& path);  // the temporary file goes on failure
void DropAside(const std::string& path);

}  // namespace plotmark
