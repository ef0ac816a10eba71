// The fuzzing targets: each runs one input in the current directory (a scratch
// folder) and checks what the specified behaviour allows. A fault of memory
// is not caught here: the command's worker process catches it.
#ifndef TOOLS_FUZZ_FUZZTARGETS_H
#define TOOLS_FUZZ_FUZZTARGETS_H

#include <string>

#include "FuzzInput.h"

namespace fuzz {

struct Verdict
{
    bool ok = true;
    std::string why;   // the first rule the run broke
    int boxes = 0;     // message boxes of a loaded library, counted by the target
    void Fail(const std::string& reason)
    {
        if (ok)
            why = reason;
        ok = false;
    }
};

// The converter's whole run: Run on a fresh converter, console texts, the four exports.
Verdict RunConverterInput(const FuzzInput& input);
// The delimited text reader alone: file "text", separators in file "separators".
Verdict RunReaderInput(const FuzzInput& input);
// The reader's input made from a converter input: one of its texts, a separator pair.
FuzzInput ReaderInputFrom(const FuzzInput& converterInput, uint64_t seed, uint64_t index);
// The four list files: LoadLists, figures, every supplier's dynamics, every row's report.
Verdict RunListsInput(const FuzzInput& input);

// Orvex_DLL.dll loaded by a host that calls the twelve operations as the
// input's file "calls" says; the library unloaded after every input.
Verdict RunInterfaceInput(const FuzzInput& input);
// That target's inputs are made from seed and index alone: no seed files.
FuzzInput MakeInterfaceInput(uint64_t seed, uint64_t index);

// Seed files the tool makes itself: the default kinds table beside each report
// seed, and list files saved from a small store.
bool AddDefaultKinds(const std::string& seedDir);
bool MakeListSeeds(const std::string& dir);

}  // namespace fuzz

#endif
