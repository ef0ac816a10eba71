// CCodeIndex: goods positions by code, for the longest-prefix match of report
// header rows and the exact lookup of the move export. It answers exactly what
// a scan of the positions in table order answers (the first of equal codes).
#ifndef CONVERTER_CODEINDEX_H
#define CONVERTER_CODEINDEX_H

#include <string_view>
#include <unordered_map>
#include <vector>

class CCodeIndex
{
public:
    // The positions' codes in table order (codes[i] is position i's). The
    // index points into the texts the views name, so it is built again
    // whenever they change.
    void Build(const std::vector<std::string_view>& codes);

    // First position whose code equals `code` exactly; -1 when none.
    int FindExact(std::string_view code) const;
    // Position with the longest non-empty code that is a prefix of `text`
    // (the first of them in table order); -1 when none.
    int FindLongestPrefix(std::string_view text) const;

private:
    std::unordered_map<std::string_view, int> m_first;
    std::vector<size_t> m_lengths;   // distinct non-zero code lengths, longest first
};

#endif
