#pragma once
// The texts of the work files Plotsend reads.
#include <cstdint>
#include <string>

#include "job/cut_job.h"
#include "marks/mark_layout.h"

namespace plotmark {

inline constexpr const char* kJobPltName = "kavren.plt";
inline constexpr const char* kMarkRefName = "markref.kv";
inline constexpr const char* kCodeInfoName = "codeinfo.kv";
inline constexpr const char* kCodeNumberName = "codenumble.kv";

// The largest code number the preview's code bar can show.
inline constexpr int32_t kMaxCodeNumber = 99999;

// "IN;SP1;" then, per path, "PU a,b;" to its start and "PD a,b;" to each
// further point, one pair per command, a line per path.
std::string KavrenPltText(const CutJob& job);

// "MarkSpanX,MarkSpanY,MarkMargin,MarkType,SectionCount".
std::string MarkRefText(const MarkValues& v);

// Four bytes: "1,<mode>," for a pending coded job, "0,0," for none (so a
// job without a code never inherits an unread one).
std::string CodeInfoText(int mode);

std::string CodeNumberText(int32_t number);

}  // namespace plotmark
