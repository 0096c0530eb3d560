#include "data/TextColumn.h"

#include "data/StoreError.h"

#include <algorithm>
#include <limits>

namespace vantorel::data {

namespace {

// A page's buffer is reserved as large as the page before it came to, up to this: entries alike
// in length then fill it without a copy, and one huge value does not make every later page huge.
constexpr std::size_t kLargestReservation = std::size_t(1) << 20;

} // namespace

void TextColumn::startPage()
{
    const std::size_t previous = m_pages.empty() ? 0 : m_pages.back().bytes.size();
    Page& page = m_pages.emplace_back();
    page.ends.reserve(kPageEntries);
    page.bytes.reserve(std::min(previous, kLargestReservation));
}

void TextColumn::append(const char* utf8, qsizetype size)
{
    if (m_size % kPageEntries == 0)
        startPage();
    Page& page = m_pages.back();
    // Offsets are four bytes: a page holding more than 4 GB of text is refused, not wrapped.
    if (page.bytes.size() + std::size_t(size) > std::numeric_limits<quint32>::max())
        throw StoreError(QStringLiteral("The listing holds more text than can be shown."), QString());
    page.bytes.append(utf8, std::size_t(size));
    page.ends.push_back(quint32(page.bytes.size()));
    ++m_size;
}

void TextColumn::append(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    append(utf8.constData(), utf8.size());
}

QString TextColumn::text(qsizetype entry, qsizetype maxBytes) const
{
    if (entry < 0 || entry >= m_size)
        return QString();
    const Page& page = m_pages[std::size_t(entry / kPageEntries)];
    const qsizetype slot = entry % kPageEntries;
    const qsizetype begin = slot == 0 ? 0 : page.ends[slot - 1];
    qsizetype size = page.ends[slot] - begin;
    if (maxBytes >= 0 && size > maxBytes) {
        size = maxBytes;
        // Back to the start of a character, so the cut never leaves half of one.
        while (size > 0 && (uchar(page.bytes[std::size_t(begin + size)]) & 0xC0) == 0x80)
            --size;
    }
    return QString::fromUtf8(page.bytes.data() + begin, size);
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
