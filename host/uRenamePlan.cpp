#include "uRenamePlan.h"

#include <algorithm>
#include <initializer_list>

#include "farside/uFarModel.h"
#include "files/uStrings.h"
#include "list/uLinePaths.h"
#include "list/uListFormat.h"
#include "list/uPathNames.h"
#include "list/uWrittenList.h"
#include "messages/uMessages.h"
#include "system/uSystem.h"
#include "uHostMessages.h"
#include "uHostPlatform.h"

namespace host {

namespace {

// The summary names at most this many lines on standard error without -v.
constexpr size_t NamedLines = 5;

std::u16string MoveLine(const std::u16string& AOld, const std::u16string& ANew) {
  return EscapeControlCharacters(AOld) + u" -> " + EscapeControlCharacters(ANew);
}

} // namespace

TRenamePlan::TRenamePlan(const std::u16string& ADirectory, const TFarModel& AModel)
    : fDirectory(ADirectory), fModel(AModel) {
  if (fDirectory.empty() || fDirectory.back() != PathDelimiter) fDirectory += PathDelimiter;
  fReport.StructSize = sizeof(fReport);
  fReport.Context = this;
  fReport.LineDone = LineDone;
  fReport.FileKept = FileKept;
}

void TRenamePlan::NoteWritten(const std::u16string& AListFile) {
  TSavedList written;
  fWritten.clear();
  if (!LoadSavedList(AListFile, written)) return;
  for (const TListLine& line : written)
    if (line.Kind == lkEntry) fWritten.push_back(WrittenNameHash(line.Source));
  std::sort(fWritten.begin(), fWritten.end());
}

bool TRenamePlan::Read(const std::u16string& AListFile, const std::u16string& AHeader) {
  fHeader = AHeader;
  Forget();
  if (!LoadSavedList(AListFile, fLines)) return false;
  fOutcomes.assign(fLines.size(), NoOutcome);
  return true;
}

bool TRenamePlan::AllRenamed() const {
  for (uint8_t outcome : fOutcomes)
    if (outcome != NoOutcome && outcome != loRenamed) return false;
  return true;
}

void TRenamePlan::Forget() {
  std::fill(fOutcomes.begin(), fOutcomes.end(), NoOutcome);
  fErrors.clear();
  fKept.clear();
}

void FARAPI_CALL TRenamePlan::LineDone(void* AContext, size_t ALine, uint8_t AOutcome,
                                       uint32_t AError) {
  auto* plan = static_cast<TRenamePlan*>(AContext);
  if (AOutcome >= loOutcomeCount) return;
  if (plan->fListener) plan->fListener(ALine, TLineOutcome(AOutcome));
  // Kept only where the list was read (not with -q).
  if (ALine >= plan->fOutcomes.size()) return;
  plan->fOutcomes[ALine] = AOutcome;
  if (AError != 0) plan->fErrors[ALine] = AError;
}

void TRenamePlan::OnMakeFolder(std::function<bool(const std::u16string&)> AMaker) {
  fFolderMaker = std::move(AMaker);
  fReport.MakeFolder = fFolderMaker ? MakeFolder : nullptr;
}

intptr_t FARAPI_CALL TRenamePlan::MakeFolder(void* AContext, const char16_t* ADestination) {
  auto* plan = static_cast<TRenamePlan*>(AContext);
  return ADestination && plan->fFolderMaker && plan->fFolderMaker(ADestination) ? 1 : 0;
}

void TRenamePlan::OnMayChain(std::function<bool(size_t, const std::u16string&)> AChainer) {
  fChainer = std::move(AChainer);
  fReport.MayChain = fChainer ? MayChain : nullptr;
}

intptr_t FARAPI_CALL TRenamePlan::MayChain(void* AContext, size_t ALine,
                                           const char16_t* ADestination) {
  auto* plan = static_cast<TRenamePlan*>(AContext);
  return ADestination && plan->fChainer && plan->fChainer(ALine, ADestination) ? 1 : 0;
}

bool TRenamePlan::LinePaths(size_t ALine, TEntryPaths& APaths) const {
  return ALine < fLines.size() && GetEntryPaths(fLines[ALine], fDirectory, APaths);
}

void FARAPI_CALL TRenamePlan::FileKept(void* AContext, const char16_t* AWhere) {
  if (AWhere) static_cast<TRenamePlan*>(AContext)->fKept.emplace_back(AWhere);
}

std::u16string TRenamePlan::LineText(size_t AIndex) const {
  const TListLine line = fLines[AIndex];
  if (line.Named() && !line.Source.empty()) return MoveLine(line.Source, line.Destination);
  return Say(htLineNumber, {DecimalText(AIndex + 1)}) + u": " +
         EscapeControlCharacters(line.Named() ? line.Shown() : line.Text);
}

std::u16string
TRenamePlan::Warning(size_t AIndex, const TJudgement& AVerdict, bool AParents,
                     const std::function<bool(const std::u16string&)>& AOutside) const {
  const auto lineOf = [&](const char16_t* AText) {
    return ReplaceAll(AText, u"${LINE}", DecimalText(AVerdict.Other + 1));
  };
  // A line set aside is told in the words of the box that will name it.
  const auto boxLine = [&](TMessageId AMessage) {
    return ReplaceAll(ReplaceAll(fModel.Msg(AMessage), u"${LINE}", DecimalText(AIndex + 1)),
                      u"${TEXT}", fLines[AIndex].Shown());
  };
  TEntryPaths paths;
  switch (AVerdict.Verdict) {
  case vdNotRead:
    return boxLine(MUnreadLine);
  case vdHeaderChanged:
    return boxLine(MHeaderChangedLine);
  case vdNoSuchFile:
    return boxLine(MChangedSourceLine);
  case vdVanished:
    return Say(htWhyNoSuchFile);
  case vdNewNameIsFolder:
    return Say(htNewNameIsFolder);
  case vdTakenByOther:
    return fModel.Msg(MWhyNoLine);
  case vdTakenByLater:
    return lineOf(fModel.Msg(MWhyLaterLine).c_str());
  case vdSameNewName:
    return Say(htSameNewName, {DecimalText(AVerdict.Other + 1), LineText(AVerdict.Other)});
  case vdNoFolder: {
    GetEntryPaths(fLines[AIndex], fDirectory, paths);
    const std::u16string folder = VisiblePath(FolderPart(paths.Destination));
    if (!AParents) return Say(htNoFolder, {folder});
    return AOutside(FolderPart(paths.Destination)) ? Say(htNoFolderOutside, {folder})
                                                   : std::u16string();
  }
  default:
    return {};
  }
}

std::u16string TRenamePlan::Text(bool AParents,
                                 const std::function<bool(const std::u16string&)>& AOutside) {
  TWrittenList written{fHeader, fWritten};
  const std::vector<TJudgement> verdicts = JudgeLines(fLines, fDirectory, false, written, jdEvery);
  std::u16string text;
  fChanged = fSetAside = fWarned = 0;
  for (size_t i = 0; i < verdicts.size(); ++i) {
    if (verdicts[i].Verdict == vdNothing) continue;
    ++fChanged;
    std::u16string warning = Warning(i, verdicts[i], AParents, AOutside);
    if (fLines[i].Named()) {
      text += LineText(i) + u"\n";
    } else {
      // A line that is no longer an entry is shown as the box names it, then why.
      text += EscapeControlCharacters(warning) + u"\n";
      warning = Say(verdicts[i].Verdict == vdHeaderChanged ? htWhyHeaderChanged : htWhyNotRead);
    }
    if (warning.empty()) continue;
    ++fWarned;
    if (IsSetAside(verdicts[i].Verdict)) ++fSetAside;
    text += u"   ! " + EscapeControlCharacters(warning) + u"\n";
  }
  text += fChanged == 1 ? Say(htOneChangedLine) : Say(htChangedLines, {DecimalText(fChanged)});
  if (fWarned > 0) text += u"; " + Say(htWillNotGoThrough, {DecimalText(fWarned)});
  return text + u"\n";
}

std::u16string TRenamePlan::Why(size_t AIndex, TLineOutcome AOutcome) const {
  switch (AOutcome) {
  case loSkipped:
    return Say(htWhySkipped);
  case loFailed: {
    const auto error = fErrors.find(AIndex);
    return Say(htWhyFailed, {error == fErrors.end() ? std::u16string() : ErrorText(error->second)});
  }
  case loNotRead:
    return Say(htWhyNotRead);
  case loHeaderChanged:
    return Say(htWhyHeaderChanged);
  case loNoSuchFile:
  case loVanished:
    return Say(htWhyNoSuchFile);
  case loIsFolder:
    return Say(htNewNameIsFolder);
  case loFolderStayed:
    return Say(htWhyFolderStayed);
  case loCancelled:
  default:
    return Say(htWhyCancelled);
  }
}

void TRenamePlan::Summary(bool AVerbose, std::u16string& AOut, std::u16string& AErr) {
  // The summary's parts, each a count of lines of one or more outcomes, in this order:
  // they add up to the lines counted.
  static const struct {
    THostText Text;
    std::initializer_list<TLineOutcome> Outcomes;
  } Parts[] = {{htSkipped, {loSkipped}},
               {htFailed, {loFailed, loFolderStayed}},
               {htNotRead, {loNotRead, loHeaderChanged}},
               {htNoSuchFiles, {loNoSuchFile, loVanished}},
               {htOntoFolders, {loIsFolder}},
               {htCancelled, {loCancelled}}};
  size_t counts[loOutcomeCount] = {};
  size_t lines = 0, named = 0;
  for (size_t i = 0; i < fOutcomes.size(); ++i) {
    TLineOutcome outcome = TLineOutcome(fOutcomes[i]);
    if (fOutcomes[i] == NoOutcome) {
      if (!fLines[i].Renames()) continue;
      TEntryPaths paths;
      if (!GetEntryPaths(fLines[i], fDirectory, paths)) continue;
      outcome = loCancelled;
    }
    ++lines;
    ++counts[outcome];
    if (AVerbose) {
      AOut += LineText(i) + (outcome == loRenamed ? u"" : u": " + Why(i, outcome)) + u"\n";
    } else if (outcome != loRenamed && named++ < NamedLines) {
      AErr += u"  " + LineText(i) + u": " + Why(i, outcome) + u"\n";
    }
  }
  if (named > NamedLines)
    AErr += u"  " + Say(htMoreLines, {DecimalText(named - NamedLines)}) + u"\n";
  for (const std::u16string& kept : fKept)
    if (FileExists(kept))
      AErr += u"  " + Say(htLeftUnderFreeName, {VisiblePath(WithoutLongPathPrefix(kept))}) + u"\n";
  AErr += Say(htRenamedOf, {DecimalText(counts[loRenamed]), DecimalText(lines)});
  for (const auto& part : Parts) {
    size_t count = 0;
    for (TLineOutcome outcome : part.Outcomes)
      count += counts[outcome];
    if (count > 0) AErr += u"; " + Say(part.Text, {DecimalText(count)});
  }
  AErr += u"\n";
}

} // namespace host
