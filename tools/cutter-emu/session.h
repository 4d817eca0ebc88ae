#pragma once
// Receiving jobs over one link after another: feeds the bytes of each
// connection to a fresh decoder, cuts the stream into jobs at '@', keeps
// the limits a test asked for, and writes the decoded listing.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "cutter-emu/event_log.h"
#include "cutter-emu/job_record.h"
#include "cutter-emu/stream_decoder.h"

namespace cutter_emu {

// Sees what a session decodes, besides the listing.
class JobObserver {
 public:
  virtual ~JobObserver() = default;
  // Every event, its moves in the job's absolute coordinates.
  virtual void OnEvent(const StreamEvent& e) = 0;
  // After each piece of the stream has been decoded.
  virtual void AfterReceive() {}
  // A job ended; lines may be added to the listing after its summary.
  virtual void OnJobEnd(const JobRecord& job, std::string& listing) = 0;
};

struct Limits {
  std::optional<uint64_t> closeAfter;  // drop the connection after this many bytes
  std::optional<uint64_t> stallAfter;  // stop reading after this many bytes
};

class Session {
 public:
  enum class Next { Read, Drop, Stall, Done };

  Session(int jobs, Limits limits, EventLog& log);
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Every byte received from now on is also copied to `out`, as it came.
  void CopyRawTo(std::ostream& out) { raw_ = &out; }
  void Watch(JobObserver& observer) { observer_ = &observer; }

  void BeginConnection();
  Next State() const;
  // Bytes the next read may take, at most `buffer`.
  size_t Allowance(size_t buffer) const;
  void Receive(std::string_view bytes);
  // The connection ended for `why`. True when the run waits for another one:
  // the peer left between jobs.
  bool EndConnection(JobStatus why);
  // Nothing (more) arrived: the open job ends for `why`.
  void GiveUp(JobStatus why);

  bool Done() const { return done_; }
  bool JobOpen() const { return decoder_.Offset() > jobStart_; }
  uint64_t IgnoredBytes() const { return ignored_; }
  const std::vector<JobRecord>& Jobs() const { return jobs_; }
  bool AllComplete() const;

 private:
  void OnEvent(const StreamEvent& e);
  void FinishJob(JobStatus status, uint64_t endOffset);
  void StartJob(uint64_t offset);

  int wanted_;
  Limits limits_;
  EventLog& log_;
  StreamDecoder decoder_;
  JobRecorder recorder_;
  std::vector<JobRecord> jobs_;
  uint64_t received_ = 0;  // on this connection
  uint64_t jobStart_ = 0;  // decoder offset where the open job began
  uint64_t ignored_ = 0;   // bytes after the last wanted job
  bool done_ = false;
  std::ostream* raw_ = nullptr;
  JobObserver* observer_ = nullptr;
};

}  // namespace cutter_emu
