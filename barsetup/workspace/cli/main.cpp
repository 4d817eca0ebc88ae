// barsetup-xml: one toolbar addition or removal on one CorelDRAW UI
// configuration file, with a report of what it changed.
#include <cstdio>
#include <string>
#include <vector>

#include "workspace/cli/tool_options.h"
#include "workspace/toolbar_file.h"
#include "workspace/toolbar_variant.h"

using namespace barsetup;

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  ToolOptions options;
  std::string error;
  if (!ParseToolOptions(args, &options, &error)) {
    std::fprintf(stderr, "barsetup-xml: %s\n%s", error.c_str(), kToolUsage);
    return 2;
  }
  if (options.help) {
    std::fputs(kToolUsage, stdout);
    return 0;
  }
  const ToolbarVariant& variant = options.q5 ? Q5Variant() : StandardVariant();
  const PassResult r = options.add ? AddToolbarFile(options.file, variant, options.version, options.name)
                                   : RemoveToolbarFile(options.file, variant);
  if (!r.ok()) {
    std::string why(PassStatusText(r.status));
    if (!r.detail.empty()) why += " (" + r.detail + ")";
    std::fprintf(stderr, "barsetup-xml: %s: %s\n", options.file.c_str(), why.c_str());
    return 1;
  }
  if (options.add) {
    std::printf("%s: add the %.*s toolbar \"%s\" for version %d\n", options.file.c_str(),
                static_cast<int>(variant.name.size()), variant.name.data(), options.name.c_str(), options.version);
  } else {
    std::printf("%s: remove the %.*s toolbar\n", options.file.c_str(), static_cast<int>(variant.name.size()),
                variant.name.data());
  }
  std::fputs(DescribeChanges(r.changes).c_str(), stdout);
  std::printf("%.*s\n", static_cast<int>(PassStatusText(r.status).size()), PassStatusText(r.status).data());
  return 0;
}
