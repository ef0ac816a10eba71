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
const char kConverterDone[] = "Преобразование закончено.";

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
const char kNoReportTable[] =
    "В отчёте не найдена таблица движений (конвертер: «%s»).\n\n"
    "Файл — не отчёт о движении товаров, или он обрезан либо изменён. "
    "Напечатайте отчёт в файл ZORB_MVS.txt из учётной системы заново. Таблицы не записаны.";
const char kKindsFault[] =
    "Не прочитан файл видов движения moves_type.txt: он пуст или в его строках нет разделителя «|».\n\n"
    "Таблицы записаны без видов движения: все движения считаются расходом без сумм. "
    "Исправьте moves_type.txt (или удалите его: конвертер создаст файл с правилами по умолчанию) "
    "и преобразуйте отчёт заново.";
const char kGoodsListFault[] =
    "Не прочитан список товаров Номенкл.csv: он пуст или в его первой строке нет разделителя «;».\n\n"
    "Таблицы записаны без товаров. Сохраните список товаров с разделителем «;» и преобразуйте отчёт заново.";
// %lu: the exit code.
const char kConverterFailed[] =
    "Конвертер не смог записать таблицы (код завершения %lu).\n\n"
    "Возможно, на диске нет места или папка отчёта защищена от записи. "
    "Прежние таблицы не изменены. Освободите место или перенесите отчёт в папку, "
    "в которую вы можете записывать, и повторите преобразование.";
const char kKindsCreated[] =
    "Файла видов движения moves_type.txt в папке отчёта не было: конвертер создал его с правилами "
    "по умолчанию.\n\nПроверьте правила в этом файле (см. руководство пользователя) и, если нужно, "
    "исправьте их и преобразуйте отчёт заново.";
const char kListsNotSaved[] =
    "Не удалось сохранить файлы списков (GNList.dat, SNList.dat, GMList.dat, GDList.dat) "
    "в корень диска C:.\n\nТаблицы показаны, но файлы списков не обновлены; прежние файлы целы. "
    "Вероятно, у вас нет права записи в C:\\. Попросите администратора разрешить запись "
    "или запустите программу от имени администратора.";
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
