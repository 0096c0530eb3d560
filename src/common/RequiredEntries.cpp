#include "common/RequiredEntries.h"

#include "common/Controls.h"
#include "common/MessageBox.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace vantorel {

QLineEdit* RequiredEntries::add(QGridLayout* grid, const char* captionName, const QString& caption,
    const char* boxName, const QString& messageWhenEmpty)
{
    QWidget* window = grid->parentWidget();
    const int row = int(m_entries.size());
    QLineEdit* box = makeTextBox(QString::fromLatin1(boxName), window);
    grid->addWidget(makeCaption(QString::fromLatin1(captionName), caption, window, box), row, 0);
    grid->addWidget(box, row, 1);
    m_entries.append(Entry { box, messageWhenEmpty });
    return box;
}

bool RequiredEntries::allFilled(QWidget* window) const
{
    for (const Entry& entry : m_entries) {
        if (entry.box->text().isEmpty()) {
            showMessage(window, entry.messageWhenEmpty);
            entry.box->setFocus();
            return false;
        }
    }
    return true;
}

void RequiredEntries::clear() const
{
    for (const Entry& entry : m_entries)
        entry.box->clear();
}

QList<QLineEdit*> RequiredEntries::boxes() const
{
    QList<QLineEdit*> boxes;
    for (const Entry& entry : m_entries)
        boxes.append(entry.box);
    return boxes;
}

} // namespace vantorel
