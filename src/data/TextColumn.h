#pragma once

#include <QString>
#include <QStringList>

#include <cstddef>
#include <vector>

namespace vantorel::data {

// Memory for large buffers: blocks of 2 MB and more are aligned to the kernel's huge pages and
// asked to be backed by them, so filling a million entries costs a few dozen page faults rather
// than tens of thousands (on a virtual machine each fault costs more than reading a row).
void* allocateLargePages(std::size_t bytes);
void releaseLargePages(void* memory);

template <typename T>
struct LargePageAllocator {
    using value_type = T;
    LargePageAllocator() = default;
    template <typename U>
    LargePageAllocator(const LargePageAllocator<U>&) noexcept
    {
    }
    T* allocate(std::size_t count) { return static_cast<T*>(allocateLargePages(count * sizeof(T))); }
    void deallocate(T* memory, std::size_t) noexcept { releaseLargePages(memory); }
    friend bool operator==(const LargePageAllocator&, const LargePageAllocator&) { return true; }
    friend bool operator!=(const LargePageAllocator&, const LargePageAllocator&) { return false; }
};

// One column of a listing: the entries' text in blocks of UTF-8, each entry whole in one block, and
// each entry's end as a 4-byte offset into its block. Blocks are never moved or grown once made,
// so a million entries are appended without copying what came before, and cost their text plus
// four bytes each.
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
    template <typename T>
    using Block = std::vector<T, LargePageAllocator<T>>;

    void startTextBlock(qsizetype least);
    void startEndsBlock();
    quint32 endOf(qsizetype entry) const;

    std::vector<Block<char>> m_text;
    std::vector<qsizetype> m_textFirst; // the first entry of each text block
    std::vector<Block<quint32>> m_ends;
    std::vector<qsizetype> m_endsFirst; // the first entry of each block of ends
    qsizetype m_size = 0;
};

} // namespace vantorel::data
