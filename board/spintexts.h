#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace roulette
{

/// Texts that spins replaced and that cannot be worked out again, for taking the spins
/// back. A text is kept once for a run of spins that replaced the same text, however long
/// the run and the text.
class SpinTexts
{
public:
    /// Spin `spin` replaced text.
    void remember(std::int64_t spin, const std::string &text)
    {
        if (m_texts.empty() || m_texts.rbegin()->second != text)
            m_texts.emplace(spin, text);
    }
    /// The text spin `spin` replaced, the last spin remembered; forgets the spin.
    std::string take(std::int64_t spin)
    {
        auto it = std::prev(m_texts.upper_bound(spin));
        std::string text = it->first == spin ? std::move(m_texts.extract(it).mapped()) : it->second;
        return text;
    }
    void clear() { m_texts.clear(); }

private:
    std::map<std::int64_t, std::string> m_texts; // from the first spin of each run
};

} // namespace roulette
