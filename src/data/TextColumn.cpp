#include "data/TextColumn.h"

namespace vantorel::data {

void TextColumn::append(const char* utf8, qsizetype size)
{
    m_bytes.append(utf8, size);
    m_ends.append(m_bytes.size());
}

void TextColumn::append(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    append(utf8.constData(), utf8.size());
}

QString TextColumn::text(qsizetype entry, qsizetype maxBytes) const
{
    if (entry < 0 || entry >= m_ends.size())
        return QString();
    const qsizetype begin = entry == 0 ? 0 : m_ends.at(entry - 1);
    qsizetype size = m_ends.at(entry) - begin;
    if (maxBytes >= 0 && size > maxBytes) {
        size = maxBytes;
        // Back to the start of a character, so the cut never leaves half of one.
        while (size > 0 && (uchar(m_bytes.at(begin + size)) & 0xC0) == 0x80)
            --size;
    }
    return QString::fromUtf8(m_bytes.constData() + begin, size);
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
