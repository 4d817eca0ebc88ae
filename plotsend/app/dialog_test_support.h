#pragma once
// Fakes for the main dialog's tests: a host that records what the dialog
// shows and answers its questions as told, and an in-memory profile.
#include <algorithm>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/dialog_host.h"
#include "app/profile_port.h"
#include "ui/intersect_alignment.h"

namespace plotsend {

// The alignment dialog's window: its texts and how it ended.
struct AlignmentWindow : AlignmentHost {
  void SetControlText(int id, const std::string& text) override { texts[id] = text; }
  void FillStepCombo(const std::string&, const std::string&, int) override {}
  void EndDialog(int result) override { ended = result; }
  std::map<int, std::string> texts;
  int ended = 0;
};

class FakeHost : public DialogHost {
 public:
  void MessageBox(const std::string& text, MessageKind kind) override {
    (kind == MessageKind::Error ? errors : infos).push_back(text);
  }
  void EnableControl(int id, bool enabled) override { enabledState[id] = enabled; }
  void SetStatusText(const std::string& text) override {
    {
      std::lock_guard lock(mutex);
      statusTexts.push_back(text);
    }
    if (onStatus) onStatus(text);
  }
  std::optional<std::string> ChooseSavePath(const std::string& proposedName) override {
    proposed = proposedName;
    return answer;
  }
  void EndDialog(int result) override { endResult = result; }
  void FillPortList(const std::vector<std::string>& entries, int selected) override {
    portList = entries;
    portSelected = selected;
  }
  void SetProgressRange(uint32_t range) override {
    std::lock_guard lock(mutex);
    progressRange = range;
    progressSteps = 0;
  }
  void StepProgress() override {
    std::lock_guard lock(mutex);
    ++progressSteps;
  }
  bool AskOkCancel(const std::string& text) override {
    questions.push_back(text);
    return answerOk;
  }
  // Runs `alignmentScript` on the dialog (by default: Ok on four marks).
  void RunAlignment(CIntersectAlignement& alignment) override {
    ++alignments;
    alignment.SetHost(alignmentWindow);
    alignment.OnInitDialog();
    if (alignmentScript) {
      alignmentScript(alignment);
    } else {
      for (int i = 0; i < 4; ++i) alignment.OnOk();
    }
  }
  void Pause(int milliseconds) override { pauses.push_back(milliseconds); }
  void ShowWaitAnimation(bool shown) override { waitAnimation.push_back(shown); }
  void PostDialogMessage(unsigned message) override {
    {
      std::lock_guard lock(mutex);
      messages.push_back(message);
    }
    posted.notify_one();
  }

  // The next posted message; nothing after 10 s.
  std::optional<unsigned> WaitMessage() {
    std::unique_lock lock(mutex);
    if (!posted.wait_for(lock, std::chrono::seconds(10), [this] { return !messages.empty(); })) return std::nullopt;
    const unsigned m = messages.front();
    messages.pop_front();
    return m;
  }
  std::vector<std::string> StatusTexts() {
    std::lock_guard lock(mutex);
    return statusTexts;
  }

  std::vector<std::string> infos, errors, statusTexts, questions, portList;
  std::map<int, bool> enabledState;
  AlignmentWindow alignmentWindow;
  std::optional<std::string> answer;
  std::string proposed;
  int endResult = 0;
  int portSelected = -1;
  uint32_t progressRange = 0;
  uint32_t progressSteps = 0;
  bool answerOk = true;
  int alignments = 0;
  std::function<void(CIntersectAlignement&)> alignmentScript;
  std::vector<int> pauses;
  // Called after every status text, on the thread that set it.
  std::function<void(const std::string&)> onStatus;
  std::vector<bool> waitAnimation;

  std::mutex mutex;  // the send thread reports while the test thread waits
  std::condition_variable posted;
  std::deque<unsigned> messages;
};

// An in-memory profile: case-insensitive section and key names.
class MapProfile : public ProfilePort {
 public:
  std::string Read(const std::string&, const std::string& section, const std::string& key, const std::string& fallback,
                   size_t capacity) override {
    auto it = values.find(Key(section, key));
    std::string value = it == values.end() ? fallback : it->second;
    return value.substr(0, capacity - 1);
  }
  bool Write(const std::string&, const std::string& section, const std::string& key,
             const std::string& value) override {
    if (failWrites) return false;
    values[Key(section, key)] = value;
    return true;
  }
  static std::string Key(std::string section, std::string key) {
    std::string k = section + "/" + key;
    std::transform(k.begin(), k.end(), k.begin(), [](unsigned char c) { return std::tolower(c); });
    return k;
  }
  std::map<std::string, std::string> values;
  bool failWrites = false;  // every write fails, as on a read-only file
};

}  // namespace plotsend
