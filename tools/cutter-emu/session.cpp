#include "cutter-emu/session.h"

#include <algorithm>

namespace cutter_emu {

Session::Session(int jobs, Limits limits, EventLog& log)
    : wanted_(jobs), limits_(limits), log_(log), decoder_([this](const StreamEvent& e) { OnEvent(e); }) {
  StartJob(0);
}

void Session::StartJob(uint64_t offset) {
  jobStart_ = offset;
  AppendJobLine(static_cast<int>(jobs_.size()) + 1, log_.Buffer());
}

void Session::BeginConnection() {
  decoder_ = StreamDecoder([this](const StreamEvent& e) { OnEvent(e); });
  received_ = 0;
  jobStart_ = 0;
}

Session::Next Session::State() const {
  if (done_) return Next::Done;
  if (limits_.closeAfter && received_ >= *limits_.closeAfter) return Next::Drop;
  if (limits_.stallAfter && received_ >= *limits_.stallAfter) return Next::Stall;
  return Next::Read;
}

size_t Session::Allowance(size_t buffer) const {
  uint64_t n = buffer;
  for (const auto& limit : {limits_.closeAfter, limits_.stallAfter}) {
    if (limit) n = std::min(n, *limit > received_ ? *limit - received_ : 0);
  }
  return static_cast<size_t>(n);
}

void Session::Receive(std::string_view bytes) {
  received_ += bytes.size();
  // Flushed as it comes, so that the file shows what has arrived so far.
  if (raw_ != nullptr) raw_->write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush();
  if (done_) {
    ignored_ += bytes.size();
    return;
  }
  decoder_.Feed(bytes);
  if (observer_ != nullptr) observer_->AfterReceive();
  log_.Flush();
  if (done_) ignored_ += decoder_.Offset() - jobStart_;
}

void Session::OnEvent(const StreamEvent& event) {
  if (done_) return;
  StreamEvent e = event;
  recorder_.OnEvent(e);
  AppendEventLine(e, log_.Buffer());
  if (observer_ != nullptr) observer_->OnEvent(e);
  if (e.kind == EventKind::End) FinishJob(JobStatus::Complete, e.offset + e.length);
}

void Session::FinishJob(JobStatus status, uint64_t endOffset) {
  recorder_.SetStatus(status);
  recorder_.SetBytes(endOffset - jobStart_);
  jobs_.push_back(recorder_.Take());
  AppendSummaryLine(jobs_.back(), log_.Buffer());
  if (observer_ != nullptr) observer_->OnJobEnd(jobs_.back(), log_.Buffer());
  if (status != JobStatus::Complete || static_cast<int>(jobs_.size()) >= wanted_) {
    done_ = true;
    jobStart_ = endOffset;  // what follows is counted as ignored
    return;
  }
  StartJob(endOffset);
}

bool Session::EndConnection(JobStatus why) {
  if (done_) return false;
  decoder_.Finish();
  if (done_) return false;
  if (why == JobStatus::Closed && !JobOpen()) return true;
  GiveUp(why);
  return false;
}

void Session::GiveUp(JobStatus why) {
  if (done_) return;
  FinishJob(why, decoder_.Offset());
}

bool Session::AllComplete() const {
  return static_cast<int>(jobs_.size()) == wanted_ &&
         std::all_of(jobs_.begin(), jobs_.end(), [](const JobRecord& j) { return j.status == JobStatus::Complete; });
}

}  // namespace cutter_emu
