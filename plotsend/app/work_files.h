#pragma once
// Removal of a job's files once the job has been used, and the check that
// keeps an export from landing on one of them.
#include <string>

#include "app/work_dir.h"

namespace plotsend {

// Deletes kavren.plt, kavren_m.plt and kavren.kv0 .. kavren.kv3 where present;
// markref.kv, codeinfo.kv, codenumble.kv and config.ini stay. With `keepJob`
// kavren.plt stays too (only the intermediates go). Returns true when every
// file meant to go that was present has been deleted.
bool DeleteJobFiles(const WorkDir& dir, bool keepJob = false);

// Removes the temporary files that writers of an earlier run left in the
// work directory (*.plotara-tmp) when that run was killed. Only while no
// other run can be writing them: under the work directory's lock.
void RemoveStaleTempFiles(const WorkDir& dir);

// Whether `path` is, or links to, one of the files of the work directory
// (the job, its intermediates, the job description, the settings or the
// work directory's lock).
bool IsWorkFile(const WorkDir& dir, const std::string& path);

}  // namespace plotsend
