#pragma once
// The first stage of job preparation: reads the macros' HPGL-style PLT,
// turns it a quarter turn into the cutter's axes and, for several sections,
// cuts it into bands along the feed axis. Writes the U/D dialect.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "job/drawing_findings.h"
#include "job/file_identity.h"
#include "job/mark_ref.h"
#include "job/point_record.h"

namespace plotsend {

class CPltMultiSection {
 public:
  explicit CPltMultiSection(Notify notify = {});
  CPltMultiSection(const CPltMultiSection&) = delete;
  CPltMultiSection& operator=(const CPltMultiSection&) = delete;

  // A new path forgets the identity of the source read before.
  void SetSourcePath(std::string path) {
    if (path != source_) sourceIdentity_.reset();
    source_ = std::move(path);
  }
  void SetSectionCount(int32_t count) { sections_ = count; }

  // Reads the source, transforms and writes outputPath. 1 on success; 0 when
  // nothing was written (more than 50 sections) or the output cannot be written.
  // `points`, when given, receives the points the reader reads back from
  // the output, so that nobody needs to read it again.
  int ProcessSections(const std::string& outputPath, PointRecord* points = nullptr);
  // Whether the last ProcessSections could read its source. When it could
  // not ("Open File Failed"), the output holds an empty job. The first read
  // fixes which file the source is: one that changes while it is read, or
  // is another file or version at a later read, is not read either (the
  // message then says the job changed).
  bool SourceRead() const { return sourceRead_; }
  // The identity of the source as it was first read; nothing before.
  const std::optional<FileIdentity>& SourceIdentity() const { return sourceIdentity_; }
  // What the last read source uses that the reader does not read as drawn.
  const DrawingFindings& Findings() const { return findings_; }
  // Whether the section count is one the stage cuts (at most 50); for more
  // ProcessSections only reports "Max Section Mumbers : 50 !".
  bool SectionCountAccepted() const;

  // The same transformation from text to text, without files. Returns false
  // (and leaves out empty) for more than 50 sections.
  bool Transform(std::string_view source, std::string& out, DrawingFindings* findings = nullptr) const;

 private:
  Notify notify_;
  std::string source_;
  int32_t sections_ = 1;
  bool sourceRead_ = false;
  std::optional<FileIdentity> sourceIdentity_;
  DrawingFindings findings_;
};

}  // namespace plotsend
