// One toolbar pass over one UI configuration file: load, edit, save. A pass
// that fails leaves the file as it was.
#pragma once

#include <string>
#include <string_view>

#include "workspace/toolbar_changes.h"
#include "workspace/toolbar_variant.h"

namespace barsetup {

enum class PassStatus {
  kSaved,        // changed and written back
  kUnchanged,    // nothing to change: the file was not written
  kUnreadable,   // the file could not be read
  kLossyText,    // the file's text could not be read without loss
  kEditRefused,  // an edit was refused part way
  kSaveFailed,   // writing failed; the file is as it was
};

struct PassResult {
  PassStatus status = PassStatus::kUnchanged;
  ToolbarChanges changes;
  std::string detail;  // the system's text of a file error, when there is one

  bool ok() const { return status == PassStatus::kSaved || status == PassStatus::kUnchanged; }
};

PassResult AddToolbarFile(const std::string& path, const ToolbarVariant& variant, int version,
                          std::string_view toolbarName);
PassResult RemoveToolbarFile(const std::string& path, const ToolbarVariant& variant);

// What a status means, for messages.
std::string_view PassStatusText(PassStatus status);

}  // namespace barsetup
