#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace vantorel::data {

// One column of a listing: every entry's text in one UTF-8 buffer with the entries' end offsets,
// so a hundred thousand entries cost two allocations instead of a hundred thousand strings.
class TextColumn {
public:
    void append(const char* utf8, qsizetype size);
    void append(const QString& text);

    qsizetype size() const { return m_ends.size(); }
    // The entry's text, or its start when it holds more than `maxBytes` bytes of UTF-8; empty
    // text past the last entry.
    QString text(qsizetype entry, qsizetype maxBytes = -1) const;
    QStringList toStringList() const;

private:
    QByteArray m_bytes;
    QList<qsizetype> m_ends;
};

} // namespace vantorel::data
