// The main window's dialog data: the controls fetched into the logic's
// fields and the fields put back into the controls.
#include "app/win/main_dialog.h"

#include <commctrl.h>

#include <limits>
#include <optional>

#include "app/control_ids.h"
#include "app/settings.h"
#include "app/texts.h"
#include "app/win/field_text.h"

namespace plotsend::win32 {
namespace {

// The values the edits of settings may hold; nothing for other controls.
std::optional<SettingRange> RangeOfEdit(int id) {
  switch (id) {
    case control::kOffsetVal:
    case control::kCloseVal: return kCompensationRange;
    case kOriginOffsetX:
    case kOriginOffsetY: return kOriginOffsetRange;
    case control::kDashLine:
    case control::kDashGap: return kDashRange;
    case control::kTcpPort: return kTcpPortRange;
    default: return std::nullopt;
  }
}

}  // namespace

int MainDialog::Fetch() {
  DialogFields& fields = dlg_.Fields();
  Settings& s = fields.settings;
  int bad = 0;
  // A disabled edit cannot be corrected: its field keeps its value and the
  // put shows that value again.
  const auto reject = [this, &bad](int id) {
    if (bad == 0 && IsWindowEnabled(Control(id))) bad = id;
  };
  // A number outside the field's range is refused like a text that is none.
  const auto real = [this, &reject](int id, double& field) {
    const auto value = ParseRealField(ControlText(id));
    if (value && RangeOfEdit(id)->Contains(*value)) field = *value;
    else reject(id);
  };
  const auto section = [this, &reject](int id, uint8_t& field) {
    if (const auto value = ParseSectionField(ControlText(id))) field = *value;
    else reject(id);
  };

  s.IsOffset = IsChecked(control::kIsOffset) ? 1 : 0;
  real(control::kOffsetVal, s.OffsetVal);
  s.IsClose = IsChecked(control::kIsClose) ? 1 : 0;
  real(control::kCloseVal, s.CloseVal);
  real(kOriginOffsetX, s.OriginOffsetX);
  real(kOriginOffsetY, s.OriginOffsetY);

  DWORD address = 0;
  SendControl(control::kIpAddress, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
  s.IP_FIELD = {static_cast<uint8_t>(FIRST_IPADDRESS(address)), static_cast<uint8_t>(SECOND_IPADDRESS(address)),
                static_cast<uint8_t>(THIRD_IPADDRESS(address)), static_cast<uint8_t>(FOURTH_IPADDRESS(address))};
  const auto port = ParseIntegerField(ControlText(control::kTcpPort), static_cast<int64_t>(kTcpPortRange.minimum),
                                      static_cast<int64_t>(kTcpPortRange.maximum));
  if (port) s.IP_PORT = static_cast<int32_t>(*port);
  else reject(control::kTcpPort);

  s.IsDashedLine = IsChecked(control::kIsDashedLine) ? 1 : 0;
  real(control::kDashLine, s.DashedLineLineLen);
  real(control::kDashGap, s.DashedLineGapLen);
  s.SortPaths = IsChecked(control::kSortPaths) ? 1 : 0;

  // The section edits are checked against the job only once it is ready
  // (OnSectionChanged); until then the range stays the one the preparation
  // started with.
  if (dlg_.JobReady()) {
    section(control::kFrom, fields.From);
    section(control::kTo, fields.To);
  }
  return bad;
}

void MainDialog::Put(int keep) {
  const DialogFields& fields = dlg_.Fields();
  const Settings& s = fields.settings;
  putting_ = true;
  SetChecked(control::kIsOffset, s.IsOffset != 0);
  PutReal(control::kOffsetVal, s.OffsetVal, keep);
  SetChecked(control::kIsClose, s.IsClose != 0);
  PutReal(control::kCloseVal, s.CloseVal, keep);
  PutReal(kOriginOffsetX, s.OriginOffsetX, keep);
  PutReal(kOriginOffsetY, s.OriginOffsetY, keep);
  SendControl(control::kIpAddress, IPM_SETADDRESS, 0,
              static_cast<LPARAM>(MAKEIPADDRESS(s.IP_FIELD[0], s.IP_FIELD[1], s.IP_FIELD[2], s.IP_FIELD[3])));
  PutInteger(control::kTcpPort, s.IP_PORT, keep);
  SetChecked(control::kIsDashedLine, s.IsDashedLine != 0);
  PutReal(control::kDashLine, s.DashedLineLineLen, keep);
  PutReal(control::kDashGap, s.DashedLineGapLen, keep);
  SetChecked(control::kSortPaths, s.SortPaths != 0);
  PutInteger(control::kFrom, fields.From, keep);
  PutInteger(control::kTo, fields.To, keep);
  putting_ = false;
}

// A text that already stands for the value stays as the user wrote it
// ("0.350"), and the caret of an edit being typed in does not move.
void MainDialog::PutReal(int id, double value, int keep) {
  if (id == keep) return;
  const auto shown = ParseRealField(ControlText(id));
  if (!shown || *shown != value) SetControlText(id, FormatRealField(value));
}

void MainDialog::PutInteger(int id, int64_t value, int keep) {
  if (id == keep) return;
  const auto shown =
      ParseIntegerField(ControlText(id), std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max());
  if (!shown || *shown != value) SetControlText(id, std::to_string(value));
}

void MainDialog::RejectInput(int id) {
  MessageBeep(MB_ICONWARNING);
  // A number outside the field's range: the status field says which range.
  const auto range = RangeOfEdit(id);
  const auto value = ParseRealField(ControlText(id));
  if (range && value && !range->Contains(*value)) {
    SetStatusText(Text(TextId::FieldOutOfRange, dlg_.GetLanguage()) + ": " + DescribeRange(*range));
  }
  HWND control = Control(id);
  if (control == nullptr) return;
  SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
  SendMessageW(control, EM_SETSEL, 0, -1);
}

}  // namespace plotsend::win32
