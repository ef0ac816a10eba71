// What the viewer says to its user: captions, menus' dialogs and message boxes.
// The sources are UTF-8; the compiler stores these literals in code page 1251.
// Every box names what went wrong and what to do about it.
#ifndef ORVEX_VIEWER_TEXTS_H
#define ORVEX_VIEWER_TEXTS_H

namespace host {
namespace text {

const char kBoxCaption[]    = "Orvex";
const char kWindowCaption[] = "Orvex — просмотр таблиц";
const char kNoFolder[]      = "папка не выбрана";
const char kTablesFrom[]    = "Таблицы из: ";
const char kQuitButton[]    = "Выход";

const char kChooseFolder[]  = "Выберите папку с таблицами конвертера (Positions.txt, Suppliers.txt, Moves.txt):";
const char kChooseReport[]  = "Выберите отчёт о движении товаров ZORB_MVS.txt";
// Pairs of description and pattern, each followed by '|'.
const char kReportFilter[]  = "Отчёт ZORB (ZORB_MVS.txt)|ZORB_MVS.txt|Текстовые файлы (*.txt)|*.txt|Все файлы (*.*)|*.*|";
const char kConverting[]    = "Преобразование отчёта";
const char kCloseButton[]   = "Закрыть";

// The converter window's own line, from the converter's exit code.
const char kConverterRunning[] = "Идёт преобразование отчёта: конвертер fromZORB.exe читает отчёт и список товаров…";
const char kConvertedOk[] =
    "Преобразование закончено успешно: таблицы записаны. Нажмите «Закрыть» — программа покажет новые таблицы.";
const char kConvertedWithoutKinds[] =
    "Таблицы записаны, но файл видов движения moves_type.txt не прочитан: все движения записаны как "
    "расход без сумм. Нажмите «Закрыть», исправьте moves_type.txt и преобразуйте отчёт заново.";
const char kConvertNotWritten[] =
    "Преобразование не удалось (код 1): конвертер не смог записать таблицы. Прежние таблицы не изменены. "
    "Освободите место на диске или перенесите отчёт в папку, доступную для записи, и повторите.";
const char kConvertNotRead[] =
    "Преобразование не удалось (код 2): конвертер не смог прочитать отчёт или список товаров. "
    "Таблицы не записаны, прежние не изменены. Проверьте эти файлы и повторите.";
const char kConvertNoTable[] =
    "Преобразование не удалось (код 3): в отчёте не найдена таблица движений. Таблицы не записаны, "
    "прежние не изменены. Напечатайте отчёт из учётной системы заново и повторите.";
// %lu: the exit code.
const char kConvertFailed[] =
    "Преобразование не удалось: конвертер завершился с кодом %lu. Новые таблицы не показаны. "
    "Повторите преобразование; если ошибка повторится, обратитесь в поддержку.";

// %s: the folder.
const char kNoTables[] =
    "В папке\n%s\nнет таблиц конвертера (Positions.txt, Suppliers.txt, Moves.txt).\n\n"
    "Откройте папку, в которую конвертер fromZORB.exe записал таблицы (Файл > Открыть папку с таблицами…), "
    "или преобразуйте отчёт ZORB_MVS.txt (Файл > Преобразовать отчёт…).";
// %s: the folder; %s: one line per table with faults.
const char kPartialTables[] =
    "Не все строки таблиц удалось прочитать (папка %s):\n\n%s\n"
    "Прочитанные строки показаны. Преобразуйте отчёт заново (Файл > Преобразовать отчёт…) "
    "и не правьте таблицы в программах, которые меняют их вид (разделители, даты, числа).";
const char kTableMissing[]  = "%s: файла нет или он не читается\n";
const char kTableFaults[]   = "%s: не прочитано строк: %d\n";
// %s: the library's path.
const char kNoLibrary[] =
    "Не найден модуль Orvex_DLL.dll:\n%s\n\n"
    "Модуль должен лежать в одной папке с OrvexHost.exe. Переустановите программу.";
const char kNotALibrary[] =
    "Файл Orvex_DLL.dll не подходит:\n%s\n\n"
    "В нём нет функции GetInterface (это не модуль Orvex, или файл повреждён). Переустановите программу.";
const char kNoConverter[] =
    "Не найден конвертер fromZORB.exe:\n%s\n\n"
    "Конвертер должен лежать в одной папке с OrvexHost.exe. Переустановите программу.";
const char kConverterNotStarted[] =
    "Не удалось запустить конвертер:\n%s\n\nПереустановите программу.";
// %s: the chosen file.
const char kNotAReportName[] =
    "Конвертер читает отчёт только из файла с именем ZORB_MVS.txt.\n\nВыбран файл:\n%s\n\n"
    "Переименуйте отчёт в ZORB_MVS.txt и выберите его снова.";
// %s: the goods list's path.
const char kNoGoodsList[] =
    "Рядом с отчётом нет списка товаров Номенкл.csv:\n%s\n\n"
    "Положите список товаров в папку отчёта и повторите преобразование. "
    "Конвертер не запускался, прежние таблицы не изменены.";
// The converter's failures, one box per exit code. The converter writes its
// four tables all or none, so a failed run leaves the old ones as they were.
// %s: the marker the converter did not find.
const char kNoReportTable[] =
    "В отчёте не найдена таблица движений (конвертер: «%s»).\n\n"
    "Файл — не отчёт о движении товаров, или он обрезан либо изменён. "
    "Напечатайте отчёт в файл ZORB_MVS.txt из учётной системы заново. "
    "Таблицы не записаны, прежние таблицы не изменены.";
// %s: the report's path.
const char kReportUnreadable[] =
    "Конвертер не смог прочитать отчёт:\n%s\n\n"
    "Файл не открывается (занят другой программой или нет прав на чтение), пуст или слишком велик. "
    "Таблицы не записаны, прежние таблицы не изменены. Закройте программы, в которых открыт отчёт, "
    "или напечатайте отчёт в файл из учётной системы заново и повторите преобразование.";
const char kKindsFault[] =
    "Не прочитан файл видов движения moves_type.txt: он пуст или в его строках нет разделителя «|».\n\n"
    "Таблицы записаны без видов движения: все движения считаются расходом без сумм. "
    "Исправьте moves_type.txt (или удалите его: конвертер создаст файл с правилами по умолчанию) "
    "и преобразуйте отчёт заново.";
// %s: the goods list's path.
const char kGoodsListFault[] =
    "Конвертер не смог прочитать список товаров:\n%s\n\n"
    "Файл не открывается, пуст, слишком велик или в его первой строке нет разделителя «;». "
    "Таблицы не записаны, прежние таблицы не изменены. Сохраните список товаров из электронной "
    "таблицы как «CSV (разделители — точка с запятой)» и преобразуйте отчёт заново.";
// %s: the converter's line about the table it could not write.
const char kTablesNotWritten[] =
    "Конвертер не смог записать таблицы (конвертер: «%s»).\n\n"
    "Возможно, на диске нет места, папка отчёта защищена от записи или пропал сетевой диск. "
    "Прежние таблицы не изменены: конвертер заменяет все четыре таблицы сразу или ни одной. "
    "Освободите место или перенесите отчёт в папку, в которую вы можете записывать, "
    "и повторите преобразование.";
// %lu: the exit code, twice (decimal and hexadecimal).
const char kConverterFailed[] =
    "Конвертер завершился с ошибкой (код завершения %lu, 0x%08lX).\n\n"
    "Новые таблицы не показаны. Прочитайте строки окна «Преобразование отчёта» и повторите "
    "преобразование. Если ошибка повторится, обратитесь в поддержку: назовите код завершения "
    "и приложите строки окна конвертера.";
const char kKindsCreated[] =
    "Файла видов движения moves_type.txt в папке отчёта не было: конвертер создал его с правилами "
    "по умолчанию.\n\nПроверьте правила в этом файле (см. руководство пользователя) и, если нужно, "
    "исправьте их и преобразуйте отчёт заново.";
// Only with -savelists: the viewer itself writes no list files.
const char kListsNotSaved[] =
    "Не удалось сохранить файлы списков (GNList.dat, SNList.dat, GMList.dat, GDList.dat) "
    "в корень диска C:.\n\nТаблицы показаны, но файлы списков не обновлены; прежние файлы целы. "
    "Вероятно, у вас нет права записи в C:\\. Попросите администратора разрешить запись "
    "или запустите программу от имени администратора.";
// «Файл > Сохранить список…»
const char kSaveListTitle[]  = "Сохранить список в файл CSV";
const char kSaveListFilter[] = "Файлы CSV (*.csv)|*.csv|Все файлы (*.*)|*.*|";
const char kNoListToSave[] =
    "На этой странице нет списка.\n\nОткройте вкладку со списком (например, «Проводки») и повторите.";
// %s: the file chosen.
const char kListNotSaved[] =
    "Не удалось сохранить список в файл:\n%s\n\n"
    "Возможно, файл открыт в другой программе (например, в электронной таблице), на диске нет места "
    "или в эту папку нельзя записывать. Прежний файл, если он был, не изменён. Закройте файл "
    "в другой программе или выберите другую папку и сохраните снова.";
// %s: the guide's path.
const char kNoGuide[] =
    "Не найдено руководство пользователя:\n%s\n\nПереустановите программу.";
// %s: the version of each program, %s: the copyright line.
const char kAbout[] =
    "Orvex %s\nАнализ запасов и закупок: просмотр таблиц, остатков и динамики.\n\n"
    "OrvexHost.exe — версия %s\nOrvex_DLL.dll — версия %s\nfromZORB.exe — версия %s\n\n%s";
const char kNoVersion[] = "не найдена";

}  // namespace text
}  // namespace host

#endif
