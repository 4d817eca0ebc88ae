// Sibling links of the element index: elements added and taken out by edits.
#include "element_index.h"

namespace barsetup {

void ElementIndex::Link(int32_t parent, int32_t r, int32_t sibling, bool before) {
  if (sibling == 0 && before) sibling = (*this)[parent].firstChild;
  if (sibling == 0) {
    AppendChild(parent, r);
  } else if (before) {
    InsertBefore(parent, sibling, r);
  } else {
    InsertAfter(parent, sibling, r);
  }
}

void ElementIndex::InsertAfter(int32_t parent, int32_t sibling, int32_t r) {
  ElementRecord& rec = (*this)[r];
  const int32_t next = (*this)[sibling].next;
  rec.prev = sibling;
  rec.next = next;
  // The first child's prev names the last one.
  (*this)[next != 0 ? next : (*this)[parent].firstChild].prev = r;
  (*this)[sibling].next = r;
}

void ElementIndex::InsertBefore(int32_t parent, int32_t sibling, int32_t r) {
  ElementRecord& rec = (*this)[r];
  ElementRecord& at = (*this)[sibling];
  rec.next = sibling;
  rec.prev = at.prev;
  if ((at.flags & kElementFirstChild) != 0) {
    at.flags &= ~kElementFirstChild;
    rec.flags |= kElementFirstChild;
    (*this)[parent].firstChild = r;
  } else {
    (*this)[at.prev].next = r;
  }
  at.prev = r;
}

int32_t ElementIndex::Unlink(int32_t r) {
  const ElementRecord& rec = (*this)[r];
  ElementRecord& parent = (*this)[rec.parent];
  if ((rec.flags & kElementFirstChild) != 0) {
    parent.firstChild = rec.next;
    if (rec.next != 0) {
      (*this)[rec.next].flags |= kElementFirstChild;
      (*this)[rec.next].prev = rec.prev;
    }
    return 0;
  }
  (*this)[rec.prev].next = rec.next;
  (*this)[rec.next != 0 ? rec.next : parent.firstChild].prev = rec.prev;
  return rec.prev;
}

}  // namespace barsetup
