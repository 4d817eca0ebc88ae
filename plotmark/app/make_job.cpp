#include "app/make_job.h"

#include <cmath>
#include <cstdio>
#include <memory>

#include "common/work_lock.h"
#include "import/load_design.h"
#include "job/cut_job.h"
#include "job/job_files.h"
#include "sheet/sheet_layout.h"
#include "work/file_io.h"
#include "work/work_writer.h"

namespace plotmark {
namespace {

constexpr double kMaxMarginMm = 1000.0;

std::string Mm(double v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.1f", v);
  return buffer;
}

class Run {
 public:
  Run(const JobRequest& request, SheetRenderer& renderer, Language language)
      : q_(request), renderer_(renderer), lang_(language) {}

  JobReport Go() {
    if (!CheckOptions() || !Import() || !ChooseCut() || !PlaceMarks() || !PrepareSheet() || !CheckWorkDir() ||
        !WriteSheet() || !LockWorkDir() || !WriteJob() || !PlaceSheet()) {
      for (const std::string& f : sheetFiles_) DropAside(f);  // those not in place
      return std::move(report_);
    }
    Summarise();
    report_.ok = true;
    return std::move(report_);
  }

 private:
  bool Refuse(TextId id, std::initializer_list<std::string> args = {}) {
    report_.error = Say(id, lang_, args);
    return false;
  }

  bool CheckOptions() {
    if (q_.sections < 1 || q_.sections > 50) return Refuse(TextId::BadSections, {std::to_string(q_.sections)});
    if (q_.markType < 0 || q_.markType > 9) return Refuse(TextId::BadMarkType, {std::to_string(q_.markType)});
    const double markReach = std::max(q_.sizes.circle / 2, 2 * q_.sizes.line);
    if (!(q_.marginMm > markReach && q_.marginMm <= kMaxMarginMm))
      return Refuse(TextId::BadMargin, {Mm(q_.marginMm), Mm(markReach)});
    if (q_.cut.mode == CutMode::Outline && !(q_.cut.outlineMm > 0 && q_.cut.outlineMm <= kMaxMarginMm))
      return Refuse(TextId::BadOutline, {Mm(q_.cut.outlineMm)});
    if (q_.code && (*q_.code < 0 || *q_.code > kMaxCodeNumber))
      return Refuse(TextId::BadCode, {std::to_string(*q_.code)});
    return true;
  }

  bool Import() {
    if (!ReadWholeFile(q_.designPath, source_)) return Refuse(TextId::CannotRead, {q_.designPath});
    ImportOptions options;
    if (q_.cut.mode == CutMode::Id) options.cutId = q_.cut.id;
    ImportResult r = ImportDesign(source_, options);
    switch (r.error) {
      case ImportError::None: break;
      case ImportError::BrokenSvg: return Refuse(TextId::BrokenSvg, {q_.designPath, r.detail});
      case ImportError::UnknownFormat: return Refuse(TextId::UnknownFormat, {q_.designPath});
      case ImportError::CompressedSvg: return Refuse(TextId::CompressedSvg, {q_.designPath});
    }
    design_ = std::move(r.design);
    if (const auto box = BoundsOf(design_.points); box && !Fits(*box)) return false;
    if (!design_.points.empty() && !BoundsOf(design_.points))  // not finite
      return Refuse(TextId::TooLarge, {"?", "?"});
    return true;
  }

  bool Fits(const Box& box) {
    if (box.Width() <= kMaxSideMm && box.Height() <= kMaxSideMm) return true;
    return Refuse(TextId::TooLarge, {Mm(box.Width()), Mm(box.Height())});
  }

  bool ChooseCut() {
    if (q_.cut.mode == CutMode::Id && !design_.cutIdFound) return Refuse(TextId::NoSuchId, {q_.cut.id, q_.designPath});
    cut_ = SelectCut(design_, q_.cut);
    const std::optional<Box> box = BoundsOf(cut_.points);
    if (box) {
      if (!Fits(*box)) return false;
      job_ = MakeCutJob(cut_, *box);
    }
    if (job_.paths.empty()) {
      if (q_.cut.mode == CutMode::Stroke && !design_.paths.empty())
        return Refuse(TextId::NoStrokeMatch, {q_.designPath, q_.cutStrokeText});
      if (design_.paths.empty() && design_.textCount > 0)
        return Refuse(TextId::TextOnly, {q_.designPath, std::to_string(design_.textCount)});
      return Refuse(TextId::NothingToCut, {q_.designPath});
    }
    return true;
  }

  bool PlaceMarks() {
    MarkValues& v = report_.marks;
    v.spanX = job_.spanX;
    v.spanY = job_.spanY;
    v.margin = static_cast<int32_t>(q_.marginMm * kUnitsPerMm);  // truncated, as Plotsend converts millimetres
    v.type = static_cast<uint8_t>(q_.markType);
    v.sections = static_cast<uint8_t>(q_.sections);
    marks_ = LayoutMarks(v, q_.sizes);
    return true;
  }

  // Before the sheet is rendered: the directory is made, and a pending job
  // refused early.
  bool CheckWorkDir() { return Outcome(CheckWorkDirectory(q_.workDir, q_.replace)); }

  // The work directory is held from here until the job is written, so no
  // Plotsend reads or clears it meanwhile; one that runs already refuses.
  // Where no lock can be taken, the job is written unguarded, as Plotsend
  // then runs.
  bool LockWorkDir() {
    lock_ = std::make_unique<plotara::WorkLock>(q_.workDir);
    switch (lock_->GetState()) {
      case plotara::WorkLock::State::Held: break;
      case plotara::WorkLock::State::Busy: return Refuse(TextId::HeldByPlotsend, {q_.workDir});
      case plotara::WorkLock::State::Failed:
        report_.warnings.push_back(Say(TextId::WarnNoLock, lang_, {q_.workDir, lock_->Error()}));
        break;
    }
    return true;
  }

  bool Outcome(const WriteResult& r) {
    switch (r.outcome) {
      case WriteOutcome::Written: return true;
      case WriteOutcome::JobPending: return Refuse(TextId::JobPending, {q_.workDir});
      case WriteOutcome::NoDirectory: return Refuse(TextId::NoWorkDir, {q_.workDir});
      case WriteOutcome::WriteFailed: return Refuse(TextId::CannotWrite, {r.detail});
    }
    return false;
  }

  bool PrepareSheet() {
    if (q_.sheetName.empty()) return true;
    SheetInput in;
    in.design = &design_;
    in.svgSource = design_.kind == DesignKind::Svg ? &source_ : nullptr;
    in.job = &job_;
    in.marks = &marks_;
    in.sizes = q_.sizes;
    in.page = q_.page;
    std::optional<Sheet> sheet = MakeSheet(in);
    if (!sheet) {
      const SheetInput fitted{in.design, in.svgSource, in.job, in.marks, in.sizes, std::nullopt};
      const std::optional<Sheet> need = MakeSheet(fitted);
      return Refuse(TextId::PageTooSmall, {Mm(need ? need->width - 2 * kSheetBorderMm : 0),
                                           Mm(need ? need->height - 2 * kSheetBorderMm : 0), q_.pageText});
    }
    sheet_ = std::move(sheet);
    return true;
  }

  // The sheet's files are written aside, and put in place once the job is
  // written: a refused job leaves a sheet of the same name as it was.
  bool WriteSheet() {
    if (!sheet_) return true;
    std::string base = q_.sheetName;
    if (base.size() > 4 && base.ends_with(".svg")) base.resize(base.size() - 4);
    const std::string svg = base + ".svg";
    if (!WriteAside(svg, sheet_->svg)) return Refuse(TextId::CannotWrite, {svg});
    sheetFiles_.push_back(svg);
    const std::string layout = base + kLayoutSuffix;
    if (!WriteAside(layout, SheetLayoutText(job_, cut_, report_.marks, marks_)))
      return Refuse(TextId::CannotWrite, {layout});
    sheetFiles_.push_back(layout);
    if (!renderer_.Available()) {
      report_.warnings.push_back(Say(TextId::WarnNoRenderer, lang_, {svg}));
      return true;
    }
    const std::string pdf = base + ".pdf", png = base + ".png";
    if (q_.progress) q_.progress(Say(TextId::Rendering, lang_, {pdf, png}));
    sheetFiles_.push_back(pdf);
    if (!renderer_.RenderPdf(*sheet_, AsideName(pdf))) return Refuse(TextId::CannotWrite, {pdf});
    sheetFiles_.push_back(png);
    if (!renderer_.RenderPng(*sheet_, job_, AsideName(png))) return Refuse(TextId::CannotWrite, {png});
    return true;
  }

  bool PlaceSheet() {
    for (size_t i = 0; i < sheetFiles_.size(); ++i) {
      if (PutInPlace(sheetFiles_[i])) continue;
      const std::string failed = sheetFiles_[i];
      sheetFiles_.erase(sheetFiles_.begin(), sheetFiles_.begin() + static_cast<std::ptrdiff_t>(i + 1));
      return Refuse(TextId::CannotWrite, {failed});
    }
    return true;
  }

  bool WriteJob() {
    std::vector<WorkFile> files;
    files.push_back({kMarkRefName, MarkRefText(report_.marks)});
    files.push_back({kCodeInfoName, CodeInfoText(q_.code ? 1 : 0)});
    if (q_.code) files.push_back({kCodeNumberName, CodeNumberText(static_cast<int32_t>(*q_.code))});
    files.push_back({kJobPltName, KavrenPltText(job_)});
    const WriteResult r = WriteWorkFiles(q_.workDir, files, q_.replace);  // checked again under the lock
    if (r.outcome != WriteOutcome::Written) return Outcome(r);
    for (const WorkFile& f : files) jobFiles_.push_back(q_.workDir + f.name);
    return true;
  }

  void Summarise() {
    const MarkValues& v = report_.marks;
    const std::optional<Box> dbox = BoundsOf(design_.points);
    report_.lines.push_back(Say(TextId::SummaryDesign, lang_,
                                {q_.designPath, Mm(dbox ? dbox->Width() : 0), Mm(dbox ? dbox->Height() : 0),
                                 std::to_string(design_.paths.size())}));
    report_.lines.push_back(Say(TextId::SummaryCut, lang_,
                                {std::to_string(job_.paths.size()), Mm(job_.box.Width()), Mm(job_.box.Height()),
                                 Mm(job_.cutLengthMm), Mm(job_.travelMm)}));
    report_.lines.push_back(Say(TextId::SummaryMarks, lang_,
                                {std::to_string(v.type), Mm(v.margin / kUnitsPerMm), std::to_string(v.spanX),
                                 std::to_string(v.spanY), std::to_string(v.sections)}));
    for (const std::string& f : jobFiles_) report_.lines.push_back(Say(TextId::SummaryWrote, lang_, {f}));
    for (const std::string& f : sheetFiles_) report_.lines.push_back(Say(TextId::SummaryWrote, lang_, {f}));
    for (const Warning& w : design_.warnings) {
      switch (w.id) {
        case ImportWarning::TextNotCut:
          report_.warnings.push_back(Say(TextId::WarnTextNotCut, lang_, {std::to_string(w.count)}));
          break;
        case ImportWarning::UnsupportedElement:
          report_.warnings.push_back(Say(TextId::WarnElements, lang_, {w.detail}));
          break;
        case ImportWarning::UnsupportedCommand:
          report_.warnings.push_back(Say(TextId::WarnCommands, lang_, {w.detail}));
          break;
      }
    }
  }

  const JobRequest& q_;
  SheetRenderer& renderer_;
  Language lang_;
  JobReport report_;
  std::string source_;
  Design design_;
  Polylines cut_;
  CutJob job_;
  std::vector<Mark> marks_;
  std::optional<Sheet> sheet_;
  std::vector<std::string> sheetFiles_, jobFiles_;
  std::unique_ptr<plotara::WorkLock> lock_;
};

}  // namespace

JobReport MakeJob(const JobRequest& request, SheetRenderer& renderer, Language language) {
  return Run(request, renderer, language).Go();
}

}  // namespace plotmark
