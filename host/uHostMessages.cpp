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
    {htUnknownOption, "unknown option %1 (see --help)", "неизвестный параметр %1 (см. --help)"},
    {htNeedsValue, "option %1 needs a value (see --help)",
     "параметру %1 нужно значение (см. --help)"},
    {htAnswerNotANumber,
     "--answer takes a button number (1 is the first button, 0 cancels), not \"%1\"",
     "--answer принимает номер кнопки (1 - первая кнопка, 0 - отмена), а не \"%1\""},
    {htDashOnce, "- can be given once", "- можно указать только один раз"},
    {htCurrentAndNames, "--current and NAME arguments exclude each other",
     "--current и аргументы NAME исключают друг друга"},
    {htNullWithoutDash, "--null is for names from standard input: give - as a NAME",
     "--null - для имён из стандартного ввода: укажите - как NAME"},
    {htExcludeEachOther, "%1 and %2 exclude each other", "%1 и %2 исключают друг друга"},
    {htCannotTellOwnPlace,
     "cannot tell where this program is, so not where its plugin is either; name the plugin "
     "with --plugin PATH",
     "не удаётся узнать, где эта программа, а значит, и где её плагин; укажите плагин "
     "параметром --plugin PATH"},
    {htNoPluginThere,
     "no plugin where this program looks for it: %1 or %2 (name one with --plugin PATH)",
     "нет плагина там, где его ищет эта программа: %1 или %2 (укажите его параметром --plugin "
     "PATH)"},
    {htCannotLoadPlugin, "cannot load the plugin %1: %2", "не удаётся загрузить плагин %1: %2"},
    {htPluginLacksExport, "the plugin %1 does not export %2", "плагин %1 не экспортирует %2"},
    {htNoLanguageFiles, "no language file (.lng) beside the plugin in %1",
     "нет языкового файла (.lng) рядом с плагином в %1"},
    {htNeedsFar, "the plugin needs FAR %1", "плагину нужен FAR %1"},
    {htNothingInPluginMenu, "the plugin offers nothing in the plugin menu",
     "плагин ничего не предлагает в меню плагинов"},
    {htNoEntry, "no entry %1 in %2", "нет объекта %1 в %2"},
    {htCannotReadDirectory, "cannot read %1: %2", "не удаётся прочитать %1: %2"},
    {htNoProgramNamed, "no program named", "программа не названа"},
    {htProgramNotFound, "%1: not found", "%1: не найдена"},
    {htCannotBeExecuted, "%1: cannot be executed", "%1: не удаётся выполнить"},
    {htCannotRunShell, "cannot run /bin/sh: %1", "не удаётся запустить /bin/sh: %1"},
    {htErrorNumber, "error %1", "ошибка %1"},
    {htErrorWithNumber, "%1 (error %2)", "%1 (ошибка %2)"},
    {htUnexpectedError, "unexpected error", "непредвиденная ошибка"},
    {htNoVersionRecord, "(no version record)", "(нет записи о версии)"},
    {htUntitledPlugin, "plugin", "плагин"},
    {htUndoHint, "to undo: quorvane-run --undo", "отменить: quorvane-run --undo"},
    {htRedoHint, "to redo: quorvane-run --redo", "вернуть: quorvane-run --redo"},
#ifdef _WIN32
    {htNoStateFolder, "no folder for the records of the jobs: LOCALAPPDATA is not set",
     "нет папки для записей о работах: не задана LOCALAPPDATA"},
#else
    {htNoStateFolder,
     "no folder for the records of the jobs: neither XDG_STATE_HOME nor HOME is set",
     "нет папки для записей о работах: не заданы ни XDG_STATE_HOME, ни HOME"},
#endif
    {htCannotKeepRecordIn, "cannot keep the record of the job in %1: %2",
     "не удаётся сохранить запись о работе в %1: %2"},
    {htCannotKeepRecord, "cannot keep the record of the job as %1: %2",
     "не удаётся сохранить запись о работе как %1: %2"},
    {htCannotReadRecord, "cannot read the record %1: %2", "не удаётся прочитать запись %1: %2"},
    {htCannotReadRecords, "cannot read the records in %1: %2",
     "не удаётся прочитать записи в %1: %2"},
    {htBadRecord, "the record %1 is damaged", "запись %1 повреждена"},
    {htNothingToUndo, "no job to undo", "нет работы, которую можно отменить"},
    {htNothingToRedo, "no undo to redo", "нет отмены, которую можно вернуть"},
    {htNothingToUndoIn, "no job in %1 to undo", "нет работы в %1, которую можно отменить"},
    {htNothingToRedoIn, "no undo in %1 to redo", "нет отмены в %1, которую можно вернуть"},
    {htNothingLeftToUndo, "nothing to undo: no file of the job is where it left it",
     "нечего отменять: ни один файл работы не там, где она его оставила"},
    {htLeftAloneGone, "left alone: nothing has this name now",
     "не тронута: под этим именем сейчас ничего нет"},
    {htLeftAloneReplaced, "left alone: another file has this name now",
     "не тронута: под этим именем сейчас другой файл"},
    {htLeftAloneBack, "left alone: the file has its old name again",
     "не тронута: у файла снова старое имя"},
    {htLeftAloneFolder, "left alone: so is the move of a folder above it",
     "не тронута: как и перенос папки над ним"},
    {htLeftAloneUnknown, "left alone: the record does not tell which file it was",
     "не тронута: запись не говорит, какой это был файл"},
    {htLeftAloneElsewhere, "left alone: it lies on another drive than DIR",
     "не тронута: файл на другом диске, чем DIR"},
    {htLeftAloneCount, "%1 left alone", "не тронуто: %1"},
    {htOldNameTaken,
     "the old name is taken by a file that the undo does not move: the move will ask",
     "старое имя занято файлом, который отмена не переносит: перенос спросит"},
    {htListedRecord, "%1  %2  %3 renamed%4  %5", "%1  %2  переименовано: %3%4  %5"},
    {htKindJob, "job ", "работа "},
    {htKindUndo, "undo", "отмена "},
    {htKindRedo, "redo", "возврат"},
    {htRecordUndone, ", undone", ", отменена"},
    {htNoRecords, "no job is kept", "записей о работах нет"},
    {htUndoTakesDir, "--undo and --redo take DIR alone", "--undo и --redo принимают только DIR"},
    {htListWithoutUndo, "--list goes with --undo or --redo",
     "--list указывается с --undo или --redo"},
    // as many lines as the plugin's own header, "${DIRECTORY}" where the plugin puts the folder
    {htListHeader,
     "Quorvane: rename files in ${DIRECTORY}\n"
     "Change the names in the second column, keeping their quotes, then save the file and quit "
     "the editor to rename the files.\n"
     "A line left as it is, or deleted, leaves its file alone; quit without saving to rename "
     "nothing.",
     "Quorvane: переименование файлов в ${DIRECTORY}\n"
     "Измените имена во втором столбце, не трогая кавычек, затем сохраните файл и выйдите из "
     "редактора \u2014 файлы будут переименованы.\n"
     "Строка без изменений или удалённая оставляет свой файл как есть; чтобы ничего не "
     "переименовывать, выйдите без сохранения."},
    // --help: lines of up to 79 columns
    {htHelpUsage, R"(Usage: quorvane-run [OPTIONS] [DIR [NAME...]]
       quorvane-run [OPTIONS] [DIR] - < names
       quorvane-run [OPTIONS] FILE...          (the same as . FILE...))",
     R"(Вызов: quorvane-run [OPTIONS] [DIR [NAME...]]
       quorvane-run [OPTIONS] [DIR] - < names
       quorvane-run [OPTIONS] FILE...          (то же, что . FILE...))"},
    {htHelpAbout, R"(Renames files by editing their names as text in your own editor. The names go
into a list, each line the current name and the new one in quotes; change the
second column, save and quit, and the files are renamed. A new name may lead
into a subfolder.)",
     R"(Переименовывает файлы: их имена правятся как текст в вашем редакторе. Имена
попадают в список, в каждой строке текущее имя и новое, в кавычках; измените
второй столбец, сохраните файл и выйдите, и файлы будут переименованы. Новое
имя может вести в подпапку.)"},
    {htHelpListed, R"(What is listed: every entry of DIR (default: the current directory), folders
first, or only the NAMEs. A NAME is a path below DIR (taken from DIR, else from
the current directory), listed relative to DIR; "-" reads more names from
standard input, one a line. When the first argument is a file, or a folder
that a NAME after it is not found in while every argument is an entry of the
current directory (as a glob such as * gives them), all the arguments are
NAMEs of the current directory; ". NAME..." says so in any case. A name that
leads outside DIR (links resolved), is missing, holds a line break or a double
quote, or is not UTF-8 is left out of the list with a warning (exit status 1).)",
     R"(Что попадает в список: все объекты DIR (по умолчанию текущей папки), сначала
папки, или только имена NAME. NAME - путь внутри DIR (от DIR, иначе от текущей
папки), в списке он дан относительно DIR; "-" читает ещё имена из стандартного
ввода, по одному в строке. Если первый аргумент - файл или папка, в которой не
найдено какое-то из следующих имён, а все аргументы - объекты текущей папки
(как их даёт шаблон вроде *), то все аргументы - имена NAME в текущей папке;
". NAME..." говорит это в любом случае. Имя, которое ведёт за пределы DIR (с
учётом ссылок), не существует, содержит перевод строки или двойную кавычку или
записано не в UTF-8, в список не попадает, с предупреждением (код выхода 1).)"},
#ifdef _WIN32
    {htHelpEditor, R"(The editor is %VISUAL%, else %EDITOR%, else notepad; it must not return before
you close the file (a graphical one may need its wait option, "code --wait").
A program path that holds spaces goes in double quotes:
set EDITOR="C:\Program Files\My Editor\editor.exe". When names come from
standard input, the editor and the answers use the console. The list is a
temporary file named like Zan74F6.txt ("Zan", up to four hex digits, ".txt")
in %TEMP%, deleted when the job ends.)",
     R"(Редактор - %VISUAL%, иначе %EDITOR%, иначе notepad; он должен завершаться не
раньше, чем вы закроете файл (графическому может понадобиться ключ ожидания,
"code --wait"). Путь к программе с пробелами берётся в двойные кавычки:
set EDITOR="C:\Program Files\My Editor\editor.exe". Если имена приходят из
стандартного ввода, редактор и ответы используют консоль. Список - временный
файл с именем вроде Zan74F6.txt ("Zan", до четырёх шестнадцатеричных цифр,
".txt") в %TEMP%, удаляемый по окончании работы.)"},
#else
    {htHelpEditor, R"(The editor is $VISUAL, else $EDITOR, else vi; it must not return before you
close the file (a graphical one may need its wait option, "code --wait"). When
names come from standard input, the editor and the answers use the terminal.
The list is a temporary file named like Zan74F6.txt ("Zan", up to four hex
digits, ".txt") in $TMPDIR (else /tmp), deleted when the job ends.)",
     R"(Редактор - $VISUAL, иначе $EDITOR, иначе vi; он должен завершаться не раньше,
чем вы закроете файл (графическому может понадобиться ключ ожидания,
"code --wait"). Если имена приходят из стандартного ввода, редактор и ответы
используют терминал. Список - временный файл с именем вроде Zan74F6.txt
("Zan", до четырёх шестнадцатеричных цифр, ".txt") в $TMPDIR (иначе /tmp),
удаляемый по окончании работы.)"},
#endif
    {htHelpBrokenLines,
     R"(Lines that are no longer two quoted names rename nothing; a question names
them first, with the choice to rename the other lines or to cancel.)",
     R"(Строки, которые больше не два имени в кавычках, ничего не переименовывают;
сначала их называет вопрос, с выбором: переименовать остальные строки или
отменить.)"},
#ifdef _WIN32
    {htHelpWhereQuestionsGo,
     R"(Questions and messages go to standard error, the console unless it is
redirected, so standard output carries only the changes that --confirm,
--dry-run and -v show.)",
     R"(Вопросы и сообщения идут в стандартный поток ошибок, то есть в консоль, если
он не перенаправлен, так что в стандартный вывод попадают только изменения,
которые показывают --confirm, --dry-run и -v.)"},
#else
    {htHelpWhereQuestionsGo,
     R"(Questions and messages go to the terminal (standard error where there is
none), so standard output carries only the changes that --confirm, --dry-run
and -v show.)",
     R"(Вопросы и сообщения идут в терминал (в стандартный поток ошибок, если его
нет), так что в стандартный вывод попадают только изменения, которые
показывают --confirm, --dry-run и -v.)"},
#endif
    {htHelpQuestions,
     R"(A rename that fails asks a numbered question: type a number and Enter; Enter
alone or the end of input picks none (the line is skipped), and so does a
question that an answer brought back five times in a row. Ctrl+C at a question
ends the job. Control characters in names show as \xHH.)",
     R"(Неудавшееся переименование задаёт вопрос с номерами: введите номер и Enter;
Enter без номера или конец ввода не выбирает ничего (строка пропускается), как
и вопрос, который ответ вернул пять раз подряд. Ctrl+C на вопросе завершает
работу. Управляющие символы в именах показываются как \xHH.)"},
    {htHelpNames, "Names:", "Имена:"},
    {htHelpBeforeAndAfter, "Before and after:", "До и после:"},
    {htHelpUndoHeading, "Undo:", "Отмена:"},
    {htHelpProgram, "Program:", "Программа:"},
    {htHelpStandardInput, "read names from standard input, one a line",
     "читать имена из стандартного ввода, по одному в строке"},
    {htHelpNull, "with -: names end with NUL (find -print0, git ls-files -z)",
     "с -: имена заканчиваются NUL (find -print0, git ls-files -z)"},
    {htHelpCurrent, "list NAME alone", "в списке только NAME"},
    {htHelpConfirm,
     "show the changes (old -> new), each that will not go through as written marked with the "
     "reason, and ask before renaming anything",
     "показать изменения (old -> new), отметив с причиной каждое, которое не пройдёт так, как "
     "написано, и спросить, прежде чем что-то переименовать"},
    {htHelpDryRun, "show the changes so and rename nothing",
     "показать изменения так же и ничего не переименовывать"},
    {htHelpYes, "with --confirm or --undo: show the changes, but do not ask",
     "с --confirm или --undo: показать изменения, но не спрашивать"},
    {htHelpParents,
     "make a missing folder of a new name right before the move that needs it, unless a line "
     "makes it by a move (below DIR only, links resolved); one made that is still empty at the "
     "end is removed again",
     "создать недостающую папку нового имени прямо перед переносом, которому она нужна, если её "
     "не создаёт перенос в другой строке (только внутри DIR, с учётом ссылок); созданная, но "
     "пустая в конце папка удаляется"},
    {htHelpQuiet, "no summary at the end", "без итога в конце"},
    {htHelpVerbose, "list every changed line on standard output, and why one did not take effect",
     "перечислить в стандартном выводе каждую изменённую строку, и почему строка не выполнена"},
    {htHelpNoRecord, "keep no record of this job (see Undo below)",
     "не сохранять запись об этой работе (см. Отмена ниже)"},
    {htHelpUndo,
     "undo the latest job not undone yet (of DIR, when given): show its moves backwards, ask, "
     "and give each file its old name back; a file no longer where the job left it is left "
     "alone and named",
     "отменить последнюю ещё не отменённую работу (в DIR, если указана): показать её переносы "
     "в обратном порядке, спросить и вернуть каждому файлу старое имя; файл, которого уже нет "
     "там, где его оставила работа, не трогается и называется"},
    {htHelpRedo, "undo the latest undo not undone yet",
     "отменить последнюю ещё не отменённую отмену"},
    {htHelpList, "with --undo or --redo: list the jobs kept instead, the newest first",
     "с --undo или --redo: вместо этого перечислить сохранённые работы, сначала новые"},
    {htHelpAnswer,
     "answer every question with button N (1 is the first) without asking; 0, or a number "
     "beyond a question's buttons, cancels it; for --confirm, 1 is yes",
     "отвечать на каждый вопрос кнопкой N (1 - первая), не спрашивая; 0 или номер больше числа "
     "кнопок вопроса отменяет его; для --confirm 1 - да"},
    {htHelpPlugin, "the plugin module (default: the one that came with this program)",
     "модуль плагина (по умолчанию тот, что пришёл с этой программой)"},
    {htHelpLang, "language of the texts, e.g. English, Russian (default English)",
     "язык текстов, например English, Russian (по умолчанию English)"},
    {htHelpVersion, "the versions of this program and of the plugin",
     "версии этой программы и плагина"},
    {htHelpHelp, "this text", "этот текст"},
    {htHelpSummary, R"(At the end a line on standard error tells how many changed lines took effect,
as found on disk: "renamed 198 of 200 changed lines; 2 skipped or failed".)",
     R"(В конце строка в стандартном потоке ошибок говорит, сколько изменённых строк
выполнено, судя по диску: "переименовано изменённых строк: 198 из 200;
пропущено или не удалось: 2".)"},
#ifdef _WIN32
    {htHelpRecords, R"(Undo: every job that renames something keeps a record of it for --undo, in
%LOCALAPPDATA%\Quorvane: the old and new names of the files it renamed (the
names of your files are kept there), each file's identity, DIR and the time.
The last 20 jobs are kept; --no-record keeps none, and deleting the folder
forgets them all. The summary's last line tells how to undo.)",
     R"(Отмена: каждая работа, которая что-то переименовала, сохраняет запись о себе
для --undo в %LOCALAPPDATA%\Quorvane: старые и новые имена переименованных
файлов (там хранятся имена ваших файлов), опознание каждого файла, DIR и время.
Хранятся 20 последних работ; --no-record не сохраняет запись, а удаление папки
забывает все. Последняя строка итога говорит, как отменить.)"},
#else
    {htHelpRecords, R"(Undo: every job that renames something keeps a record of it for --undo, in
$XDG_STATE_HOME/quorvane (else ~/.local/state/quorvane), readable by you alone:
the old and new names of the files it renamed (the names of your files are
kept there), each file's identity, DIR and the time. The last 20 jobs are
kept; --no-record keeps none, and deleting the folder forgets them all. The
summary's last line tells how to undo.)",
     R"(Отмена: каждая работа, которая что-то переименовала, сохраняет запись о себе
для --undo в $XDG_STATE_HOME/quorvane (иначе ~/.local/state/quorvane), только
для вас: старые и новые имена переименованных файлов (там хранятся имена ваших
файлов), опознание каждого файла, DIR и время. Хранятся 20 последних работ;
--no-record не сохраняет запись, а удаление папки забывает все. Последняя
строка итога говорит, как отменить.)"},
#endif
#ifdef _WIN32
    {htHelpExitStatus, R"(Exit status:
  0  every entry went through (for --dry-run: the changes were shown)
  1  some entry did not: a name was left out, a question reported a problem or
     was cancelled (among them the list that could not be read, when nothing
     is renamed, and lines of the list that could not be read, whichever the
     answer), --confirm was not answered yes, the editor failed (nothing is
     renamed then), or Ctrl+C, Ctrl+Break or closing the console ended the
     job: at once at a question, else at the next point where no rename is
     under way, with the list deleted and what was renamed before left as it is
  2  nothing was attempted: bad command line, missing folder, no NAME left,
     a plugin that cannot be found, loaded or lacks an export, an editor that
     cannot be started)",
     R"(Код выхода:
  0  выполнены все строки (для --dry-run: изменения показаны)
  1  не все: имя не попало в список, вопрос сообщил о проблеме или был отменён
     (в том числе о списке, который не удалось прочитать, - тогда ничего не
     переименовано, - и о строках списка, которые не удалось прочитать, каким
     бы ни был ответ), на --confirm не ответили "да", редактор завершился с
     ошибкой (тогда ничего не переименовано) или работу завершили Ctrl+C,
     Ctrl+Break или закрытие консоли: сразу на вопросе, иначе там, где не идёт
     переименование; список удаляется, а уже переименованное остаётся как есть
  2  ничего не предпринято: неверная командная строка, нет папки, не осталось
     ни одного NAME, плагин не найден, не загружается или не экспортирует
     нужное, редактор не запускается)"},
    {htHelpExamples, R"(Examples:
  quorvane-run C:\Photos                    rename the entries of a folder
  quorvane-run a.jpg b.jpg                  rename the files named
  dir /s /b *.jpg | quorvane-run -          rename files of any subfolder
  quorvane-run --confirm "C:\My Photos"     see the changes before they are made)",
     R"(Примеры:
  quorvane-run C:\Photos                    переименовать объекты папки
  quorvane-run a.jpg b.jpg                  переименовать названные файлы
  dir /s /b *.jpg | quorvane-run -          переименовать файлы любых подпапок
  quorvane-run --confirm "C:\My Photos"     увидеть изменения до их выполнения)"},
#else
    {htHelpExitStatus, R"(Exit status:
  0  every entry went through (for --dry-run: the changes were shown)
  1  some entry did not: a name was left out, a question reported a problem or
     was cancelled (among them the list that could not be read, when nothing
     is renamed, and lines of the list that could not be read, whichever the
     answer), --confirm was not answered yes, the editor failed (nothing is
     renamed then), or Ctrl+C, SIGTERM or SIGQUIT ended the job: at once at a
     question, else at the next point where no rename is under way, with the
     list deleted and what was renamed before left as it is
  2  nothing was attempted: bad command line, missing directory, no NAME left,
     a plugin that cannot be found, loaded or lacks an export, an editor that
     cannot be started)",
     R"(Код выхода:
  0  выполнены все строки (для --dry-run: изменения показаны)
  1  не все: имя не попало в список, вопрос сообщил о проблеме или был отменён
     (в том числе о списке, который не удалось прочитать, - тогда ничего не
     переименовано, - и о строках списка, которые не удалось прочитать, каким
     бы ни был ответ), на --confirm не ответили "да", редактор завершился с
     ошибкой (тогда ничего не переименовано) или работу завершили Ctrl+C,
     SIGTERM или SIGQUIT: сразу на вопросе, иначе там, где не идёт
     переименование; список удаляется, а уже переименованное остаётся как есть
  2  ничего не предпринято: неверная командная строка, нет папки, не осталось
     ни одного NAME, плагин не найден, не загружается или не экспортирует
     нужное, редактор не запускается)"},
    {htHelpExamples, R"(Examples:
  quorvane-run ~/photos                     rename the entries of a folder
  quorvane-run *.jpg                        rename the files named
  find . -name '*.jpg' | quorvane-run -     rename files of any subfolder
  quorvane-run --confirm ~/photos           see the changes before they are made)",
     R"(Примеры:
  quorvane-run ~/photos                     переименовать объекты папки
  quorvane-run *.jpg                        переименовать названные файлы
  find . -name '*.jpg' | quorvane-run -     переименовать файлы любых подпапок
  quorvane-run --confirm ~/photos           увидеть изменения до их выполнения)"},
#endif
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
