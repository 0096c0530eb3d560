#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

namespace vantorel::data {

// One column of a listing, kept in pages of a few thousand entries: each page's text in one UTF-8
// buffer with each entry's end as a 4-byte offset into it. A full page never moves or grows, so
// a million entries are appended without copying what came before, and cost their text plus four
// bytes each.
class TextColumn {
public:
    void append(const char* utf8, qsizetype size);
    void append(const QString& text);

    qsizetype size() const { return m_size; }
    // The entry's text, or its start when it holds more than `maxBytes` bytes of UTF-8; empty
    // text past the last entry.
    QString text(qsizetype entry, qsizetype maxBytes = -1) const;
    QStringList toStringList() const;

private:
    static constexpr qsizetype kPageEntries = 4096;

    struct Page {
        std::string bytes;
        std::vector<quint32> ends;
    };

    void startPage();

    std::vector<Page> m_pages;
    qsizetype m_size = 0;
};

} // namespace vantorel::data
