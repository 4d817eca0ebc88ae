// The parse: rebuilds the element index of a document from its text.
#include <string>
#include <unordered_map>
#include <vector>

#include "xml/markup_tokenizer.h"
#include "xml/result_log.h"
#include "xml/xml_document.h"

namespace barsetup {

struct OpenElement {
  int32_t record;
  uint32_t nameStart;
  uint32_t nameLength;
};

struct ParseState {
  std::string_view text;
  bool fold = false;
  std::vector<OpenElement> stack;
  int32_t parent = 0;
  // How many open elements carry each (ASCII-folded) name. Built only once
  // an end tag has missed the innermost element, so that runs of stray end
  // tags under deep nesting cost no stack walks.
  bool countsActive = false;
  std::unordered_map<std::string, uint32_t> openCounts;

  std::string_view Name(const OpenElement& e) const { return text.substr(e.nameStart, e.nameLength); }
  static std::string Key(std::string_view name) {
    std::string key(name);
    for (char& c : key) c = FoldAscii(c);
    return key;
  }
  void Push(const OpenElement& e) {
    stack.push_back(e);
    if (countsActive) ++openCounts[Key(Name(e))];
  }
  void Pop() {
    if (countsActive) {
      auto it = openCounts.find(Key(Name(stack.back())));
      if (it != openCounts.end() && --it->second == 0) openCounts.erase(it);
    }
    stack.pop_back();
  }
  // Stack position of the innermost open element below the top with this
  // name, or -1.
  long FindBelowTop(std::string_view name) {
    if (stack.size() < 2) return -1;
    if (!countsActive) {
      countsActive = true;
      for (const OpenElement& e : stack) ++openCounts[Key(Name(e))];
    }
    if (openCounts.find(Key(name)) == openCounts.end()) return -1;
    for (size_t i = stack.size() - 1; i-- > 0;) {
      if (NamesEqual(Name(stack[i]), name, fold)) return static_cast<long>(i);
    }
    return -1;
  }
};

// Closes stack[from..top] as elements without end tags; their children
// become following siblings under the element below them (or the document).
void CXmlDocument::CloseUnended(size_t from, ParseState& state, uint32_t closingOffset) {
  auto& idx = index_;
  for (size_t i = state.stack.size(); i-- > from;) {
    const OpenElement& open = state.stack[i];
    ElementRecord& u = idx[open.record];
    u.flags |= kElementUnended;
    u.length = u.startTagLength;
    u.endTagLength = 0;
    ResultRecord("unended_start_tag")
        .Text("tagname", state.Name(open))
        .Number("offset", idx.Start(open.record))
        .Offset2(closingOffset)
        .AppendTo(result_);
  }
  idx[0].flags |= kDocumentNotWellFormed;
  // Each element of the stack is the last child of the one below it, so its
  // children can be linked in after it whole.
  for (size_t i = state.stack.size(); i-- > from;) {
    const int32_t u = state.stack[i].record;
    const int32_t c1 = idx[u].firstChild;
    if (c1 == 0) continue;
    const int32_t cLast = idx[c1].prev;
    const int32_t first = idx[idx[u].parent].firstChild;
    idx[u].next = c1;
    idx[c1].prev = u;
    idx[c1].flags &= ~kElementFirstChild;
    idx[first].prev = cLast;
    idx[u].firstChild = 0;
  }
  const int32_t target = from > 0 ? state.stack[from - 1].record : 0;
  const uint32_t depth = target != 0 ? idx[target].depth + 1 : 0;
  for (int32_t p = idx[state.stack[from].record].next; p != 0; p = idx[p].next) {
    idx[p].parent = target;
    idx[p].depth = depth;
  }
  while (state.stack.size() > from) state.Pop();
  state.parent = target;
}

bool CXmlDocument::ParseDocument() {
  const std::string& text = text_.Str();
  index_.Reset(text.size() / 64 + 8);
  deletedHead_ = 0;
  ClearPosition();
  if (text.empty()) return false;

  ParseState state;
  state.text = text;
  state.fold = (docFlags_ & kDocIgnoreCase) != 0;
  state.stack.reserve(7);
  auto& idx = index_;
  size_t pos = 0;
  for (;;) {
    const MarkupNode node = NextNode(text, pos, &result_);
    if (node.kind == kNodeEndOfText) break;
    pos = node.start + node.length;
    switch (node.kind) {
      case kNodeStartTag: {
        const int32_t r = idx.Add(static_cast<uint32_t>(node.start));
        const int32_t parent = state.parent;
        ElementRecord& rec = idx[r];
        rec.startTagLength = static_cast<uint32_t>(node.length);
        rec.length = rec.startTagLength;
        rec.depth = static_cast<uint32_t>(state.stack.size());
        rec.parent = parent;
        idx.AppendChild(parent, r);
        if (!node.emptyElement) {
          state.Push({r, static_cast<uint32_t>(node.nameStart), static_cast<uint32_t>(node.nameEnd - node.nameStart)});
          state.parent = r;
        }
        break;
      }
      case kNodeEndTag: {
        const std::string_view name = state.text.substr(node.nameStart, node.nameEnd - node.nameStart);
        long match = -1;
        if (!state.stack.empty() && NamesEqual(state.Name(state.stack.back()), name, state.fold)) {
          match = static_cast<long>(state.stack.size()) - 1;
        } else {
          match = state.FindBelowTop(name);
          if (match >= 0) {
            CloseUnended(static_cast<size_t>(match) + 1, state, static_cast<uint32_t>(node.start + 1));
          }
        }
        if (match < 0) {
          ResultRecord("lone_end_tag")
              .Text("tagname", name)
              .Number("offset", static_cast<int64_t>(node.start))
              .AppendTo(result_);
          idx[0].flags |= kDocumentNotWellFormed;
          idx[state.parent].flags |= kElementMarkupError;
          break;
        }
        const int32_t e = state.stack.back().record;
        ElementRecord& rec = idx[e];
        rec.length = static_cast<uint32_t>(pos - idx.Start(e));
        rec.endTagLength = static_cast<uint32_t>(node.length);
        state.Pop();
        state.parent = rec.parent;
        break;
      }
      case kNodeError:
        idx[0].flags |= kDocumentNotWellFormed;
        idx[state.parent].flags |= kElementMarkupError;
        break;
      default: break;
    }
  }
  if (!state.stack.empty()) CloseUnended(0, state, static_cast<uint32_t>(text.size()));

  idx[0].length = static_cast<uint32_t>(text.size());
  const int32_t root = idx[0].firstChild;
  if (root == 0) {
    ResultRecord("no_root_element").AppendTo(result_);
  } else if (idx[root].next != 0) {
    ResultRecord("root_has_sibling").AppendTo(result_);
  }
  ClearPosition();
  return (idx[0].flags & kDocumentNotWellFormed) == 0 && root != 0 && idx[root].next == 0;
}

}  // namespace barsetup
