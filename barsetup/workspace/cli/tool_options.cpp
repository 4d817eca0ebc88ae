#include "workspace/cli/tool_options.h"

#include "workspace/toolbar_variant.h"

namespace barsetup {

const char kToolUsage[] =
    "usage: barsetup-xml add|remove [--q5] --version N [--name TOOLBARNAME] FILE\n"
    "  add     put the toolbar into the UI configuration FILE\n"
    "  remove  take it out again (--version may be left out)\n"
    "  --q5    the Q5 toolbar instead of the standard one\n"
    "  --version N  the CorelDRAW version the file belongs to, 12 to 22\n"
    "  --name TOOLBARNAME  the toolbar's caption (default KV)\n";

namespace {

// A version number: decimal digits only, 12 to 22.
bool ParseVersion(const std::string& text, int* version) {
  if (text.empty() || text.size() > 2) return false;
  int v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  if (v < kFirstVersion || v > kLastVersion) return false;
  *version = v;
  return true;
}

}  // namespace

bool ParseToolOptions(const std::vector<std::string>& args, ToolOptions* o, std::string* error) {
  *o = {};
  auto fail = [&](std::string message) {
    *error = std::move(message);
    return false;
  };
  bool modeGiven = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      o->help = true;
      return true;
    }
    if (a == "--q5") {
      o->q5 = true;
    } else if (a == "--version" || a == "--name") {
      if (i + 1 >= args.size()) return fail(a + " needs a value");
      const std::string& value = args[++i];
      if (a == "--name") {
        if (value.empty()) return fail("--name needs a non-empty toolbar name");
        o->name = value;
        o->nameGiven = true;
      } else if (!ParseVersion(value, &o->version)) {
        return fail("--version must be a CorelDRAW version from 12 to 22, not \"" + value + "\"");
      }
    } else if (a.size() > 1 && a[0] == '-') {
      return fail("unknown option " + a);
    } else if (!modeGiven) {
      if (a != "add" && a != "remove") return fail("the first word must be add or remove, not \"" + a + "\"");
      o->add = a == "add";
      modeGiven = true;
    } else if (o->file.empty()) {
      o->file = a;
    } else {
      return fail("only one FILE, not also \"" + a + "\"");
    }
  }
  if (!modeGiven) return fail("add or remove is missing");
  if (o->file.empty()) return fail("FILE is missing");
  if (o->add && o->version == 0) return fail("add needs --version N");
  if (!o->add && o->nameGiven) return fail("--name applies to add only");
  if (!o->nameGiven) o->name = std::string(kDefaultToolbarName);
  return true;
}

}  // namespace barsetup
