#pragma once
// Removal of a job's files once the job has been used.
#include "work_dir.h"

namespace plotsend {

// Deletes kavren.plt, kavren_m.plt and kavren.kv0 .. kavren.kv3 where present;
// markref.kv, codeinfo.kv, codenumble.kv and config.ini stay. Returns true
// when every file that was present has been deleted.
bool DeleteJobFiles(const WorkDir& dir);

}  // namespace plotsend
