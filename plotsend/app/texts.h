#pragma once
// Every text Plotsend shows, in English and in Chinese (UTF-8).
#include <string>

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
};

const std::string& Text(TextId id, Language language);

// Chinese when the system default language identifier is 2052, else English.
constexpr Language LanguageFromLangId(unsigned langId) {
  return langId == 2052 ? Language::Chinese : Language::English;
}

}  // namespace plotsend
