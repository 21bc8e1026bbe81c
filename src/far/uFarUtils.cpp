#include "far/uFarUtils.h"

#include <algorithm>

#include "system/uSystem.h"

std::u16string TFarUtils::CopyLString(const char16_t* s, int32_t ALength) {
  if (!s || ALength <= 0) return std::u16string();
  return std::u16string(s, static_cast<size_t>(ALength));
}

std::u16string TFarUtils::CopyString(const char16_t* s) {
  if (!s) return std::u16string();
  return std::u16string(s);
}

std::u16string TFarUtils::CopyString(const TFarCharArray& s) {
  size_t n = 0;
  while (n < s.size() && s[n] != 0)
    ++n;
  return std::u16string(s.data(), n);
}

std::u16string TFarUtils::FullFileName(const std::u16string& s, bool /*ANTSchematics*/) {
  if (s.empty()) return std::u16string();
  const size_t n = farhost::ConvertPath(CPM_NATIVE, s.c_str(), nullptr, 0);
  if (n == 0) return std::u16string();
  std::u16string result(n, u'\0');
  const size_t m = farhost::ConvertPath(CPM_NATIVE, s.c_str(), result.data(), n);
  if (m == 0) return std::u16string();
  // m counts the terminating zero; a host that claims more than it was given is cut short.
  result.resize(std::min(m - 1, n));
  return result;
}

int32_t TFarUtils::ShowMessage(const char16_t* const* ALines, int32_t ACount, uint64_t AFlags,
                               int32_t AButtons) {
  const size_t count = ACount > 0 ? static_cast<size_t>(ACount) : 0;
  std::vector<const char16_t*> lines(ALines, ALines + count);
  static const GUID NoId{};
  return static_cast<int32_t>(
      farhost::Message(&NoId, AFlags, nullptr, lines.data(), lines.size(), AButtons));
}

int32_t TFarUtils::ShowMessage(const std::vector<std::u16string>& ALines, uint64_t AFlags,
                               int32_t AButtons) {
  std::vector<const char16_t*> lines;
  lines.reserve(ALines.size());
  for (const std::u16string& line : ALines)
    lines.push_back(line.c_str());
  return ShowMessage(lines.data(), static_cast<int32_t>(lines.size()), AFlags, AButtons);
}

std::u16string TFarUtils::TempFileName() {
  std::u16string result(win::MAX_PATH, u'\0');
  const size_t n = farhost::MkTemp(result.data(), result.size(), nullptr);
  if (n != 0) {
    // Some hosts count the terminating zero; the name never holds one.
    result.resize(std::min<size_t>(n, result.size()));
    const size_t zero = result.find(u'\0');
    if (zero != std::u16string::npos) result.resize(zero);
    if (!result.empty()) return result;
  }
  return CreateTempFileName(GetTempDirectory(), std::u16string());
}

bool TFarUtils::Menu(const GUID& AMenuID, const char16_t* ATitle, const char16_t* AHelpTopic,
                     const std::vector<std::u16string>& AItems, int32_t& AItemIndex) {
  if (AItems.empty()) return false;
  const std::vector<std::u16string> texts(AItems);
  std::vector<FarMenuItem> items(texts.size(), FarMenuItem{});
  for (size_t i = 0; i < texts.size(); ++i)
    items[i].Text = texts[i].c_str();
  const intptr_t r =
      farhost::Menu(&AMenuID, -1, -1, 0, FMENU_WRAPMODE | FMENU_AUTOHIGHLIGHT, ATitle, nullptr,
                    AHelpTopic, nullptr, nullptr, items.data(), items.size());
  if (r < 0) return false;
  AItemIndex = static_cast<int32_t>(r);
  return true;
}

std::u16string TFarUtils::TruncateString(const std::u16string& s, int32_t AWidth,
                                         char16_t AFillerChar) {
  const size_t width = AWidth > 0 ? static_cast<size_t>(AWidth) : 0;
  std::u16string result = s;
  if (width < s.size()) {
    std::u16string copy = s;
    farhost::TruncPathStr(copy.data(), static_cast<intptr_t>(width));
    // The host shortens in place and ends the text with a zero.
    result = CopyString(copy.c_str());
  }
  if (result.size() > width) result.resize(width);
  if (result.size() < width) result.append(width - result.size(), AFillerChar);
  return result;
}

win::SMALL_RECT TFarUtils::GetConsoleRect() {
  win::SMALL_RECT rect{};
  if (farhost::AdvControl(ACTL_GETFARRECT, 0, &rect) == 0) rect = win::SMALL_RECT{0, 0, 79, 24};
  return rect;
}

int32_t TFarUtils::GetConsoleWidth() {
  const win::SMALL_RECT rect = GetConsoleRect();
  return rect.Right - rect.Left + 1;
}

int32_t TFarUtils::GetConsoleHeight() {
  const win::SMALL_RECT rect = GetConsoleRect();
  return rect.Bottom - rect.Top + 1;
}

bool TFarUtils::SetProgressState(uint32_t AState, int64_t AProgress, int64_t ATotal) {
  bool ok = farhost::AdvControl(ACTL_SETPROGRESSSTATE, AState, nullptr) != 0;
  if (AState != 0 && AProgress >= 0 && ATotal > 0) {
    ProgressValue value{};
    value.StructSize = sizeof(ProgressValue);
    value.Completed = static_cast<uint64_t>(AProgress);
    value.Total = static_cast<uint64_t>(ATotal);
    if (farhost::AdvControl(ACTL_SETPROGRESSVALUE, 0, &value) == 0) ok = false;
  }
  return ok;
}

bool TFarUtils::SetProgressState(uint32_t AState) {
  return SetProgressState(AState, -1, -1);
}

const char16_t* TFarUtils::GetMsg(int32_t AMsgId) {
  if (AMsgId < 0) return u"";
  const char16_t* text = farhost::GetMsg(AMsgId);
  return text ? text : u"";
}
