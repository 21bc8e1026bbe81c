#include "uJobRecord.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <ctime>
#include <map>

#include "list/uPathNames.h"
#include "system/uFilesystemPath.h"
#include "system/uSystem.h"
#include "system/uUtf8.h"
#include "uHostMessages.h"
#include "uHostPlatform.h"

namespace host {

namespace {

const char FirstLine[] = "quorvane-run record 1";
const char16_t RecordEnding[] = u".rec";
const char16_t UndoneEnding[] = u".undone";
const char16_t TemporaryEnding[] = u".tmp";
const char* const KindNames[] = {"job", "undo", "redo"};

bool EndsWith(const std::u16string& AText, const std::u16string& AEnd) {
  return AText.size() > AEnd.size() &&
         AText.compare(AText.size() - AEnd.size(), AEnd.size(), AEnd) == 0;
}

bool IsSurrogate(char16_t C) {
  return C >= 0xD800 && C <= 0xDFFF;
}

// A name on one line of its own field: TAB, the line ends and '%' as %XX, a surrogate
// without its partner (which UTF-8 cannot carry) as %uXXXX.
void AppendEscaped(std::string& AOut, std::u16string_view AName) {
  static const char Hex[] = "0123456789ABCDEF";
  for (size_t i = 0; i < AName.size(); ++i) {
    const char16_t c = AName[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < AName.size() && AName[i + 1] >= 0xDC00 &&
        AName[i + 1] <= 0xDFFF) {
      AppendUtf8(AOut, 0x10000 + ((uint32_t(c) - 0xD800) << 10) + (AName[i + 1] - 0xDC00));
      ++i;
    } else if (IsSurrogate(c)) {
      AOut += "%u";
      for (int shift = 12; shift >= 0; shift -= 4)
        AOut += Hex[(c >> shift) & 0xF];
    } else if (c == u'%' || c == u'\t' || c == u'\n' || c == u'\r') {
      AOut += '%';
      AOut += Hex[c >> 4];
      AOut += Hex[c & 0xF];
    } else if (c < 0x80) {
      AOut += char(c);
    } else {
      AppendUtf8(AOut, c);
    }
  }
}

// A name's hash for the tables below (FNV-1a over its code units).
uint32_t NameHash(std::u16string_view AName) {
  uint32_t hash = 2166136261u;
  for (char16_t c : AName)
    hash = (hash ^ c) * 16777619u;
  return hash;
}

int HexDigit(char16_t C) {
  if (C >= u'0' && C <= u'9') return C - u'0';
  if (C >= u'A' && C <= u'F') return C - u'A' + 10;
  if (C >= u'a' && C <= u'f') return C - u'a' + 10;
  return -1;
}

// The name of a field as AppendEscaped wrote it; false for a field it cannot have written.
bool Unescape(std::string_view AField, std::u16string& AName) {
  AName = Utf8ToUtf16(AField);
  if (AName.find(u'%') == std::u16string::npos) return true;
  std::u16string name;
  for (size_t i = 0; i < AName.size(); ++i) {
    if (AName[i] != u'%') {
      name += AName[i];
      continue;
    }
    const bool wide = i + 1 < AName.size() && AName[i + 1] == u'u';
    const size_t digits = wide ? 4 : 2, start = i + (wide ? 2 : 1);
    if (start + digits > AName.size()) return false;
    unsigned value = 0;
    for (size_t k = start; k < start + digits; ++k) {
      const int digit = HexDigit(AName[k]);
      if (digit < 0) return false;
      value = value * 16 + unsigned(digit);
    }
    name += char16_t(value);
    i = start + digits - 1;
  }
  AName = std::move(name);
  return true;
}

std::vector<std::string_view> Fields(std::string_view ALine) {
  std::vector<std::string_view> fields;
  for (size_t start = 0;;) {
    const size_t tab = ALine.find('\t', start);
    fields.push_back(ALine.substr(start, tab == std::string_view::npos ? tab : tab - start));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}

bool Number(std::string_view AText, uint64_t& AValue) {
  if (AText.empty() || AText.size() > 20) return false;
  AValue = 0;
  for (char c : AText) {
    if (c < '0' || c > '9') return false;
    AValue = AValue * 10 + uint64_t(c - '0');
  }
  return true;
}

void AppendIdentity(std::string& AOut, const win::FILE_IDENTITY& AIdentity) {
  char number[24];
  for (const uint64_t value : {AIdentity.Volume, AIdentity.Index}) {
    AOut += '\t';
    AOut.append(number, std::to_chars(number, number + sizeof(number), value).ptr);
  }
  AOut += '\t';
}

bool ReadIdentity(std::string_view AVolume, std::string_view AIndex,
                  win::FILE_IDENTITY& AIdentity) {
  return Number(AVolume, AIdentity.Volume) && Number(AIndex, AIdentity.Index);
}

std::u16string FileOf(const std::u16string& AFolder, const std::u16string& AName,
                      const char16_t* AEnding) {
  return AFolder + PathDelimiter + AName + AEnding;
}

std::u16string Failure(THostText AText, const std::u16string& AWhat, win::DWORD AError) {
  return Say(AText, {VisiblePath(AWhat), ErrorText(AError)});
}

// The bytes of AFile: all of them, or (AHead) at least those up to the line of the moves'
// count.
bool ReadBytes(const std::u16string& AFile, bool AHead, std::string& ABytes,
               std::u16string& AError) {
  const win::HANDLE file = win::CreateFileW(AFile.c_str(), win::GENERIC_READ, win::FILE_SHARE_READ,
                                            nullptr, win::OPEN_EXISTING, 0, nullptr);
  if (file == win::InvalidHandleValue()) {
    AError = Failure(htCannotReadRecord, AFile, win::GetLastError());
    return false;
  }
  ABytes.clear();
  char buffer[65536];
  win::DWORD read = 0;
  bool ok = true;
  while ((ok = win::ReadFile(file, buffer, sizeof(buffer), &read, nullptr) != 0) && read > 0) {
    ABytes.append(buffer, read);
    if (AHead && ABytes.find("\nmoves\t") != std::string::npos &&
        ABytes.find('\n', ABytes.find("\nmoves\t") + 1) != std::string::npos)
      break;
  }
  const win::DWORD error = win::GetLastError();
  win::CloseHandle(file);
  if (!ok) AError = Failure(htCannotReadRecord, AFile, error);
  return ok;
}

// Reads the record's lines into ARecord: its head, and with AHead false its moves and
// folders too.
bool Parse(const std::string& ABytes, bool AHead, TJobRecord& ARecord) {
  size_t start = 0, count = 0;
  std::u16string old;
  for (size_t end; start < ABytes.size(); start = end + 1, ++count) {
    end = ABytes.find('\n', start);
    if (end == std::string::npos) return AHead && count > 0;
    const std::string_view line(ABytes.data() + start, end - start);
    if (count == 0) {
      if (line != FirstLine) return false;
      continue;
    }
    const std::vector<std::string_view> f = Fields(line);
    uint64_t number = 0;
    if ((f[0] == "move" || f[0] == "movedir") && f.size() == 5) {
      if (AHead) return true;
      TRecordedMove move;
      if (!ReadIdentity(f[1], f[2], move.Identity) || !Unescape(f[3], move.Old) ||
          !Unescape(f[4], move.New))
        return false;
      move.Identity.Directory = f[0] == "movedir";
      ARecord.Moves.push_back(std::move(move));
    } else if (f[0] == "folder" && f.size() == 4) {
      if (AHead) return true;
      TRecordedFolder folder;
      if (!ReadIdentity(f[1], f[2], folder.Identity) || !Unescape(f[3], folder.Path)) return false;
      ARecord.Folders.push_back(std::move(folder));
    } else if (f[0] == "kind" && f.size() == 2) {
      const auto kind = std::find(std::begin(KindNames), std::end(KindNames), f[1]);
      if (kind == std::end(KindNames)) return false;
      ARecord.Kind = TRecordKind(kind - std::begin(KindNames));
    } else if (f[0] == "time" && f.size() == 2 && Number(f[1], number)) {
      ARecord.Time = int64_t(number);
    } else if (f[0] == "dir" && f.size() == 2) {
      if (!Unescape(f[1], ARecord.Directory)) return false;
    } else if (f[0] == "undoes" && f.size() == 2) {
      ARecord.Undoes = Utf8ToUtf16(f[1]);
    } else if (f[0] == "moves" && f.size() == 2 && Number(f[1], number)) {
      ARecord.MoveCount = size_t(number);
      if (AHead) return true;
    } else {
      return false;
    }
  }
  return !AHead && ARecord.Moves.size() == ARecord.MoveCount && !ARecord.Directory.empty();
}

// The folder of the records, made when AMake; empty with AError set when there is none.
std::u16string RecordFolder(bool AMake, std::u16string& AError) {
  const std::u16string folder = StateFolder();
  if (folder.empty()) {
    AError = Say(htNoStateFolder);
    return {};
  }
  std::string error;
  if (AMake && !MakePrivateFolder(folder, error)) {
    AError = Say(htCannotKeepRecordIn, {VisiblePath(folder), Utf8ToUtf16(error)});
    return {};
  }
  return folder;
}

// The names of the records in AFolder (without their endings), newest first, each with
// whether it is undone.
bool RecordNames(const std::u16string& AFolder,
                 std::vector<std::pair<std::u16string, bool>>& ANames, std::u16string& AError) {
  ANames.clear();
  if (win::GetFileAttributesW(AFolder.c_str()) == win::INVALID_FILE_ATTRIBUTES) return true;
  uint64_t volume = 0;
  std::string error;
  const bool listed = ListDirectory(
      AFolder,
      [&](const std::u16string& AName, bool AFolderEntry, bool, uint64_t) {
        if (AFolderEntry) return;
        for (const std::u16string ending : {RecordEnding, UndoneEnding})
          if (EndsWith(AName, ending))
            ANames.emplace_back(AName.substr(0, AName.size() - ending.size()),
                                ending == UndoneEnding);
      },
      volume, error);
  if (!listed) {
    AError = Say(htCannotReadRecords, {VisiblePath(AFolder), Utf8ToUtf16(error)});
    return false;
  }
  std::sort(ANames.begin(), ANames.end(),
            [](const auto& A, const auto& B) { return A.first > B.first; });
  return true;
}

// Deletes the oldest records beyond RecordsKept.
void Prune(const std::u16string& AFolder) {
  std::vector<std::pair<std::u16string, bool>> names;
  std::u16string error;
  if (!RecordNames(AFolder, names, error)) return;
  for (size_t i = RecordsKept; i < names.size(); ++i)
    win::DeleteFileW(
        FileOf(AFolder, names[i].first, names[i].second ? UndoneEnding : RecordEnding).c_str());
}

// Writes ABytes to the new file AFile; false with AError and ACode set, and nothing left
// behind, when that fails.
bool WriteNewFile(const std::u16string& AFile, const std::string& ABytes, std::u16string& AError,
                  win::DWORD& ACode) {
  const win::HANDLE file = win::CreateFileW(AFile.c_str(), win::GENERIC_WRITE, 0, nullptr,
                                            win::CREATE_NEW, win::FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == win::InvalidHandleValue()) {
    ACode = win::GetLastError();
    AError = Failure(htCannotKeepRecord, AFile, ACode);
    return false;
  }
  bool ok = true;
  for (size_t done = 0; ok && done < ABytes.size();) {
    win::DWORD written = 0;
    const win::DWORD chunk = win::DWORD(std::min<size_t>(ABytes.size() - done, 1 << 20));
    ok = win::WriteFile(file, ABytes.data() + done, chunk, &written, nullptr) && written > 0;
    done += written;
  }
  const win::DWORD error = win::GetLastError();
  ok = win::CloseHandle(file) && ok;
  if (!ok) {
    ACode = error;
    AError = Failure(htCannotKeepRecord, AFile, error);
    win::DeleteFileW(AFile.c_str());
  }
  return ok;
}

// A record's name from its time: sorts as the times do, one a microsecond.
std::u16string NameOf(std::chrono::system_clock::time_point ATime) {
  const auto micro =
      std::chrono::duration_cast<std::chrono::microseconds>(ATime.time_since_epoch()).count();
  const std::time_t seconds = std::time_t(micro / 1000000);
  char text[40];
  const std::tm* utc = std::gmtime(&seconds);
  if (!utc || std::strftime(text, sizeof(text), "%Y%m%d-%H%M%S", utc) == 0) text[0] = 0;
  const std::string digits = std::to_string(1000000 + micro % 1000000).substr(1);
  return Utf8ToUtf16(std::string(text) + "-" + digits);
}

} // namespace

std::vector<win::FILE_IDENTITY> IdentitiesIn(const std::u16string& AFolder,
                                             const std::vector<std::u16string_view>& ANames) {
  std::vector<win::FILE_IDENTITY> identities(ANames.size());
  std::vector<bool> found(ANames.size(), false);
  bool listed = false;
  if (ListingTellsIndex) {
    // The names in an open table by their hashes (half full at most), so that the
    // listing finds each at once, without a copy of it.
    size_t size = 16;
    while (size < ANames.size() * 2)
      size *= 2;
    const size_t mask = size - 1;
    constexpr uint32_t none = UINT32_MAX;
    std::vector<std::pair<uint32_t, uint32_t>> table(size, {0, none});
    for (size_t i = 0; i < ANames.size(); ++i) {
      const uint32_t h = NameHash(ANames[i]);
      size_t slot = h & mask;
      while (table[slot].second != none)
        slot = (slot + 1) & mask;
      table[slot] = {h, uint32_t(i)};
    }
    uint64_t volume = 0;
    std::string error;
    listed = ListDirectory(
        AFolder,
        [&](const std::u16string& AName, bool AFolderEntry, bool, uint64_t AIndex) {
          const uint32_t h = NameHash(AName);
          for (size_t slot = h & mask; table[slot].second != none; slot = (slot + 1) & mask) {
            const size_t i = table[slot].second;
            if (table[slot].first != h || ANames[i] != AName || AIndex == 0) continue;
            identities[i] = {volume, AIndex, 0, AFolderEntry ? 1u : 0u, 0};
            found[i] = true;
          }
        },
        volume, error);
    listed = listed && volume != 0;
    // A listing that tells another index than the system does one by one (a file system
    // that makes its indexes up) is not taken.
    const auto first = std::find(found.begin(), found.end(), true);
    if (first != found.end()) {
      const size_t i = size_t(first - found.begin());
      win::FILE_IDENTITY own;
      if (!win::GetFileIdentity((AFolder + std::u16string(ANames[i])).c_str(), 0, &own) ||
          own != identities[i]) {
        std::fill(found.begin(), found.end(), false);
        listed = false;
      }
    }
  }
  // A name that a listing did not find names nothing.
  for (size_t i = 0; i < ANames.size() && !listed; ++i) {
    if (found[i]) continue;
    const std::u16string path = AFolder + std::u16string(ANames[i]);
    if (!win::GetFileIdentity(path.c_str(), 0, &identities[i])) identities[i] = {};
  }
  return identities;
}

std::vector<win::FILE_IDENTITY> IdentitiesOf(const std::vector<std::u16string>& APaths) {
  std::vector<win::FILE_IDENTITY> identities(APaths.size());
  // The paths by folder.
  std::map<std::u16string_view, std::vector<size_t>> folders;
  for (size_t i = 0; i < APaths.size(); ++i) {
    size_t end = APaths[i].size();
    while (end > 0 && !IsPathDelimiter(APaths[i][end - 1]))
      --end;
    folders[std::u16string_view(APaths[i]).substr(0, end)].push_back(i);
  }
  for (const auto& [folder, paths] : folders) {
    std::vector<std::u16string_view> names;
    for (size_t i : paths)
      names.push_back(std::u16string_view(APaths[i]).substr(folder.size()));
    const std::vector<win::FILE_IDENTITY> found = IdentitiesIn(std::u16string(folder), names);
    for (size_t k = 0; k < paths.size(); ++k)
      identities[paths[k]] = found[k];
  }
  return identities;
}

std::u16string TJobRecord::FullPath(const std::u16string& AName) const {
  if (U16ToPath(AName).is_absolute()) return AName;
  std::u16string path = Directory;
  if (path.empty() || !IsPathDelimiter(path.back())) path += PathDelimiter;
  return path + AName;
}

bool ListRecords(std::vector<TJobRecord>& ARecords, std::u16string& AError) {
  ARecords.clear();
  const std::u16string folder = RecordFolder(false, AError);
  std::vector<std::pair<std::u16string, bool>> names;
  if (folder.empty() || !RecordNames(folder, names, AError)) return false;
  std::string bytes;
  for (const auto& [name, undone] : names) {
    TJobRecord record;
    record.Name = name;
    record.Undone = undone;
    const std::u16string file = FileOf(folder, name, undone ? UndoneEnding : RecordEnding);
    if (!ReadBytes(file, true, bytes, AError)) return false;
    // One that is not a record (of a later version, say) is passed over.
    if (Parse(bytes, true, record)) ARecords.push_back(std::move(record));
  }
  return true;
}

bool ReadRecord(TJobRecord& ARecord, std::u16string& AError) {
  const std::u16string folder = RecordFolder(false, AError);
  if (folder.empty()) return false;
  const std::u16string file =
      FileOf(folder, ARecord.Name, ARecord.Undone ? UndoneEnding : RecordEnding);
  std::string bytes;
  if (!ReadBytes(file, false, bytes, AError)) return false;
  ARecord.Moves.clear();
  ARecord.Folders.clear();
  if (Parse(bytes, false, ARecord)) return true;
  AError = Say(htBadRecord, {VisiblePath(file)});
  return false;
}

bool MarkUndone(TJobRecord& ARecord, std::u16string& AError) {
  if (ARecord.Undone) return true;
  const std::u16string folder = RecordFolder(false, AError);
  if (folder.empty()) return false;
  const std::u16string from = FileOf(folder, ARecord.Name, RecordEnding);
  if (!win::MoveFileW(from.c_str(), FileOf(folder, ARecord.Name, UndoneEnding).c_str())) {
    AError = Failure(htCannotKeepRecord, from, win::GetLastError());
    return false;
  }
  ARecord.Undone = true;
  return true;
}

TJobRecorder::TJobRecorder(const std::u16string& ADirectory)
    : fDirectory(ADirectory), fTime(std::chrono::duration_cast<std::chrono::seconds>(
                                        std::chrono::system_clock::now().time_since_epoch())
                                        .count()) {
  if (fDirectory.empty() || !IsPathDelimiter(fDirectory.back())) fDirectory += PathDelimiter;
}

void TJobRecorder::Undoes(const TJobRecord& ARecord, TRecordKind AKind) {
  fKind = AKind;
  fUndoes = ARecord.Name;
}

std::u16string_view TJobRecorder::OldName(size_t AMove) const {
  return std::u16string_view(fNames).substr(fMoves[AMove].Old,
                                            fMoves[AMove].New - fMoves[AMove].Old);
}

std::u16string_view TJobRecorder::NewName(size_t AMove) const {
  return std::u16string_view(fNames).substr(fMoves[AMove].New,
                                            fMoves[AMove].End - fMoves[AMove].New);
}

bool TJobRecorder::IsBelow(const std::u16string& APath) const {
  // The job's paths start with the directory as it is spelled here: compared as text
  // first, as the file system tells names apart only where that differs.
  return APath.size() > fDirectory.size() &&
         (std::u16string_view(APath).substr(0, fDirectory.size()) == fDirectory ||
          IsAtOrBelow(APath, fDirectory));
}

bool TJobRecorder::AppendName(const std::u16string& APath) {
  const bool below = IsBelow(APath);
  if (below)
    fNames.append(APath, fDirectory.size());
  else
    fNames += APath;
  return below;
}

size_t TJobRecorder::PendingSlot(uint32_t AHash, std::u16string_view AName) const {
  const size_t mask = fPending.size() - 1;
  for (size_t slot = AHash & mask;; slot = (slot + 1) & mask) {
    const TPending& pending = fPending[slot];
    if (pending.Move == NoMove) return slot;
    if (pending.Hash == AHash && pending.Move != Gone && NewName(pending.Move) == AName)
      return slot;
  }
}

void TJobRecorder::Moved(const std::u16string& AFrom, const std::u16string& ATo) {
  TMove move;
  move.Old = fNames.size();
  AppendName(AFrom);
  move.New = fNames.size();
  const bool below = AppendName(ATo);
  move.End = fNames.size();
  fMoves.push_back(move);
  const size_t index = fMoves.size() - 1;
  const std::u16string_view oldName = OldName(index), newName = NewName(index);

  // A move from a name that an earlier move gave its file: in a swap, shift or cycle the
  // file that waited for this move under a free name, and that file keeps the name (an
  // earlier line's name is never overwritten); else the file of the earlier move itself.
  const uint32_t oldHash = NameHash(oldName);
  if (fPendingCount > 0 &&
      fGiven[(oldHash >> 6) & (fGiven.size() - 1)] & (uint64_t(1) << (oldHash & 63))) {
    TPending& pending = fPending[PendingSlot(oldHash, oldName)];
    if (pending.Move != NoMove) {
      win::FILE_IDENTITY& earlier = fMoves[pending.Move].Identity;
      if (!win::GetFileIdentity(AFrom.c_str(), 0, &earlier) &&
          !win::GetFileIdentity(ATo.c_str(), 0, &earlier))
        earlier = {};
      pending.Move = Gone;
      --fPendingCount;
    }
  }
  // The file is looked up where it is, now or when the job is done: a name in the directory
  // itself once for all, where the system tells names apart by their text alone.
  const bool inDirectory = ListingTellsIndex && below && fMoves.size() < NoMove &&
                           std::none_of(newName.begin(), newName.end(), IsPathDelimiter);
  if (inDirectory && (fPendingUsed + 1) * 2 > fPending.size()) {
    // Made anew before it is half full, without the gone ones.
    std::vector<TPending> slots(std::max<size_t>(1024, fPendingCount * 4));
    slots.swap(fPending);
    fPendingCount = 0;
    for (const TPending& pending : slots)
      if (pending.Move != NoMove && pending.Move != Gone) {
        fPending[PendingSlot(pending.Hash, NewName(pending.Move))] = pending;
        ++fPendingCount;
      }
    fPendingUsed = fPendingCount;
  }
  const uint32_t newHash = inDirectory ? NameHash(newName) : 0;
  const size_t slot = inDirectory ? PendingSlot(newHash, newName) : 0;
  if (inDirectory && fPending[slot].Move == NoMove) {
    fPending[slot] = {newHash, uint32_t(index)};
    fGiven[(newHash >> 6) & (fGiven.size() - 1)] |= uint64_t(1) << (newHash & 63);
    ++fPendingCount;
    ++fPendingUsed;
  } else if (!win::GetFileIdentity(ATo.c_str(), 0, &fMoves[index].Identity)) {
    fMoves[index].Identity = {};
  }
}

void TJobRecorder::LookUpPending() {
  std::vector<std::u16string_view> names;
  std::vector<size_t> moves;
  for (const TPending& pending : fPending)
    if (pending.Move != NoMove && pending.Move != Gone) {
      names.push_back(NewName(pending.Move));
      moves.push_back(pending.Move);
    }
  fPending.clear();
  fPendingCount = fPendingUsed = 0;
  if (names.empty()) return;
  const std::vector<win::FILE_IDENTITY> identities = IdentitiesIn(fDirectory, names);
  for (size_t i = 0; i < moves.size(); ++i)
    fMoves[moves[i]].Identity = identities[i];
}

void TJobRecorder::FoldersStayed(const std::vector<TRecordedFolder>& AFolders) {
  for (const TRecordedFolder& folder : AFolders) {
    const size_t start = fNames.size();
    AppendName(folder.Path);
    fFolders.push_back({folder.Identity, fNames.substr(start)});
    fNames.resize(start);
  }
}

bool TJobRecorder::Save(std::u16string& AError) {
  if (fMoves.empty() || fMoves.size() == fSavedMoves) return true;
  LookUpPending();
  const std::u16string folder = RecordFolder(true, AError);
  if (folder.empty()) return false;
  std::string bytes = std::string(FirstLine) + "\nkind\t" + KindNames[fKind] + "\ntime\t" +
                      std::to_string(fTime) + "\ndir\t";
  std::u16string directory = fDirectory;
  if (directory.size() > 1 && U16ToPath(directory).has_relative_path()) directory.pop_back();
  AppendEscaped(bytes, directory);
  if (!fUndoes.empty()) bytes += "\nundoes\t" + Utf16ToUtf8(fUndoes);
  bytes += "\nmoves\t" + std::to_string(fMoves.size()) + "\n";
  bytes.reserve(bytes.size() + fMoves.size() * 64);
  for (const TRecordedFolder& made : fFolders) {
    bytes += "folder";
    AppendIdentity(bytes, made.Identity);
    AppendEscaped(bytes, made.Path);
    bytes += '\n';
  }
  for (size_t i = 0; i < fMoves.size(); ++i) {
    bytes += fMoves[i].Identity.Directory ? "movedir" : "move";
    AppendIdentity(bytes, fMoves[i].Identity);
    AppendEscaped(bytes, OldName(i));
    bytes += '\t';
    AppendEscaped(bytes, NewName(i));
    bytes += '\n';
  }
  // A name of its own, taken by no other record: the time of the first save, moved on by a
  // microsecond while it is taken.
  std::u16string name = fName;
  auto time = std::chrono::system_clock::now();
  for (int tries = 0;; ++tries) {
    if (name.empty()) name = NameOf(time);
    const std::u16string temporary = FileOf(folder, name, TemporaryEnding);
    const std::u16string file = FileOf(folder, name, RecordEnding);
    win::DWORD error = 0;
    const bool taken =
        fName.empty() && (FileExists(file) || FileExists(FileOf(folder, name, UndoneEnding)));
    if (!taken && WriteNewFile(temporary, bytes, AError, error)) {
      if (!fName.empty()) win::DeleteFileW(file.c_str());
      if (win::MoveFileW(temporary.c_str(), file.c_str())) break;
      error = win::GetLastError();
      AError = Failure(htCannotKeepRecord, file, error);
      win::DeleteFileW(temporary.c_str());
    }
    const bool clash =
        taken || error == win::ERROR_ALREADY_EXISTS || error == win::ERROR_FILE_EXISTS;
    if (!fName.empty() || !clash || tries == 100) return false;
    name.clear();
    time += std::chrono::microseconds(1);
  }
  fName = name;
  fSavedMoves = fMoves.size();
  Prune(folder);
  return true;
}

std::u16string TJobRecorder::UndoHint() const {
  if (!Saved()) return {};
  return Say(fKind == rkUndo ? htRedoHint : htUndoHint) + u"\n";
}

} // namespace host
