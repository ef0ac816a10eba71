// Tables and settings the viewer's tests share: tables of long texts (a
// supplier of 40 bytes, two suppliers and two goods whose texts share their
// first 31 bytes, a buyer code of 40 digits), the listing of the root of drive
// c:, and the identifiers' display the viewer remembers.
#ifndef ORVEX_TESTS_VIEWER_TABLES_H
#define ORVEX_TESTS_VIEWER_TABLES_H

#include <string>

// Supplier 0: 40 bytes in code page 1251; suppliers 1 and 2: 41 bytes, the
// first 32 alike; what the plug-in keeps of each code: the first 31 bytes.
#define kSupplier40    "ИП Кузнецов Александр Владимирович, Тула"
#define kSupplier40Cut "ИП Кузнецов Александр Владимиро"
#define kSupplierA     "ООО Торговый дом Северная звезда, склад 1"
#define kSupplierB     "ООО Торговый дом Северная звезда, склад 2"
#define kSupplierABCut "ООО Торговый дом Северная звезд"
// Goods LA and LB: 35 bytes, the first 34 alike.
#define kLongGoodsA    "КОД-ТОВАРА-ОЧЕНЬ-ДЛИННЫЙ-0000000001"
#define kLongGoodsB    "КОД-ТОВАРА-ОЧЕНЬ-ДЛИННЫЙ-0000000002"
#define kLongGoodsCut  "КОД-ТОВАРА-ОЧЕНЬ-ДЛИННЫЙ-000000"
#define kLongBuyer     "1234567890123456789012345678901234567890"

namespace hosttest {

// The four tables: goods G1 from supplier 0; G2 and G3 from supplier 1; G4,
// LA and LB from supplier 2 (one receipt each, in this order); a sale of 2 of
// G1 to the buyer of 40 digits.
void WriteLongNames(const std::string& folder);

// The root of drive c: as "name size time" lines, sorted.
std::string RootListing();

// HKCU\Software\Orvex\Viewer, value IdMode: -1 when there is none.
int IdModeSetting();
bool SetIdModeSetting(int mode);   // -1 deletes the value

}  // namespace hosttest

#endif
