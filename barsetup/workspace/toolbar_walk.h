// Navigation shared by the toolbar addition and removal.
#pragma once

#include <string_view>

#include "workspace/toolbar_changes.h"
#include "workspace/toolbar_variant.h"
#include "xml/xml_document.h"

namespace barsetup {

// Position of guid in the variant's item GUID table, -1 when it is none of them.
int ButtonIndex(std::string_view guid, const ItemGuidTable& guids);

// From anywhere in the document into its top-level "uiConfig", nothing
// current there. False, noted in changes.missing, when there is none.
bool EnterUiConfig(CXmlDocument& doc, ToolbarChanges& changes);

// From the current host commandBarData into its "toolbar", else its
// "container", with nothing current. When it has neither, the host stays
// current and the result is false.
bool EnterToolbarBody(CXmlDocument& doc);

}  // namespace barsetup
