#!/usr/bin/env python3
"""Static check of the plug-in library's binary interface, read from the built file.

Usage: check-plugin-abi.py FILE i386|x86-64

Checks the machine type and imports (through check-pe.sh), that GetInterface is
the only export, and that the operation table of CPluginInterface holds the
twelve operations in slot order, each returning with the argument bytes a host
expects it to pop. 32-bit code cannot run here, so this is how the shipped i686
build is held to the calling convention a host compiles against.

Needs the unstripped build (the COFF symbol table names the table and the
functions) and the toolchain's objdump and c++filt.
"""
import bisect
import os
import re
import struct
import subprocess
import sys

# The operation table in slot order: operation, parameters as c++filt prints
# them, and the stack bytes the operation pops on i686. There a member function
# is thiscall: `this` comes in ECX, the other arguments are pushed right to left
# in 4-byte-aligned stack slots and the callee pops them. int32_t, uint32_t
# (packed dates) and pointers (HWND, texts) take 4 bytes, doubles passed by
# value take 8; the one-byte bool or int32 result comes back in AL/EAX.
SLOTS = [
    ("AttachHost",     "HWND__*, char const*", 8),                     # 2 x 4
    ("Reserved",       "", 0),                                         # none: plain ret
    ("ShowPlugin",     "", 0),
    ("AddSupplier",    "int, char const*, char const*, double, double, double", 36),  # 3 x 4 + 3 x 8
    ("RefreshLists",   "", 0),
    ("SetIdMode",      "int", 4),                                      # 4
    ("AddMove",        "unsigned int, int, int, double, double, double, double", 44),  # 3 x 4 + 4 x 8
    ("FindGoodsId",    "char const*", 4),                              # 4
    ("FindSupplierId", "char const*", 4),                              # 4
    ("AddGoods",       "int, char const*, char const*, double, int, int, char const*, double", 40),  # 6 x 4 + 2 x 8
    ("AddBalance",     "unsigned int, int, char const*, double", 20),  # 3 x 4 + 8
    ("SaveLists",      "", 0),
]
CLASS = "CPluginInterface"
EXPORT = "GetInterface"

MACHINES = {
    # argument: (COFF machine, optional-header magic, word size, triple, C symbol prefix)
    "i386": (0x14C, 0x10B, 4, "i686-w64-mingw32", "_"),
    "x86-64": (0x8664, 0x20B, 8, "x86_64-w64-mingw32", ""),
}

failures = 0


def ok(text):
    print("ok: " + text)


def fail(text):
    global failures
    failures += 1
    print("FAIL: " + text)


class Pe:
    """The parts of a PE image this check reads: sections, exports, COFF symbols."""

    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        d = self.data
        if d[:2] != b"MZ":
            raise ValueError("not an MZ/PE file")
        pe = struct.unpack_from("<I", d, 0x3C)[0]
        if d[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        (self.machine, nsections, _, self.symtab, self.nsymbols, optsize,
         _) = struct.unpack_from("<HHIIIHH", d, pe + 4)
        opt = pe + 24
        self.magic = struct.unpack_from("<H", d, opt)[0]
        if self.magic == 0x10B:
            self.image_base = struct.unpack_from("<I", d, opt + 28)[0]
            datadir = opt + 96
        else:
            self.image_base = struct.unpack_from("<Q", d, opt + 24)[0]
            datadir = opt + 112
        self.export_rva, self.export_size = struct.unpack_from("<II", d, datadir)
        self.strtab = self.symtab + 18 * self.nsymbols
        self.sections = []
        for i in range(nsections):
            off = opt + optsize + 40 * i
            raw_name = d[off:off + 8].rstrip(b"\0").decode("latin-1")
            vsize, va, rawsize, rawptr = struct.unpack_from("<IIII", d, off + 8)
            if raw_name.startswith("/") and self.symtab:
                raw_name = self._string(int(raw_name[1:]))
            self.sections.append((raw_name, va, max(vsize, rawsize), rawptr, rawsize))

    def _string(self, offset):
        start = self.strtab + offset
        return self.data[start:self.data.index(b"\0", start)].decode("latin-1")

    def offset_of_rva(self, rva):
        for _, va, size, rawptr, rawsize in self.sections:
            if va <= rva < va + size and rva - va < rawsize:
                return rawptr + rva - va
        raise ValueError("RVA 0x%x is not in the file" % rva)

    def read_word(self, va, size):
        off = self.offset_of_rva(va - self.image_base)
        return struct.unpack_from("<I" if size == 4 else "<Q", self.data, off)[0]

    def cstring(self, rva):
        off = self.offset_of_rva(rva)
        return self.data[off:self.data.index(b"\0", off)].decode("latin-1")

    def exports(self):
        """(number of functions, [(name, rva)]) of the export directory."""
        if not self.export_rva:
            return 0, []
        off = self.offset_of_rva(self.export_rva)
        (nfunctions, nnames, functions, names,
         ordinals) = struct.unpack_from("<IIIII", self.data, off + 20)
        result = []
        for i in range(nnames):
            name_rva = struct.unpack_from("<I", self.data, self.offset_of_rva(names) + 4 * i)[0]
            ordinal = struct.unpack_from("<H", self.data, self.offset_of_rva(ordinals) + 2 * i)[0]
            rva = struct.unpack_from("<I", self.data, self.offset_of_rva(functions) + 4 * ordinal)[0]
            result.append((self.cstring(name_rva), rva))
        return nfunctions, result

    def symbols(self):
        """[(name, section index from 0, address)] of the COFF symbols in sections."""
        result = []
        i = 0
        while i < self.nsymbols:
            off = self.symtab + 18 * i
            raw = self.data[off:off + 8]
            value, section, _, _, naux = struct.unpack_from("<IhHBB", self.data, off + 8)
            if raw[:4] == b"\0\0\0\0":
                name = self._string(struct.unpack_from("<I", raw, 4)[0])
            else:
                name = raw.rstrip(b"\0").decode("latin-1")
            if section > 0:
                result.append((name, section - 1,
                               self.image_base + self.sections[section - 1][1] + value))
            i += 1 + naux
        return result


def run(command):
    return subprocess.run(command, check=True, stdout=subprocess.PIPE,
                          universal_newlines=True, env=dict(os.environ, LC_ALL="C")).stdout


class Code:
    """The disassembled .text, cut into functions at the symbols."""

    LINE = re.compile(r"^\s*([0-9a-f]+):\s+(.+?)\s*$")
    PREFIXES = {"repz", "rep", "bnd", "notrack", "data16", "ds", "cs"}

    def __init__(self, objdump, path, starts):
        self.insns = []
        for line in run([objdump, "-d", "--no-show-raw-insn", "-j", ".text", path]).splitlines():
            m = self.LINE.match(line)
            if m:
                words = m.group(2).split()
                while words and (words[0] in self.PREFIXES or words[0].startswith("rex")):
                    words.pop(0)
                if words:
                    self.insns.append((int(m.group(1), 16), words[0], " ".join(words[1:])))
        self.addresses = [a for a, _, _ in self.insns]
        self.starts = sorted(set(starts))

    def function_at(self, address):
        """[start, end) of the function holding address: from its symbol to the next."""
        i = bisect.bisect_right(self.starts, address) - 1
        if i < 0:
            return None
        end = self.starts[i + 1] if i + 1 < len(self.starts) else self.addresses[-1] + 1
        return self.starts[i], end

    def body(self, start, end):
        lo = bisect.bisect_left(self.addresses, start)
        hi = bisect.bisect_left(self.addresses, end)
        return self.insns[lo:hi]

    def returns(self, address, names):
        """Every ret reachable from the function at address, following jumps that
        leave it (tail calls, split-off parts): ([(where, bytes popped)], problems,
        starts of the functions read)."""
        rets, problems, seen = [], [], []
        todo = [address]
        while todo:
            region = self.function_at(todo.pop())
            if region is None or region in seen:
                continue
            seen.append(region)
            for at, mnemonic, operands in self.body(*region):
                if mnemonic in ("ret", "retl", "retq", "retw"):
                    pop = int(operands[1:], 16) if operands.startswith("$") else 0
                    rets.append((at, pop))
                elif mnemonic.startswith("j"):
                    target = re.match(r"([0-9a-f]+) <", operands)
                    if target:
                        target = int(target.group(1), 16)
                        if not region[0] <= target < region[1]:
                            todo.append(target)
                    elif mnemonic in ("jmp", "jmpl", "jmpq") and "," not in operands:
                        # A jump through a table indexes it (a comma); a jump through
                        # one word or register leaves to code this check cannot see.
                        problems.append("indirect jump '%s %s' at 0x%x in %s"
                                        % (mnemonic, operands, at, names.get(region[0], "?")))
        return rets, problems, [start for start, _ in seen]


def demangle(cxxfilt, names):
    """Readable names; a stdcall or fastcall decoration (@N) is kept after the name."""
    bare = [re.sub(r"@\d+$", "", n) for n in names]
    # Names are given without the C symbol prefix, whatever the tool strips by default.
    out = run([cxxfilt, "--no-strip-underscore"] + bare).splitlines()
    if len(out) != len(names):
        return names
    return [o + n[len(b):] for o, n, b in zip(out, names, bare)]


def main():
    if len(sys.argv) != 3 or sys.argv[2] not in MACHINES:
        print("usage: check-plugin-abi.py FILE i386|x86-64")
        return 2
    path, machine = sys.argv[1], sys.argv[2]
    coff_machine, magic, word, triple, prefix = MACHINES[machine]
    if not os.path.isfile(path):
        print("FAIL: %s not built" % path)
        return 1
    objdump, cxxfilt = triple + "-objdump", triple + "-c++filt"

    # Machine type and imports from system DLLs only: the same rules as the programs.
    check_pe = os.path.join(os.path.dirname(os.path.abspath(__file__)), "check-pe.sh")
    result = subprocess.run([check_pe, path, machine], stdout=subprocess.PIPE,
                            universal_newlines=True)
    sys.stdout.write(result.stdout)
    if result.returncode != 0:
        fail("check-pe.sh: machine type or imports")

    pe = Pe(path)
    if pe.machine == coff_machine and pe.magic == magic:
        ok("%s header (machine 0x%x)" % ("PE32" if magic == 0x10B else "PE32+", pe.machine))
    else:
        fail("machine 0x%x, optional header 0x%x; want 0x%x, 0x%x"
             % (pe.machine, pe.magic, coff_machine, magic))
        return 1

    nfunctions, exports = pe.exports()
    names = [n for n, _ in exports]
    if nfunctions == 1 and names == [EXPORT]:
        ok("exports exactly one function, %s, undecorated" % EXPORT)
    else:
        fail("exports %d functions, names %s; want only %s" % (nfunctions, names, EXPORT))

    if not pe.symtab or not pe.nsymbols:
        fail("no symbol table: the file is stripped, and the operation table cannot be named")
        return 1
    symbols = pe.symbols()
    text = [i for i, s in enumerate(pe.sections) if s[0] == ".text"][0]
    code_names = {}
    for name, section, address in symbols:
        if section == text and not name.startswith("."):
            code_names.setdefault(address, name)
    by_name = {name: address for name, _, address in symbols}
    at_address = {}
    for name, section, address in symbols:
        at_address.setdefault(address, []).append(name)
    code = Code(objdump, path, code_names.keys())

    # The export is the C function, taking no arguments: a plain ret on i686.
    export_symbol = prefix + EXPORT
    if export_symbol in by_name and exports and \
            by_name[export_symbol] == pe.image_base + exports[0][1]:
        rets, problems, _ = code.returns(by_name[export_symbol], code_names)
        if rets and all(pop == 0 for _, pop in rets) and not problems:
            ok("%s is the function %s and pops nothing" % (EXPORT, export_symbol))
        else:
            fail("%s pops %s %s" % (EXPORT, sorted(set(p for _, p in rets)), problems))
    else:
        fail("the export %s is not the function %s" % (EXPORT, export_symbol))

    # The operation table: offset-to-top and type-info words, then the slots.
    vtable_symbol = prefix + "_ZTV%d%s" % (len(CLASS), CLASS)
    if vtable_symbol not in by_name:
        fail("no symbol %s: the operation table cannot be found" % vtable_symbol)
        return 1
    vtable = by_name[vtable_symbol]
    ok("operation table %s at 0x%x" % (vtable_symbol, vtable))
    top = pe.read_word(vtable, word)
    typeinfo = pe.read_word(vtable + word, word)
    typeinfo_symbol = prefix + "_ZTI%d%s" % (len(CLASS), CLASS)
    if top == 0 and typeinfo in (0, by_name.get(typeinfo_symbol)):
        ok("table header: offset-to-top 0, type info %s"
           % (typeinfo_symbol if typeinfo else "none"))
    else:
        fail("table header: offset-to-top 0x%x, type info 0x%x" % (top, typeinfo))

    text_lo = pe.image_base + pe.sections[text][1]
    text_hi = text_lo + pe.sections[text][2]
    entries = [pe.read_word(vtable + word * (2 + i), word) for i in range(len(SLOTS) + 1)]

    # Nothing after slot 11 that belongs to the table: the next word is either
    # another symbol's or not code.
    after = vtable + word * (2 + len(SLOTS))
    if after in at_address or not text_lo <= entries[-1] < text_hi:
        ok("the table ends after %d slots" % len(SLOTS))
    else:
        fail("the word after slot %d points to code (0x%x): more than %d slots"
             % (len(SLOTS) - 1, entries[-1], len(SLOTS)))

    slot_symbols = []
    for address in entries[:-1]:
        member = [n for n in at_address.get(address, [])
                  if n.startswith(prefix + "_ZN%d%s" % (len(CLASS), CLASS))]
        slot_symbols.append(member[0] if member else
                            (at_address.get(address) or ["0x%x" % address])[0])
    demangled = demangle(cxxfilt, [s[len(prefix):] if s.startswith(prefix + "_Z") else s
                                   for s in slot_symbols])

    for slot, ((name, params, pop), address, shown) in enumerate(zip(SLOTS, entries, demangled)):
        want = "%s::%s(%s)" % (CLASS, name, params)
        label = "slot %2d %s" % (slot, name)
        if shown != want:
            fail("%s: the table holds %s, want %s" % (label, shown, want))
        rets, problems, read = code.returns(address, code_names)
        expected = pop if machine == "i386" else 0
        pops = sorted(set(p for _, p in rets))
        wrong = [(at, p) for at, p in rets if p != expected]
        for problem in problems:
            fail("%s: %s" % (label, problem))
        if not rets:
            fail("%s = %s: no ret found" % (label, shown))
        elif wrong:
            fail("%s = %s: pops %s bytes (ret at %s), want %d"
                 % (label, shown, pops, ", ".join("0x%x" % at for at, _ in wrong), expected))
        elif not problems and shown == want:
            followed = demangle(cxxfilt, [code_names[a][len(prefix):] for a in read[1:]])
            ok("%s = %s, %d ret(s)%s, each %s" % (
                label, shown, len(rets),
                "".join(" (after a jump to %s)" % f for f in followed),
                "ret $%d" % expected if expected else "a plain ret"))

    print("%s: %s" % (path, "FAILED, %d check(s)" % failures if failures else "all checks passed"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
