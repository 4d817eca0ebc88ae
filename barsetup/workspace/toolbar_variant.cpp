#include "workspace/toolbar_variant.h"

namespace barsetup {
namespace {

constexpr ToolbarVariant kStandard{
    "standard",
    "8aaf09fd-3c88-4981-bc92-5e5f9996b4af",
    "190",
    "328",
    "30",
    false,
    &ItemGuidsStandard,
    {{
        {"Kavren.AddHandMark.AddHandMark", "AddHandMark", "c1226ae4-cb43-4ced-b6da-e422c9deb4b8", &kAddHandMarkSmall,
         &kAddHandMarkLarge},
        {"Kavren.AddAutoMark.AddAutoMark", "AddAutoMark", "abdb2475-4dab-4f5c-a0f3-aa2b2185f49e", &kAddAutoMarkSmall,
         &kAddAutoMarkLarge},
        {"Kavren.AddCircleMark.AddCircleMark", "AddCircleMark", "c1226ae4-cb43-4ced-b6da-e422c9deb4b9",
         &kAddCircleMarkSmall, nullptr},
        {"Kavren.DeleteMark.DeleteMark", "Delete Mark", "f590adcf-1ee8-4a56-bca9-b110aa92caa4", &kDeleteMarkSmall,
         nullptr},
        {"Kavren.Output.Output", "Output", "4d8c3ba6-21b9-4a77-83c9-6140dea2a554", &kOutputSmall, &kOutputLarge},
        {"Kavren.OutputOutline.OutputOutline", "OutputOutline", "8fb721e4-554e-4a18-9a42-ad7bbcc5f2a6",
         &kOutputOutlineSmall, &kOutputOutlineLarge},
    }},
};

constexpr ToolbarVariant kQ5{
    "Q5",
    "585ad85e-9f89-475e-b7d5-cac7ac977c70",
    "118",
    "256",
    "32767",
    true,
    &ItemGuidsQ5,
    {{
        {"Q5.AddBoundaryLine.AddBoundaryLine", "AddBoundaryLine", "abdb2475-4dab-4f5c-a0f3-aa2b2185f493",
         &kAddBoundaryLineSmall, nullptr},
        {"Q5.AddFourLMark2.AddFourLMark2", "AddFourLMark2", "c1226ae4-cb43-4ced-b6da-e422c9deb4b3",
         &kAddFourLMark2Small, nullptr},
        {"Q5.AddCircleMarkQ5.AddCircleMarkQ5", "AddCircleMarkQ5", "c1226ae4-cb43-4ced-b6da-e422c9deb4b4",
         &kAddCircleMarkQ5Small, nullptr},
        {"Q5.DeleteMarkQ5.DeleteMarkQ5", "Delete Mark", "f590adcf-1ee8-4a56-bca9-b110aa92caa4", &kDeleteMarkSmall,
         nullptr},
        {"Q5.OutputQ5.OutputQ5", "Output", "4d8c3ba6-21b9-4a77-83c9-6140dea2a554", &kOutputSmall, nullptr},
        {"Q5.OutputOutline.OutputOutline", "OutputOutline", "8fb721e4-554e-4a18-9a42-ad7bbcc5f2a6",
         &kOutputOutlineSmall, nullptr},
    }},
};

}  // namespace

const ToolbarVariant& StandardVariant() { return kStandard; }
const ToolbarVariant& Q5Variant() { return kQ5; }

}  // namespace barsetup
