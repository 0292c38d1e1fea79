#include "library/CaseFoldedOrder.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <thread>
#include <vector>

namespace nimbrel::library {

namespace {

struct Entry {
    std::uint64_t head[2]; // the first eight code units past the shared part, big end first
    std::uint32_t offset;  // of the folded text in the block
    std::uint32_t length;
    std::uint32_t index;   // in the input: breaks ties so equal texts keep their order
};

class Sorter {
public:
    explicit Sorter(const QStringList& texts) {
        m_entries.reserve(texts.size());
        for (qsizetype i = 0; i < texts.size(); ++i) {
            const QString& text = texts.at(i);
            if (text.isEmpty())
                continue;
            Entry e{};
            e.offset = std::uint32_t(m_block.size());
            e.index = std::uint32_t(i);
            appendFolded(text);
            e.length = std::uint32_t(m_block.size() - e.offset);
            m_entries.push_back(e);
        }
        const std::size_t shared = sharedLength();
        for (Entry& e : m_entries)
            fillHead(e, shared);
    }

    std::vector<Entry> sortedEntries() {
        const auto less = [this](const Entry& a, const Entry& b) { return before(a, b); };
        // Below this many a second thread costs more than it saves.
        constexpr std::size_t kParallelFrom = 50000;
        if (m_entries.size() < kParallelFrom) {
            std::sort(m_entries.begin(), m_entries.end(), less);
            return std::move(m_entries);
        }
        const auto middle = m_entries.begin() + std::ptrdiff_t(m_entries.size() / 2);
        std::thread firstHalf([&] { std::sort(m_entries.begin(), middle, less); });
        std::sort(middle, m_entries.end(), less);
        firstHalf.join();
        std::vector<Entry> merged(m_entries.size());
        std::merge(m_entries.begin(), middle, middle, m_entries.end(), merged.begin(), less);
        return merged;
    }

private:
    // Most paths are plain ASCII: folded here without a copy of their own.
    void appendFolded(const QString& text) {
        const char16_t* units = reinterpret_cast<const char16_t*>(text.utf16());
        const std::size_t start = m_block.size();
        m_block.append(units, std::size_t(text.size()));
        for (std::size_t k = start; k < m_block.size(); ++k) {
            char16_t& c = m_block[k];
            if (c >= u'A' && c <= u'Z') {
                c = char16_t(c + (u'a' - u'A'));
            } else if (c >= 0x80) {
                m_block.resize(start);
                const QString folded = text.toCaseFolded();
                m_block.append(reinterpret_cast<const char16_t*>(folded.utf16()), std::size_t(folded.size()));
                return;
            }
        }
    }

    std::u16string_view text(const Entry& e) const { return {m_block.data() + e.offset, e.length}; }

    std::size_t sharedLength() const {
        if (m_entries.empty())
            return 0;
        std::u16string_view first = text(m_entries.front());
        std::size_t shared = first.size();
        for (const Entry& e : m_entries) {
            const std::u16string_view t = text(e);
            const std::size_t n = std::min(shared, t.size());
            std::size_t k = 0;
            while (k < n && t[k] == first[k])
                ++k;
            shared = k;
            if (shared == 0)
                break;
        }
        return shared;
    }

    void fillHead(Entry& e, std::size_t shared) const {
        const std::u16string_view t = text(e);
        for (int word = 0; word < 2; ++word) {
            std::uint64_t packed = 0;
            for (int unit = 0; unit < 4; ++unit) {
                const std::size_t at = shared + std::size_t(word * 4 + unit);
                // A missing unit sorts before any real one, as a shorter text does.
                packed = (packed << 16) | (at < t.size() ? std::uint64_t(t[at]) : 0);
            }
            e.head[word] = packed;
        }
    }

    bool before(const Entry& a, const Entry& b) const {
        if (a.head[0] != b.head[0])
            return a.head[0] < b.head[0];
        if (a.head[1] != b.head[1])
            return a.head[1] < b.head[1];
        const int order = text(a).compare(text(b));
        return order != 0 ? order < 0 : a.index < b.index;
    }

    std::u16string m_block;
    std::vector<Entry> m_entries;
};

} // namespace

QStringList CaseFoldedOrder::sorted(const QStringList& texts) {
    Sorter sorter(texts);
    const std::vector<Entry> order = sorter.sortedEntries();
    QStringList out;
    out.reserve(qsizetype(order.size()));
    for (const Entry& e : order)
        out.append(texts.at(e.index));
    return out;
}

} // namespace nimbrel::library
