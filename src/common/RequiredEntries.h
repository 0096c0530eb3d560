#pragma once

#include <QList>
#include <QString>

class QGridLayout;
class QLineEdit;
class QWidget;

namespace vantorel {

// The captioned text boxes of an entry window, each required, tested in the order they were
// added. A box fails only when its text is exactly empty: blanks count as an entry.
class RequiredEntries {
public:
    // Adds a caption and its box as the next row of `grid`, from row 0 down.
    QLineEdit* add(QGridLayout* grid, const char* captionName, const QString& caption, const char* boxName,
        const QString& messageWhenEmpty);

    // Tells the user about the first empty box and puts the focus there; true when none is empty.
    bool allFilled(QWidget* window) const;

    // Empties every box in row order; the focus stays where it is.
    void clear() const;

    QList<QLineEdit*> boxes() const;

private:
    struct Entry {
        QLineEdit* box;
        QString messageWhenEmpty;
    };
    QList<Entry> m_entries;
};

} // namespace vantorel
