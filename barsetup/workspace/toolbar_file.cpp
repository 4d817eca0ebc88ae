#include "workspace/toolbar_file.h"

#include "workspace/toolbar_edit.h"
#include "xml/xml_document.h"

namespace barsetup {
namespace {

// Whether the result records of the last load or save hold a record of
// this name; *msg gets its "msg" attribute.
bool HasRecord(const std::string& records, std::string_view name, std::string* msg = nullptr) {
  CXmlDocument log;
  log.ParseText(records);
  if (!log.FindElement(name)) return false;
  if (msg != nullptr) *msg = log.GetAttribute("msg");
  return true;
}

// Loads path, runs the edit and saves when it changed something.
template <typename Edit>
PassResult RunPass(const std::string& path, Edit&& edit) {
  PassResult r;
  CXmlDocument doc;
  // A load that returns false may still have read a text that is not well
  // formed; that text is edited all the same. Only an unread file stops here.
  if (!doc.LoadFile(path) && HasRecord(doc.GetResult(), "file_error", &r.detail)) {
    r.status = PassStatus::kUnreadable;
    return r;
  }
  // Saving text that lost characters in the reading would write the loss
  // into the user's file.
  if (HasRecord(doc.GetResult(), "conversion_loss")) {
    r.status = PassStatus::kLossyText;
    return r;
  }
  if (!edit(doc, r.changes)) {
    r.status = PassStatus::kEditRefused;
    return r;
  }
  if (!r.changes.Changed()) {
    r.status = PassStatus::kUnchanged;
    return r;
  }
  if (!doc.SaveFile(path)) {
    HasRecord(doc.GetResult(), "file_error", &r.detail);
    r.status = PassStatus::kSaveFailed;
    return r;
  }
  r.status = PassStatus::kSaved;
  return r;
}

}  // namespace

PassResult AddToolbarFile(const std::string& path, const ToolbarVariant& variant, int version,
                          std::string_view toolbarName) {
  return RunPass(path, [&](CXmlDocument& doc, ToolbarChanges& changes) {
    return AddToolbar(doc, variant, version, toolbarName, changes);
  });
}

PassResult RemoveToolbarFile(const std::string& path, const ToolbarVariant& variant) {
  return RunPass(path,
                 [&](CXmlDocument& doc, ToolbarChanges& changes) { return RemoveToolbar(doc, variant, changes); });
}

std::string_view PassStatusText(PassStatus status) {
  switch (status) {
    case PassStatus::kSaved: return "saved";
    case PassStatus::kUnchanged: return "nothing changed, file not written";
    case PassStatus::kUnreadable: return "cannot read the file";
    case PassStatus::kLossyText: return "the file's text cannot be read without loss; file left as it was";
    case PassStatus::kEditRefused: return "an edit was refused; file left as it was";
    case PassStatus::kSaveFailed: return "cannot write the file; file left as it was";
  }
  return "";
}

}  // namespace barsetup
