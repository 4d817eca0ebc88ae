#pragma once
// What the job maker asks of the platform: rendering the sheet to PDF and
// PNG, and starting Plotsend.
#include <string>

#include "job/cut_job.h"
#include "sheet/sheet_svg.h"

namespace plotmark {

class SheetRenderer {
 public:
  virtual ~SheetRenderer() = default;
  virtual bool Available() const = 0;
  // The sheet as a PDF page of its own size.
  virtual bool RenderPdf(const Sheet& sheet, const std::string& path) = 0;
  // A preview of the sheet with the cut lines drawn over it in red.
  virtual bool RenderPng(const Sheet& sheet, const CutJob& job, const std::string& path) = 0;
};

// A renderer for builds without one.
class NoSheetRenderer : public SheetRenderer {
 public:
  bool Available() const override { return false; }
  bool RenderPdf(const Sheet&, const std::string&) override { return false; }
  bool RenderPng(const Sheet&, const CutJob&, const std::string&) override { return false; }
};

// Whether this platform has a Plotsend to start: one that takes its job
// from the default work directory.
bool CanStartPlotsend();

// Starts Plotsend from beside this program; false with the program's path
// in `program` when that fails, or when this platform has no such program
// to start (then `program` is empty).
bool StartPlotsend(std::string& program);

}  // namespace plotmark
