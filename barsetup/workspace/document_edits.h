// The edits of one toolbar pass, chained: the first refused edit ends the
// pass (ok() stays false and no later edit is tried), so that a document
// left half edited is known as such and is never saved.
#pragma once

#include <string_view>

#include "xml/xml_document.h"

namespace barsetup {

class DocumentEdits {
 public:
  explicit DocumentEdits(CXmlDocument& doc) : doc_(doc) {}

  bool ok() const { return ok_; }

  DocumentEdits& Add(std::string_view name, unsigned flags = 0) {
    ok_ = ok_ && doc_.AddElement(name, nullptr, flags);
    return *this;
  }
  DocumentEdits& Set(std::string_view attribute, std::string_view value) {
    ok_ = ok_ && doc_.SetAttribute(attribute, value);
    return *this;
  }
  DocumentEdits& Content(std::string_view text) {
    ok_ = ok_ && doc_.SetContent(text);
    return *this;
  }
  DocumentEdits& Remove() {
    ok_ = ok_ && doc_.RemoveElement();
    return *this;
  }
  DocumentEdits& Enter() {
    ok_ = ok_ && doc_.EnterElement();
    return *this;
  }
  DocumentEdits& Leave(int times = 1) {
    for (int i = 0; i < times; ++i) ok_ = ok_ && doc_.LeaveElement();
    return *this;
  }

 private:
  CXmlDocument& doc_;
  bool ok_ = true;
};

}  // namespace barsetup
