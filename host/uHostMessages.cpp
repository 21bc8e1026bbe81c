#include "uHostMessages.h"

#include <cstddef>

#include "system/uUtf8.h"

namespace host {

namespace {

struct TTexts {
  THostText Id;
  const char* English;
  const char* Russian;
};

// One row a text, in the order of THostText (checked below).
constexpr TTexts Texts[] = {
    {htRenamedOf, "renamed %1 of %2 changed lines", "переименовано изменённых строк: %1 из %2"},
    {htSkipped, "%1 skipped", "пропущено: %1"},
    {htFailed, "%1 failed", "не удалось: %1"},
    {htNotRead, "%1 not read", "не прочитано: %1"},
    {htNoSuchFiles, "%1 with no such file", "без такого файла: %1"},
    {htOntoFolders, "%1 onto a folder", "на место папки: %1"},
    {htCancelled, "%1 cancelled", "отменено: %1"},
    {htWhySkipped, "skipped", "пропущена"},
    {htWhyFailed, "failed: %1", "не удалась: %1"},
    {htWhyNotRead, "not read", "не прочитана"},
    {htWhyHeaderChanged, "the header was changed", "заголовок изменён"},
    {htWhyNoSuchFile, "no such file", "нет такого файла"},
    {htWhyCancelled, "cancelled", "отменена"},
    {htWhyFolderStayed,
     "moved below its folder's old name: the folder's own line did not take effect",
     "перенесён в папку под её старым именем: строка самой папки не выполнена"},
    {htLineNumber, "line %1", "строка %1"},
    {htMoreLines, "... and %1 more (-v names every line)", "... и ещё %1 (-v называет все строки)"},
    {htLeftUnderFreeName, "left under a free name: %1", "оставлен под свободным именем: %1"},
    {htOneChangedLine, "1 changed line", "изменённых строк: 1"},
    {htChangedLines, "%1 changed lines", "изменённых строк: %1"},
    {htWillNotGoThrough, "%1 will not go through as written", "не пройдут так, как написано: %1"},
    {htSameNewName, "the same new name as line %1 above (%2): only one of them can have it",
     "то же новое имя, что у строки %1 выше (%2): получить его может только одна"},
    {htNoFolder, "no folder %1 (-p would make it)", "нет папки %1 (-p создал бы её)"},
    {htNoFolderOutside, "no folder %1, and -p makes none outside DIR",
     "нет папки %1, а -p не создаёт папок вне DIR"},
    {htNewNameIsFolder, "the new name is an existing folder", "новое имя - существующая папка"},
    {htNothingWasRenamed, "nothing was renamed", "ничего не переименовано"},
    {htRenameQuestion, "Rename?", "Переименовать?"},
    {htPressEnter,
     "Press Enter (Ctrl+C ends the job): ", "Нажмите Enter (Ctrl+C завершает работу): "},
    {htChooseNumber, "Choose 1-%1, or Enter for none (Ctrl+C ends the job): ",
     "Выберите 1-%1 или Enter - ничего (Ctrl+C завершает работу): "},
    {htTypeANumber, "   Type a number from 1 to %1, or just Enter for none.",
     "   Введите число от 1 до %1 или просто Enter - ничего."},
    {htQuestionCameBack, "the same question came back %1 times; cancelled",
     "тот же вопрос повторился %1 раз; отменено"},
    {htAnswersNotTaken, "%1 answers this question cannot take; cancelled",
     "этот вопрос не принял %1 ответов; отменено"},
    {htCannotWriteTerminal, "cannot write to the terminal; cancelled",
     "не удаётся писать в терминал; отменено"},
    {htYesNo, " [y/N] ", " [y/N] "},
    {htStopped, "stopped (Ctrl+C); later lines renamed nothing",
     "остановлено (Ctrl+C); следующие строки ничего не переименовали"},
    {htInterruptedAfterRenames, "interrupted after the renames were done",
     "прервано после переименований"},
    {htNotEveryEntry, "not every entry went through", "не все строки выполнены"},
    {htCannotReadList, "cannot read the list; nothing renamed",
     "не удаётся прочитать список; ничего не переименовано"},
    {htCannotWriteOutputNothing, "cannot write to standard output; nothing renamed",
     "не удаётся писать в стандартный вывод; ничего не переименовано"},
    {htCannotWriteOutput, "cannot write to standard output",
     "не удаётся писать в стандартный вывод"},
    {htInterruptedNothing, "interrupted; nothing renamed", "прервано; ничего не переименовано"},
    {htNothingRenamed, "nothing renamed", "ничего не переименовано"},
    {htEditorFailed, "the editor ended with status %1; nothing renamed",
     "редактор завершился с кодом %1; ничего не переименовано"},
    {htCannotStartEditor, "cannot start the editor %1: %2", "не удаётся запустить редактор %1: %2"},
    {htOpenedNoList, "the plugin opened no list", "модуль не открыл список"},
    {htLeftOutName, "left out a name that %1: %2", "пропущено имя, которое %1: %2"},
    {htNoLanguageFile, "no %1 language file; using English", "нет языкового файла %1; английский"},
    {htJobEnded, "interrupted; the job is ended", "прервано; работа завершена"},
    {htHoldsLineBreak, "holds a line break", "содержит перевод строки"},
    {htHoldsDoubleQuote, "holds a double quote", "содержит двойную кавычку"},
    {htNotUtf8, "is not UTF-8", "записано не в UTF-8"},
    {htLeadsOutside, "leads outside %1", "ведёт за пределы %1"},
    {htLeadsOutsideThroughLink, "leads outside %1 through a link",
     "ведёт за пределы %1 через ссылку"},
    {htDoesNotExist, "does not exist", "не существует"},
    {htNothingBelow, "nothing to rename: no NAME names an entry below %1",
     "нечего переименовывать: ни одно ИМЯ не называет объект в %1"},
    {htDirectoryEmpty, "nothing to rename: %1 is empty", "нечего переименовывать: %1 пуста"},
    {htNotADirectory, "not a directory: %1", "не папка: %1"},
    {htNoSuchDirectory, "no such directory: %1", "нет такой папки: %1"},
    {htCannotReadNames, "cannot read the names from standard input: %1",
     "не удаётся прочитать имена из стандартного ввода: %1"},
    {htNotMakingFolder, "not making the folder %1: it would be outside %2",
     "папка %1 не создана: она была бы вне %2"},
    {htCannotMakeFolder, "cannot make the folder %1: %2", "не удаётся создать папку %1: %2"},
};

constexpr bool InOrder() {
  for (size_t i = 0; i < sizeof(Texts) / sizeof(Texts[0]); ++i)
    if (Texts[i].Id != static_cast<THostText>(i)) return false;
  return sizeof(Texts) / sizeof(Texts[0]) == htCount;
}
static_assert(InOrder(), "one row a text, in the order of THostText");

bool Russian = false;

bool IsRussian(const std::u16string& ALanguage) {
  static const char16_t Name[] = u"russian";
  if (ALanguage.size() != sizeof(Name) / sizeof(Name[0]) - 1) return false;
  for (size_t i = 0; i < ALanguage.size(); ++i) {
    char16_t c = ALanguage[i];
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    if (c != Name[i]) return false;
  }
  return true;
}

} // namespace

void UseHostLanguage(const std::u16string& ALanguage) {
  Russian = IsRussian(ALanguage);
}

std::u16string Say(THostText AId, std::initializer_list<std::u16string> AArguments) {
  const std::u16string text = Utf8ToUtf16(Russian ? Texts[AId].Russian : Texts[AId].English);
  std::u16string result;
  for (size_t i = 0; i < text.size(); ++i) {
    const size_t number = i + 1 < text.size() ? size_t(text[i + 1] - u'1') : AArguments.size();
    if (text[i] == u'%' && number < AArguments.size()) {
      result += AArguments.begin()[number];
      ++i;
    } else {
      result += text[i];
    }
  }
  return result;
}

} // namespace host
