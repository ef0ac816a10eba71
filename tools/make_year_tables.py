#!/usr/bin/env python3
"""The converter's four tables for a year of a large business: 10,000 goods,
500 suppliers, 200 buyers, 1,000,000 moves over the 365 days of 2005, in code
page 1251 with CR LF, as fromZORB writes them. Deterministic.

Usage: make_year_tables.py FOLDER
Prints the storage index of the supplier with the most goods in its dynamics
(distinct goods it delivered with a non-zero quantity; the first of equals).
"""
import datetime
import os
import random
import sys

GOODS, SUPPLIERS, BUYERS, MOVES, DAYS = 10000, 500, 200, 1000000, 365


def write(folder, name, lines):
    with open(os.path.join(folder, name), "wb") as out:
        out.write("".join(line + "\r\n" for line in lines).encode("cp1251"))


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    rng = random.Random(1)
    codes = ["G%05d" % g for g in range(GOODS)]
    suppliers = ["Поставщик %03d" % s for s in range(SUPPLIERS)]
    start = datetime.date(2005, 1, 1)
    dates = [(start + datetime.timedelta(days=d)).strftime("%d.%m.%y") for d in range(DAYS)]

    write(folder, "Positions.txt", ["ID|Name"] + [
        "%s|Товар №%d, партия %d|||||||%.5f|%.5f" % (codes[g], g, g % 7, 10 + g % 90, (g % 50) / 10.0)
        for g in range(GOODS)])
    write(folder, "Suppliers.txt", ["ID|Name"] + ["%s|%s" % (s, s) for s in suppliers])
    write(folder, "Buyers.txt", ["ID|Name"] + ["%d|Покупатель %d" % (1000 + b, b) for b in range(BUYERS)])

    # Every fifth goods item comes mainly from supplier 0, the others each from
    # one supplier; a fifth of the supplies come from anyone.
    main_supplier = [0 if g % 5 == 0 else (g * 2654435761) % SUPPLIERS for g in range(GOODS)]
    supplied = [set() for _ in range(SUPPLIERS)]
    lines = ["Date|IDG|IDS|NIN|NOUT|DIN|DOUT"]
    for i in range(MOVES):
        g = rng.randrange(GOODS)
        date = dates[i % DAYS]          # every day of the year is present
        qty = 1 + rng.randrange(50)
        if rng.randrange(2) == 0:
            s = rng.randrange(SUPPLIERS) if rng.randrange(5) == 0 else main_supplier[g]
            supplied[s].add(g)
            lines.append("%s|%s|%s|%d.00000||%d.00000||" % (date, codes[g], suppliers[s], qty, qty * (10 + g % 90)))
        else:
            lines.append("%s|%s|%d||%d.00000||%d.00000|" % (date, codes[g], 1000 + rng.randrange(BUYERS), qty,
                                                           qty * (15 + g % 90)))
    write(folder, "Moves.txt", lines)
    best = max(range(SUPPLIERS), key=lambda s: (len(supplied[s]), -s))
    print(best)


if __name__ == "__main__":
    main()
