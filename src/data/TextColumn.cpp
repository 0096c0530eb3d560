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

QString TextColumn::text(qsizetype entry) const
{
    if (entry < 0 || entry >= m_ends.size())
        return QString();
    const qsizetype begin = entry == 0 ? 0 : m_ends.at(entry - 1);
    return QString::fromUtf8(m_bytes.constData() + begin, m_ends.at(entry) - begin);
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
