#pragma once
// Every text plotmark shows, in English and in Chinese (UTF-8). Texts take
// arguments %1 to %9.
#include <initializer_list>
#include <string>

namespace plotmark {

enum class Language { English, Chinese };

enum class TextId {
  Usage,
  CannotRead,
  UnknownFormat,
  CompressedSvg,
  BrokenSvg,
  NothingToCut,
  TextOnly,
  NoStrokeMatch,
  NoSuchId,
  TooLarge,
  BadSections,
  BadMarkType,
  BadMargin,
  BadOutline,
  BadCode,
  BadPage,
  PageTooSmall,
  JobPending,
  HeldByPlotsend,
  NoWorkDir,
  CannotWrite,
  StartFailed,
  StartUnavailable,
  WarnTextNotCut,
  WarnElements,
  WarnCommands,
  WarnNoRenderer,
  SummaryDesign,
  SummaryCut,
  SummaryMarks,
  SummaryWrote,
  SummaryWarning,
  SummaryStarted,
  OptNeedsDirectory,
  OptNeedsColour,
  OptNeedsId,
  OptNeedsMm,
  OptNeedsMarkType,
  OptNeedsNumber,
  OptNeedsFileName,
  OptOneCut,
  OptUnknown,
  OptTwoDesigns,
  OptNoDesign,
  StartOtherWorkDir,
  WarnNoLock,
  Rendering,
  Count_,
};

const std::string& TextOf(TextId id, Language language);

// The text with %1.. replaced by the arguments in order.
std::string Say(TextId id, Language language, std::initializer_list<std::string> args = {});

// Chinese for the system language 2052 (Windows) or a zh_CN locale.
Language SystemLanguage();

}  // namespace plotmark
