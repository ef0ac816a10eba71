// CCodeIndex: goods positions by code, for the header rows and the move export.
#include "CodeIndex.h"

#include <algorithm>
#include <string.h>

void CCodeIndex::Build(const std::vector<std::string_view>& codes)
{
    const size_t count = codes.size();
    m_first.clear();
    m_lengths.clear();
    m_first.reserve(count * 2);
    for (size_t i = 0; i < count; ++i) {
        const std::string_view code = codes[i];
        if (m_first.emplace(code, (int)i).second && !code.empty())
            m_lengths.push_back(code.size());
    }
    std::sort(m_lengths.begin(), m_lengths.end(), [](size_t a, size_t b) { return a > b; });
    m_lengths.erase(std::unique(m_lengths.begin(), m_lengths.end()), m_lengths.end());
}

int CCodeIndex::FindExact(std::string_view code) const
{
    auto it = m_first.find(code);
    return it == m_first.end() ? -1 : it->second;
}

int CCodeIndex::FindLongestPrefix(std::string_view text) const
{
    for (size_t length : m_lengths) {
        if (length > text.size())
            continue;
        auto it = m_first.find(text.substr(0, length));
        if (it != m_first.end())
            return it->second;
    }
    return -1;
}
