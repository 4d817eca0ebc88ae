// Adding the toolbar of one variant to a CorelDRAW UI configuration
// document, and removing it again, in a loaded CXmlDocument.
#pragma once

#include <string_view>

#include "workspace/toolbar_changes.h"
#include "workspace/toolbar_variant.h"
#include "xml/xml_document.h"

namespace barsetup {

// From this version on the toolbar body is "toolbar" (before: "container"
// with a width), and item definitions carry an icon instead of captions
// and pictures.
inline constexpr int kToolbarBodyVersion = 17;
inline constexpr int kItemIconVersion = 18;

// Adds the floating toolbar's commandBar, the six buttons and the trailing
// item at the front of the host toolbar, the toolbar's commandBarData and
// the six item definitions, each where a forward walk of the document finds
// its place. A piece already in the document (recognised by the variant's
// GUIDs) is not added again. Returns false when an edit was refused: the
// document is then partly edited and must not be saved.
bool AddToolbar(CXmlDocument& doc, const ToolbarVariant& variant, int version, std::string_view toolbarName,
                ToolbarChanges& changes);

// Removes what AddToolbar adds, recognised by the variant's GUIDs alone; a
// cmdBarLane that the addition created stays. Returns false when an edit
// was refused (the document must then not be saved).
bool RemoveToolbar(CXmlDocument& doc, const ToolbarVariant& variant, ToolbarChanges& changes);

}  // namespace barsetup
