// orvex_fuzz: runs thousands of malformed inputs through the readers of the
// converter and the plug-in, in process, under the guard-page heap registry,
// and hostile call sequences through the plug-in library's interface.
//
//   orvex_fuzz [-targets converter,reader,lists,interface] [-count N] [-seed S]
//              [-count-interface N] [-seeds DIR] [-out DIR] [-timeout-ms 5000]
//   orvex_fuzz -make-seeds DIR           kinds table beside the report seeds
//   orvex_fuzz -replay TARGET DIR        every input folder under DIR, once
//   -interface-shard K/N: one of N commands that share the interface inputs.
//   The plug-in's stop event and list files are shared by a whole Wine
//   session, so parallel interface workers need sessions of their own:
//   shard K > 0 runs in another session (scripts/fuzz.sh starts it). The
//   shards take the inputs a chunk at a time, each chunk claimed by creating
//   its file in OUT\interface-claims (which must start empty), so that shard
//   0, which runs the other targets first, joins late and takes fewer. Shard
//   K > 0 writes its figures to OUT\interface-shard-K.txt, which shard 0
//   waits for and adds to its own, so that the target still gets one line.
//
// Each target runs in worker processes: this program, orvex_fuzz_plugin for
// the list files (its registry is the plug-in's size), or orvex_fuzz_host for
// the interface (a host that loads the fuzz build's Orvex_DLL.dll, which has
// its own registry, guard page after every block). A worker runs
// inputs from an index on; a fault ends it, and the command records the input
// (made again from seed and index: inputs are deterministic) and starts the
// next worker after it. An input running past the timeout counts as a hang.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "FuzzTargets.h"
#ifndef FUZZ_SIDE_HOST
#include "cwin/system/HeapRegistry.h"
#include "cwin/system/MessageBox.h"
#endif

#if defined(FUZZ_SIDE_PLUGIN)
static CWIN_HEAP_INFO g_heapEntries[CWIN_HEAP_INFO_NUM_PLUGIN];
CHeapRegistry g_heapRegistry(g_heapEntries, CWIN_HEAP_INFO_NUM_PLUGIN);
#elif !defined(FUZZ_SIDE_HOST)
static CWIN_HEAP_INFO g_heapEntries[CWIN_HEAP_INFO_NUM_CONVERTER];
CHeapRegistry g_heapRegistry(g_heapEntries, CWIN_HEAP_INFO_NUM_CONVERTER);
#endif

using namespace fuzz;

namespace {

struct Target
{
    const char* name;
    const char* seedFolder;   // null: inputs made from seed and index alone
    const char* worker;       // the program whose workers run it
};
const Target kTargets[] = { { "converter", "converter", "orvex_fuzz.exe" },
                            { "reader", "converter", "orvex_fuzz.exe" },
                            { "lists", "lists", "orvex_fuzz_plugin.exe" },
                            { "interface", NULL, "orvex_fuzz_host.exe" },
                            // Not among the defaults: every input reads one byte
                            // outside a block, so every input must show a guard fault.
                            { "selfcheck", "converter", "orvex_fuzz.exe" } };

const Target* FindTarget(const std::string& name)
{
    for (const Target& t : kTargets)
        if (name == t.name)
            return &t;
    return NULL;
}

// What a worker tells the command, in memory both map.
struct Shared
{
    volatile LONG64 current;      // index of the input running or last run
    volatile LONG64 done;         // inputs finished by this worker
    volatile LONG   running;      // an input is running now
    volatile DWORD  startTick;    // when it started
    volatile LONG   faultKind;    // 0 none, 1 crash, 2 guard-page fault
    volatile DWORD  faultCode;
    volatile ULONG64 faultAddress;
    volatile LONG   wrong;        // inputs whose behaviour broke a rule
    volatile LONG   boxes;        // message boxes asked for
};

enum FaultKind { NoFault = 0, Crash = 1, GuardFault = 2 };

Shared* g_shared = NULL;
volatile LONG g_inInput = 0;

#ifndef FUZZ_SIDE_HOST
int CountBox(HWND, const char*, const char*, UINT)
{
    if (g_shared)
        InterlockedIncrement(&g_shared->boxes);
    return IDOK;
}
#endif

LONG CALLBACK OnFault(EXCEPTION_POINTERS* info)
{
    const DWORD code = info->ExceptionRecord->ExceptionCode;
    switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_STACK_OVERFLOW:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_IN_PAGE_ERROR:
    case 0xC0000374:   // heap corruption
    case 0xC0000409:   // stack buffer overrun
        break;
    default:
        return EXCEPTION_CONTINUE_SEARCH;
    }
    if (!g_inInput)
        return EXCEPTION_CONTINUE_SEARCH;
    LONG kind = Crash;
    ULONG_PTR address = 0;
    if (code == EXCEPTION_ACCESS_VIOLATION && info->ExceptionRecord->NumberParameters >= 2) {
        address = info->ExceptionRecord->ExceptionInformation[1];
        MEMORY_BASIC_INFORMATION mem;
        // The registry's blocks touch pages that are reserved and never committed.
        if (VirtualQuery((void*)address, &mem, sizeof(mem)) && mem.State == MEM_RESERVE)
            kind = GuardFault;
    }
    if (g_shared) {
        g_shared->faultCode = code;
        g_shared->faultAddress = address;
        g_shared->faultKind = kind;
    }
    TerminateProcess(GetCurrentProcess(), 0xFA17);
    return EXCEPTION_CONTINUE_SEARCH;
}

Verdict RunTarget(const Target& target, const FuzzInput& input)
{
#if defined(FUZZ_SIDE_HOST)
    return RunInterfaceInput(input);
#elif defined(FUZZ_SIDE_PLUGIN)
    return RunListsInput(input);
#else
    if (!strcmp(target.name, "reader"))
        return RunReaderInput(input);
    if (!strcmp(target.name, "selfcheck")) {
        Verdict v;
        const SIZE_T size = 1 + input.size() + (input.empty() ? 0 : input[0].bytes.size() % 100);
        volatile char* block = NULL;
        if (g_heapRegistry.Alloc((char**)&block, size)) {
            char outside = CHeapRegistry::GuardBefore() ? block[-1] : block[size];
            v.Fail(std::string("a byte outside a block was read: ") + (outside ? "nonzero" : "zero"));
            g_heapRegistry.Free((char**)&block);
        }
        return v;
    }
    return RunConverterInput(input);
#endif
}

FuzzInput InputAt(const Target& target, const std::vector<FuzzInput>& seeds, uint64_t seed, uint64_t index)
{
#ifndef FUZZ_SIDE_PLUGIN
    if (!target.seedFolder)
        return MakeInterfaceInput(seed, index);
#endif
    FuzzInput input = MakeInput(seeds, seed, target.name, index);
#if !defined(FUZZ_SIDE_PLUGIN) && !defined(FUZZ_SIDE_HOST)
    if (!strcmp(target.name, "reader"))
        return ReaderInputFrom(input, seed, index);
#endif
    return input;
}

std::string Arg(int argc, char** argv, const char* name, const char* fallback)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (!strcmp(argv[i], name))
            return argv[i + 1];
    return fallback;
}

bool Flag(int argc, char** argv, const char* name)
{
    for (int i = 1; i < argc; ++i)
        if (!strcmp(argv[i], name))
            return true;
    return false;
}

inline std::string FullPath(const std::string& path)
{
    char buffer[MAX_PATH];
    DWORD n = GetFullPathNameA(path.c_str(), MAX_PATH, buffer, NULL);
    return n && n < MAX_PATH ? std::string(buffer) : path;
}

// Worker: inputs [from, to) of one target in a scratch folder.
int Worker(int argc, char** argv)
{
    const Target* target = FindTarget(Arg(argc, argv, "-worker", ""));
    const uint64_t seed = _strtoui64(Arg(argc, argv, "-seed", "1").c_str(), NULL, 10);
    const uint64_t from = _strtoui64(Arg(argc, argv, "-from", "0").c_str(), NULL, 10);
    const uint64_t to = _strtoui64(Arg(argc, argv, "-to", "0").c_str(), NULL, 10);
    const std::string out = Arg(argc, argv, "-out", "fuzz-out");
    const std::string seedsDir = Arg(argc, argv, "-seeds", "seeds");
    HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, Arg(argc, argv, "-shm", "").c_str());
    if (!target || !mapping)
        return 2;
    g_shared = (Shared*)MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Shared));
    if (!g_shared)
        return 2;
    std::vector<FuzzInput> seeds;
    if (target->seedFolder)
        seeds = LoadSeeds(seedsDir + "\\" + target->seedFolder);
    if (seeds.empty() && target->seedFolder) {
        fprintf(stderr, "orvex_fuzz: no seeds in %s\\%s\n", seedsDir.c_str(), target->seedFolder);
        return 2;
    }
    const std::string scratch = out + "\\scratch-" + target->name + Arg(argc, argv, "-scratch", "");
    CreateDirectoryA(scratch.c_str(), NULL);
    if (!SetCurrentDirectoryA(scratch.c_str()))
        return 2;
#ifndef FUZZ_SIDE_HOST
    SetMessageBoxFunction(CountBox);
#endif
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    AddVectoredExceptionHandler(1, OnFault);

    int reported = 0;
    for (uint64_t i = from; i < to; ++i) {
        FuzzInput input = InputAt(*target, seeds, seed, i);
#ifndef FUZZ_SIDE_HOST
        // Both placements of the no-access page, input by input.
        CHeapRegistry::SetGuardBefore(i & 1);
#endif
        g_shared->current = (LONG64)i;
        g_shared->startTick = GetTickCount();
        MemoryBarrier();
        g_shared->running = 1;
        g_inInput = 1;
        Verdict v = RunTarget(*target, input);
        g_inInput = 0;
        g_shared->running = 0;
        if (v.boxes)
            InterlockedExchangeAdd(&g_shared->boxes, v.boxes);
        if (!v.ok) {
            InterlockedIncrement(&g_shared->wrong);
            SaveInput(out + "\\" + target->name + "-wrong-" + std::to_string(i), input);
            if (++reported <= 5)
                fprintf(stderr, "  %s input %llu: %s\n", target->name, (unsigned long long)i, v.why.c_str());
        }
        g_shared->done = g_shared->done + 1;
    }
    return 0;
}

#if !defined(FUZZ_SIDE_PLUGIN) && !defined(FUZZ_SIDE_HOST)
struct Figures
{
    uint64_t inputs = 0, crashes = 0, hangs = 0, guards = 0, wrong = 0, boxes = 0, workers = 0;
    double seconds = 0;
};

// Which inputs of a target this command runs, a chunk at a time: all of them
// when it is alone, else the chunks it claims first. Other shards run in
// other Wine sessions, which share no kernel objects, only the Unix folder;
// creating a file that must not exist yet is atomic there too.
struct Shard
{
    uint64_t number = 0, count = 1;
    uint64_t chunkSize = ~0ull;
    std::string claims;
    // The next range [*from, *to) of this shard's inputs; `chunk` is where to
    // look on, 0 at first.
    bool Next(uint64_t total, uint64_t* chunk, uint64_t* from, uint64_t* to) const
    {
        const uint64_t size = chunkSize ? chunkSize : 1;
        const uint64_t chunks = total / size + (total % size ? 1 : 0);
        if (count > 1) {
            CreateDirectoryA(claims.c_str(), NULL);
            for (; *chunk < chunks; ++*chunk) {
                const std::string file = claims + "\\chunk-" + std::to_string(*chunk);
                HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                       NULL);
                if (h != INVALID_HANDLE_VALUE) {
                    CloseHandle(h);
                    break;
                }
                const DWORD error = GetLastError();
                if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
                    // The inputs left unclaimed show as missing from the figures.
                    fprintf(stderr, "orvex_fuzz: cannot claim %s (error %lu)\n", file.c_str(), (unsigned long)error);
                    return false;
                }
            }
        }
        if (*chunk >= chunks)
            return false;
        *from = *chunk * size;
        *to = total - *from > size ? *from + size : total;
        ++*chunk;
        return true;
    }
};

std::string ShardFile(const std::string& out, uint64_t number)
{
    return out + "\\interface-shard-" + std::to_string(number) + ".txt";
}

// A shard's figures for the shard that prints the target's line; written
// under another name first, so that the reader never sees half a file.
void WriteShardFigures(const std::string& file, const Figures& f)
{
    char line[256];
    snprintf(line, sizeof(line), "%llu %llu %llu %llu %llu %llu %.1f\n", (unsigned long long)f.inputs,
             (unsigned long long)f.crashes, (unsigned long long)f.hangs, (unsigned long long)f.guards,
             (unsigned long long)f.wrong, (unsigned long long)f.boxes, f.seconds);
    const std::string part = file + ".part";
    if (WriteFileBytes(part, line))
        MoveFileExA(part.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING);
}

// Waits for a shard's figures (the script writes a line without figures when
// a shard's command could not run) and adds them.
bool AddShardFigures(const std::string& file, Figures& f)
{
    std::string text;
    while (!ReadFileBytes(file, &text))
        Sleep(500);
    unsigned long long n[6];
    double seconds = 0;
    if (sscanf(text.c_str(), "%llu %llu %llu %llu %llu %llu %lf", &n[0], &n[1], &n[2], &n[3], &n[4], &n[5],
               &seconds) != 7)
        return false;
    f.inputs += n[0];
    f.crashes += n[1];
    f.hangs += n[2];
    f.guards += n[3];
    f.wrong += n[4];
    f.boxes += n[5];
    if (seconds > f.seconds)
        f.seconds = seconds;   // the shards run side by side
    return true;
}

// The command: every target, its inputs spread over as many workers as faults need.
Figures Drive(const Target& target, const std::string& self, uint64_t count, uint64_t seed,
              const std::string& seedsDir, const std::string& out, DWORD timeoutMs, const Shard& shard)
{
    Figures f;
    std::vector<FuzzInput> seeds;
    if (target.seedFolder)
        seeds = LoadSeeds(seedsDir + "\\" + target.seedFolder);
    const size_t slash = self.find_last_of("\\/");
    const std::string exe = (slash == std::string::npos ? std::string() : self.substr(0, slash + 1)) + target.worker;
    char shmName[64];
    snprintf(shmName, sizeof(shmName), "orvex_fuzz_%lu_%s", GetCurrentProcessId(), target.name);
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, sizeof(Shared), shmName);
    Shared* shared = mapping ? (Shared*)MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Shared)) : NULL;
    if (!shared) {
        fprintf(stderr, "orvex_fuzz: no shared memory\n");
        f.crashes = 1;
        return f;
    }
    const DWORD started = GetTickCount();
    DWORD lastReport = started;
    // An interface worker still gets a fresh process for every chunk, so
    // that whatever a load and unload of the library might leave in the
    // host cannot pile up over a whole run.
    uint64_t chunk = 0, next = 0, batchEnd = 0;
    bool stopped = false;
    while (!stopped && (next < batchEnd || shard.Next(count, &chunk, &next, &batchEnd))) {
        memset((void*)shared, 0, sizeof(Shared));
        shared->current = (LONG64)next;
        std::string cmd = "\"" + exe + "\" -worker " + target.name + " -seed " + std::to_string(seed) + " -from " +
                          std::to_string(next) + " -to " + std::to_string(batchEnd) + " -seeds \"" + seedsDir +
                          "\" -out \"" + out + "\" -shm " + shmName;
        if (shard.count > 1)
            cmd += " -scratch -" + std::to_string(shard.number);
        STARTUPINFOA si;
        memset(&si, 0, sizeof(si));
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi;
        if (!CreateProcessA(NULL, &cmd[0], NULL, NULL, TRUE, 0, NULL, NULL, &si, &pi)) {
            fprintf(stderr, "orvex_fuzz: cannot start %s\n", exe.c_str());
            f.crashes++;
            break;
        }
        ++f.workers;
        // A worker stuck between inputs (starting, or ending its process)
        // counts as hung too, after a minute without progress.
        bool hung = false;
        LONG64 lastDone = -1;
        DWORD lastProgress = GetTickCount();
        const DWORD idleLimit = timeoutMs > 60000 ? timeoutMs : 60000;
        while (WaitForSingleObject(pi.hProcess, 100) == WAIT_TIMEOUT) {
            // A long run tells how far it is every ten minutes.
            if (GetTickCount() - lastReport >= 600000) {
                lastReport = GetTickCount();
                fprintf(stderr, "  %s: %llu inputs in %.0f s, %llu crashes, %llu hangs, %llu guard, %llu wrong\n",
                        target.name, (unsigned long long)(f.inputs + (uint64_t)shared->done),
                        (GetTickCount() - started) / 1000.0, (unsigned long long)f.crashes,
                        (unsigned long long)f.hangs, (unsigned long long)f.guards,
                        (unsigned long long)(f.wrong + (uint64_t)shared->wrong));
            }
            if (shared->done != lastDone || shared->running) {
                lastDone = shared->done;
                lastProgress = GetTickCount();
            }
            if ((shared->running && GetTickCount() - shared->startTick > timeoutMs) ||
                (!shared->running && GetTickCount() - lastProgress > idleLimit)) {
                hung = true;
                TerminateProcess(pi.hProcess, 0x4A46);
                WaitForSingleObject(pi.hProcess, 10000);
                break;
            }
        }
        DWORD exitCode = 0;
        GetExitCodeProcess(pi.hProcess, &exitCode);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        f.wrong += (uint64_t)shared->wrong;
        f.boxes += (uint64_t)shared->boxes;
        if (!hung && exitCode == 0 && (uint64_t)shared->done == batchEnd - next) {
            f.inputs += batchEnd - next;
            next = batchEnd;
            continue;
        }
        if (!hung && exitCode == 2 && shared->done == 0 && !shared->running) {
            fprintf(stderr, "orvex_fuzz: the %s worker could not start\n", target.name);
            f.crashes++;
            stopped = true;
            continue;
        }
        const uint64_t failing = (uint64_t)shared->current;
        const char* what;
        if (hung) {
            ++f.hangs;
            what = "hang";
        } else if (shared->faultKind == GuardFault) {
            ++f.guards;
            what = "guard";
        } else {
            ++f.crashes;
            what = "crash";
        }
        std::string folder = out + "\\" + target.name + "-" + what + "-" + std::to_string(failing);
        SaveInput(folder, InputAt(target, seeds, seed, failing));
        fprintf(stderr, "  %s input %llu: %s (code %08lX at %llX, exit %08lX) -> %s\n", target.name,
                (unsigned long long)failing, what, (unsigned long)shared->faultCode,
                (unsigned long long)shared->faultAddress, (unsigned long)exitCode, folder.c_str());
        f.inputs += failing + 1 - next;
        next = failing + 1;
    }
    f.seconds = (GetTickCount() - started) / 1000.0;
    UnmapViewOfFile(shared);
    CloseHandle(mapping);
    return f;
}
#endif

int Replay(const std::string& targetName, const std::string& dir)
{
    const Target* target = FindTarget(targetName);
    if (!target)
        return 2;
    std::vector<FuzzInput> cases = LoadSeeds(dir);
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    std::string work = std::string(tmp) + "orvex_fuzz_replay_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(work.c_str(), NULL);
    SetCurrentDirectoryA(work.c_str());
#ifndef FUZZ_SIDE_HOST
    SetMessageBoxFunction(CountBox);
#endif
    int failed = 0;
    for (size_t i = 0; i < cases.size(); ++i) {
        for (int before = 0; before < 2; ++before) {
#ifndef FUZZ_SIDE_HOST
            CHeapRegistry::SetGuardBefore(before != 0);
#endif
            Verdict v = RunTarget(*target, cases[i]);
            if (!v.ok) {
                ++failed;
                fprintf(stderr, "  %s case %u: %s\n", target->name, (unsigned)i, v.why.c_str());
            }
        }
    }
    printf("%s: %u cases replayed, %d failed\n", target->name, (unsigned)cases.size(), failed);
    return failed ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    setvbuf(stdout, NULL, _IONBF, 0);
    if (Flag(argc, argv, "-worker"))
        return Worker(argc, argv);
    if (Flag(argc, argv, "-make-seeds")) {
        const std::string dir = Arg(argc, argv, "-make-seeds", "seeds");
#if defined(FUZZ_SIDE_PLUGIN)
        return MakeListSeeds(dir + "\\lists") ? 0 : 1;
#elif defined(FUZZ_SIDE_HOST)
        return 0;
#else
        std::vector<std::string> folders;
        WIN32_FIND_DATAA found;
        HANDLE h = FindFirstFileA((dir + "\\converter\\*").c_str(), &found);
        if (h == INVALID_HANDLE_VALUE)
            return 1;
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && found.cFileName[0] != '.')
                folders.push_back(dir + "\\converter\\" + found.cFileName);
        } while (FindNextFileA(h, &found));
        FindClose(h);
        for (const std::string& folder : folders)
            if (!AddDefaultKinds(folder))
                return 1;
        return 0;
#endif
    }
    if (Flag(argc, argv, "-replay")) {
        for (int i = 1; i + 2 < argc; ++i)
            if (!strcmp(argv[i], "-replay"))
                return Replay(argv[i + 1], argv[i + 2]);
        return 2;
    }
#if defined(FUZZ_SIDE_PLUGIN) || defined(FUZZ_SIDE_HOST)
    fprintf(stderr, "the workers are started by orvex_fuzz\n");
    return 2;
#else
    const uint64_t count = _strtoui64(Arg(argc, argv, "-count", "100000").c_str(), NULL, 10);
    const uint64_t seed = _strtoui64(Arg(argc, argv, "-seed", "1").c_str(), NULL, 10);
    const std::string seedsDir = FullPath(Arg(argc, argv, "-seeds", "seeds"));
    const std::string out = FullPath(Arg(argc, argv, "-out", "fuzz-out"));
    const DWORD timeoutMs = (DWORD)atoi(Arg(argc, argv, "-timeout-ms", "5000").c_str());
    // A load of the library per input is slow: its target may take fewer inputs.
    const uint64_t interfaceCount =
        _strtoui64(Arg(argc, argv, "-count-interface", std::to_string(count).c_str()).c_str(), NULL, 10);
    std::string targets = Arg(argc, argv, "-targets", "converter,reader,lists,interface");
    Shard interfaceShard;
    unsigned long long shardNumber = 0, shardCount = 1;
    if (sscanf(Arg(argc, argv, "-interface-shard", "0/1").c_str(), "%llu/%llu", &shardNumber, &shardCount) != 2 ||
        shardCount < 1 || shardNumber >= shardCount) {
        fprintf(stderr, "orvex_fuzz: -interface-shard K/N with K < N\n");
        return 2;
    }
    interfaceShard.number = shardNumber;
    interfaceShard.count = shardCount;
    interfaceShard.claims = out + "\\interface-claims";
    // Every chunk gets a fresh worker process: about 15 s of interface inputs.
    interfaceShard.chunkSize = 100;
    CreateDirectoryA(out.c_str(), NULL);
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, MAX_PATH);

    printf("seed %llu, %llu inputs per target (interface %llu), timeout %lu ms, failing inputs in %s\n", (unsigned long long)seed,
           (unsigned long long)count, (unsigned long long)interfaceCount, (unsigned long)timeoutMs, out.c_str());
    printf("%-10s %9s %9s %8s %6s %7s %6s %6s %8s\n", "target", "inputs", "exec/s", "crashes", "hangs", "guard",
           "wrong", "boxes", "seconds");
    bool clean = true;
    size_t start = 0;
    while (start <= targets.size()) {
        size_t comma = targets.find(',', start);
        std::string name = targets.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        start = comma == std::string::npos ? targets.size() + 1 : comma + 1;
        const Target* target = FindTarget(name);
        if (!target) {
            fprintf(stderr, "orvex_fuzz: no target %s\n", name.c_str());
            return 2;
        }
        const uint64_t inputs = target->seedFolder ? count : interfaceCount;
        const Shard shard = target->seedFolder ? Shard() : interfaceShard;
        Figures f = Drive(*target, self, inputs, seed, seedsDir, out, timeoutMs, shard);
        if (shard.number > 0) {
            WriteShardFigures(ShardFile(out, shard.number), f);
            clean = clean && !f.crashes && !f.hangs && !f.guards && !f.wrong;
            printf("%s shard %llu/%llu: %llu inputs, %.1f s\n", target->name, (unsigned long long)shard.number,
                   (unsigned long long)shard.count, (unsigned long long)f.inputs, f.seconds);
            continue;
        }
        for (uint64_t k = 1; k < shard.count; ++k)
            if (!AddShardFigures(ShardFile(out, k), f)) {
                fprintf(stderr, "orvex_fuzz: %s shard %llu did not run\n", target->name, (unsigned long long)k);
                f.crashes++;
            }
        printf("%-10s %9llu %9.1f %8llu %6llu %7llu %6llu %6llu %8.1f\n", target->name,
               (unsigned long long)f.inputs, f.seconds > 0 ? f.inputs / f.seconds : 0.0,
               (unsigned long long)f.crashes, (unsigned long long)f.hangs, (unsigned long long)f.guards,
               (unsigned long long)f.wrong, (unsigned long long)f.boxes, f.seconds);
        clean = clean && !f.crashes && !f.hangs && !f.guards && !f.wrong && f.inputs == inputs;
    }
    printf(clean ? "clean\n" : "FAULTS FOUND\n");
    return clean ? 0 : 1;
#endif
}
