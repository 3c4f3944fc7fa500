#include "text/ListSplit.h"

#include "frame/Errors.h"

namespace Kor2_Sys::text {
namespace {

constexpr char16_t kBlank = u' ';
constexpr char16_t kComma = u',';
constexpr char16_t kQuote = u'"';
constexpr long kLastPosition = 32767;

// Positions are 16-bit: a position past 32,767 is an overflow, which ends the split.
long checked(long position)
{
    if (position > kLastPosition)
        throw errors::overflow();
    return position;
}

class Splitter {
public:
    Splitter(std::u16string_view tira, std::vector<Text>& items, Long& count)
        : m_tira(tira), m_items(items), m_count(count) {}

    void run()
    {
        const long length = static_cast<long>(m_tira.size());
        long i = 1;
        while (i <= length && at(i) == kBlank)
            i = checked(i + 1);
        while (i <= length) {
            // A piece is one unit, or the inside of a quoted item; a separator is exactly one
            // blank or one comma.
            std::u16string_view piece = m_tira.substr(static_cast<std::size_t>(i - 1), 1);
            if (piece[0] == kQuote && m_acc.empty())
                piece = quoted(i);
            if (piece.size() == 1 && (piece[0] == kBlank || piece[0] == kComma)) {
                i = separator(i, piece[0]);
            } else {
                m_acc.append(piece);
            }
            i = checked(i + 1);
        }
    }

private:
    char16_t at(long position) const { return m_tira[static_cast<std::size_t>(position - 1)]; }

    // The quote rule: a quote that opens an item and whose next quote is followed by a blank or a
    // comma makes one item of everything between them (a lone blank for an empty pair).
    std::u16string_view quoted(long& i)
    {
        const auto next = m_tira.find(kQuote, static_cast<std::size_t>(i));
        if (next == std::u16string_view::npos)
            return m_tira.substr(static_cast<std::size_t>(i - 1), 1);
        const long j = checked(static_cast<long>(next) + 1);
        const long after = j + 1;
        if (after > static_cast<long>(m_tira.size()) || (at(after) != kBlank && at(after) != kComma))
            return m_tira.substr(static_cast<std::size_t>(i - 1), 1);
        const long start = i;
        i = j;
        if (j == start + 1)
            return std::u16string_view(&kBlank, 1);
        return m_tira.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(j - start - 1));
    }

    void store(Text item)
    {
        ++m_count;
        m_items.push_back(std::move(item));
    }

    // Stores the item the separator closes, then takes in the rest of the run of separators:
    // blanks are skipped, and every comma after the first one of the run adds an empty item.
    long separator(long i, char16_t piece)
    {
        store(std::move(m_acc));
        m_acc.clear();
        const long length = static_cast<long>(m_tira.size());
        long k = checked(i + 1);
        for (; k <= length; k = checked(k + 1)) {
            const char16_t c = at(k);
            if (c == kComma) {
                if (piece == kComma)
                    store(Text());
                piece = kComma;
            } else if (c != kBlank) {
                break;
            }
        }
        return k - 1;
    }

    std::u16string_view m_tira;
    std::vector<Text>& m_items;
    Long& m_count;
    Text m_acc;
};

} // namespace

void splitList(std::u16string_view tira, std::vector<Text>& items, Long& count)
{
    Splitter(tira, items, count).run();
}

} // namespace Kor2_Sys::text
