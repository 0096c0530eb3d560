#include "data/TextColumn.h"

#include "data/StoreError.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <new>

#include <sys/mman.h>

namespace vantorel::data {

namespace {

constexpr std::size_t kHugePage = std::size_t(2) << 20;
// The first block is small, so a short report takes little memory; a longer one goes on in blocks
// of one huge page each.
constexpr std::size_t kFirstBlockBytes = std::size_t(64) << 10;

// The block after one of `previous` bytes.
std::size_t nextBlockBytes(std::size_t previous)
{
    return previous == 0 ? kFirstBlockBytes : kHugePage;
}

// The block of `firsts` (each block's first entry, ascending) that holds `entry`.
std::size_t blockOf(const std::vector<qsizetype>& firsts, qsizetype entry)
{
    return std::size_t(std::upper_bound(firsts.begin(), firsts.end(), entry) - firsts.begin()) - 1;
}

} // namespace

void* allocateLargePages(std::size_t bytes)
{
    if (bytes < kHugePage) {
        if (void* memory = std::malloc(std::max<std::size_t>(bytes, 1)))
            return memory;
        throw std::bad_alloc();
    }
    const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* memory = std::aligned_alloc(kHugePage, rounded);
    if (!memory)
        throw std::bad_alloc();
    // Only advice: where the kernel has no huge pages to give, the block works as any other.
    madvise(memory, rounded, MADV_HUGEPAGE);
    return memory;
}

void releaseLargePages(void* memory)
{
    std::free(memory);
}

void TextColumn::startTextBlock(qsizetype least)
{
    // Offsets are four bytes: an entry of more than 4 GB is refused, not wrapped.
    if (std::size_t(least) > std::numeric_limits<quint32>::max())
        throw StoreError(QStringLiteral("The listing holds more text than can be shown."), QString());
    const std::size_t previous = m_text.empty() ? 0 : m_text.back().capacity();
    m_text.emplace_back().reserve(std::max(nextBlockBytes(previous), std::size_t(least)));
    m_textFirst.push_back(m_size);
}

void TextColumn::startEndsBlock()
{
    const std::size_t previous = m_ends.empty() ? 0 : m_ends.back().capacity() * sizeof(quint32);
    m_ends.emplace_back().reserve(nextBlockBytes(previous) / sizeof(quint32));
    m_endsFirst.push_back(m_size);
}

void TextColumn::append(const char* utf8, qsizetype size)
{
    if (m_text.empty() || m_text.back().capacity() - m_text.back().size() < std::size_t(size))
        startTextBlock(size);
    Block<char>& text = m_text.back();
    text.insert(text.end(), utf8, utf8 + size);
    if (m_ends.empty() || m_ends.back().size() == m_ends.back().capacity())
        startEndsBlock();
    m_ends.back().push_back(quint32(text.size()));
    ++m_size;
}

void TextColumn::append(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    append(utf8.constData(), utf8.size());
}

quint32 TextColumn::endOf(qsizetype entry) const
{
    const std::size_t block = blockOf(m_endsFirst, entry);
    return m_ends[block][std::size_t(entry - m_endsFirst[block])];
}

QString TextColumn::text(qsizetype entry, qsizetype maxBytes) const
{
    if (entry < 0 || entry >= m_size)
        return QString();
    const std::size_t block = blockOf(m_textFirst, entry);
    const Block<char>& text = m_text[block];
    const qsizetype begin = entry == m_textFirst[block] ? 0 : endOf(entry - 1);
    qsizetype size = endOf(entry) - begin;
    if (maxBytes >= 0 && size > maxBytes) {
        size = maxBytes;
        // Back to the start of a character, so the cut never leaves half of one.
        while (size > 0 && (uchar(text[std::size_t(begin + size)]) & 0xC0) == 0x80)
            --size;
    }
    return QString::fromUtf8(text.data() + begin, size);
}

QStringList TextColumn::toStringList() const
{
    QStringList entries;
    entries.reserve(size());
    for (qsizetype entry = 0; entry < size(); ++entry)
        entries.append(text(entry));
    return entries;
}

} // namespace vantorel::data
