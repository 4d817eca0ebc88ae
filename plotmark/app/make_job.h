#pragma once
// The whole run: design in, cut chosen, marks placed, sheet and work files
// out. Everything is checked before the first file is written, so a refused
// design leaves nothing behind.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/ports.h"
#include "app/texts.h"
#include "cut/cut_selection.h"
#include "marks/mark_layout.h"
#include "sheet/sheet_svg.h"

namespace plotmark {

struct JobRequest {
  std::string designPath;
  std::string workDir;  // with a trailing separator
  CutChoice cut;
  std::string cutStrokeText;  // --cut-stroke as given, for messages
  int markType = 1;
  double marginMm = 10.0;
  int sections = 1;
  MarkSizes sizes;
  std::optional<int64_t> code;
  bool replace = false;
  std::string sheetName;  // empty: no sheet
  std::optional<PageSize> page;
  std::string pageText;
  // Told before a step that may take a while (rendering the sheet).
  std::function<void(const std::string&)> progress;
};

struct JobReport {
  bool ok = false;
  std::string error;                  // when not ok
  std::vector<std::string> lines;     // the summary
  std::vector<std::string> warnings;  // shown after it
  MarkValues marks;
};

JobReport MakeJob(const JobRequest& request, SheetRenderer& renderer, Language language);

}  // namespace plotmark
