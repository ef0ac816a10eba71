// The fuzzing command's inputs: a set of named files, the deterministic random
// source, the mutations a broken or hand-edited file shows, and saving and
// loading inputs as folders.
#ifndef TOOLS_FUZZ_FUZZINPUT_H
#define TOOLS_FUZZ_FUZZINPUT_H

#include <stdint.h>

#include <string>
#include <vector>

namespace fuzz {

struct FuzzFile
{
    std::string name;
    std::string bytes;
    bool present = true;   // false: the file is missing
};
typedef std::vector<FuzzFile> FuzzInput;

// splitmix64: the same stream on every machine, from (seed, target, index).
class Rng
{
public:
    explicit Rng(uint64_t seed) : m_state(seed) {}
    uint64_t Next()
    {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n-1; 0 for n == 0.
    size_t Below(size_t n) { return n ? (size_t)(Next() % n) : 0; }
    bool Chance(int percent) { return (int)Below(100) < percent; }

private:
    uint64_t m_state;
};

uint64_t InputSeed(uint64_t seed, const char* target, uint64_t index);

// Kinds of file the mutations know: text tables, or raw record images.
enum FileKind { ReportText, GoodsText, KindsText, ListImage };
FileKind KindOf(const std::string& name);

void MutateText(Rng& rng, std::string& text, FileKind kind);
void MutateImage(Rng& rng, std::string& image);

// Seeds: every sub-folder of `dir` is one seed; its files form the input.
std::vector<FuzzInput> LoadSeeds(const std::string& dir);
// One input of a target: a seed, some of its files mutated (now and then one missing).
FuzzInput MakeInput(const std::vector<FuzzInput>& seeds, uint64_t seed, const char* target, uint64_t index);

bool SaveInput(const std::string& dir, const FuzzInput& input);
bool LoadInput(const std::string& dir, FuzzInput* input);
// The files present in the current directory, the input's own, replaced.
bool PutInput(const FuzzInput& input);
bool ReadFileBytes(const std::string& path, std::string* bytes);
bool WriteFileBytes(const std::string& path, const std::string& bytes);

}  // namespace fuzz

#endif
