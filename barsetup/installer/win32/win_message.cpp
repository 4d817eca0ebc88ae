#include "installer/win32/win_message.h"

#include "installer/win32/win_api.h"

#include "common/win32/wide_text.h"

namespace barsetup {

using plotara::ToWideForDisplay;

void WinMessage::Show(const std::string& text, MessageStyle style) {
  const UINT flags =
      style == MessageStyle::Result ? MB_OK | MB_ICONEXCLAMATION | MB_SYSTEMMODAL : MB_OK | MB_ICONINFORMATION;
  MessageBoxW(nullptr, ToWideForDisplay(text).c_str(), ToWideForDisplay(title_).c_str(), flags);
}

bool WinMessage::AskRetry(const std::string& text) {
  return MessageBoxW(nullptr, ToWideForDisplay(text).c_str(), ToWideForDisplay(title_).c_str(),
                     MB_RETRYCANCEL | MB_ICONWARNING | MB_SYSTEMMODAL) == IDRETRY;
}

}  // namespace barsetup
