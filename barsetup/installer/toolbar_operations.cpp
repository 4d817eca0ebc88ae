#include "installer/toolbar_operations.h"

#include <memory>
#include <utility>

#include "workspace/toolbar_file.h"

namespace barsetup {
namespace {

// A file without a UI configuration, or whose configuration holds none of the
// places the toolbar goes to (an empty, truncated or foreign file), takes no
// toolbar: the pass changes nothing and says so.
bool HoldsNoConfiguration(const ToolbarChanges& changes) {
  constexpr unsigned kAllPlaces = kNoFrame | kNoCommandBars | kNoItems;
  return (changes.missing & kNoUiConfig) != 0 || (changes.missing & kAllPlaces) == kAllPlaces;
}

std::string Failure(const PassResult& result) {
  if (result.status == PassStatus::kUnchanged && HoldsNoConfiguration(result.changes)) {
    return "the file holds no CorelDRAW workspace configuration";
  }
  if (result.ok()) return {};
  std::string text(PassStatusText(result.status));
  if (!result.detail.empty()) text += ": " + result.detail;
  return text;
}

const ToolbarVariant& Variant(bool q5) { return q5 ? Q5Variant() : StandardVariant(); }

}  // namespace

ToolbarOperations WorkspaceToolbarOperations(FileSystemPort& files, PathMapper mapper) {
  auto shared = std::make_shared<PathMapper>(std::move(mapper));
  // The file to edit, or empty with *failure set (a missing file is no failure).
  auto target = [&files, shared](const std::string& path, std::string* failure) {
    std::string mapped;
    if (!files.Exists(path)) return mapped;
    if (!(*shared)(path, &mapped)) *failure = "the path cannot be reached";
    return mapped;
  };
  ToolbarOperations ops;
  ops.add = [target](const std::string& path, int version, bool q5, const std::string& name) {
    std::string failure;
    const std::string file = target(path, &failure);
    return file.empty() ? failure : Failure(AddToolbarFile(file, Variant(q5), version, name));
  };
  ops.remove = [target](const std::string& path, int, bool q5, const std::string&) {
    std::string failure;
    const std::string file = target(path, &failure);
    return file.empty() ? failure : Failure(RemoveToolbarFile(file, Variant(q5)));
  };
  return ops;
}

}  // namespace barsetup
