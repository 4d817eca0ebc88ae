#pragma once
// Every text Plotsend shows, in English and in Chinese (UTF-8).
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "job/mark_ref.h"

namespace plotsend {

enum class Language { English, Chinese };

enum class TextId {
  SaveFinished,
  SaveFailed,
  NoOutputFile,
  NoJob,
  OutputIsWorkFile,
  JobUnreadable,
  MarkRefUnreadable,
  NoCuttingMoves,
  PortClosed,
  OpenPortFail,
  OpenUsbPortFail,
  WifiLogOnOk,
  WifiLogOnFail,
  OriginPrompt,
  HeapAllocFailed,
  TcpDisconnect,
  SendFailed,
  JobNotCompletelySent,
  CommandFileUnreadable,
  OpenFileFailed,
  MaxSectionNumbers,
  OpenMarkRefFailed,
  MarkRefTooLong,
  SettingsOutOfRange,
  SettingsNotSaved,
  FieldOutOfRange,
  SendCancelled,
  SendCancelledJobRemoved,
  JobAlreadyHandled,
  JobChanged,
  JobReplacedKept,
  DrawingUses,
  DrawingBarePen,
  DrawingDecimals,
  DrawingOutOfRange,
  DrawingTooLarge,
  CutOrderSummary,
  PortNoPermission,
  WorkFilesUnwritten,
};

const std::string& Text(TextId id, Language language);
// The text with its "%s" places filled by `values`, in order.
std::string TextWith(TextId id, Language language, std::initializer_list<std::string_view> values);
// The text of a message the job layer raises.
TextId TextOf(JobMessage message);

// A control of the main dialog and its text in one language.
struct ControlText {
  int id;
  const char* text;
};
// The main dialog's control texts in `language`; controls not listed keep
// their template texts ("mm", "X:", "Y:", "IP:").
std::span<const ControlText> ControlTexts(Language language);
// The main dialog's title: "Plotara  6.27".
std::string DialogTitle();

// Chinese when the system default language identifier is 2052, else English.
constexpr Language LanguageFromLangId(unsigned langId) {
  return langId == 2052 ? Language::Chinese : Language::English;
}

}  // namespace plotsend
