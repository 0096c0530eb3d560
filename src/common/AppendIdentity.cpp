#include "common/AppendIdentity.h"

#include <QRandomGenerator>

namespace vantorel {

QString AppendIdentity::forEntries(const QStringList& entries)
{
    if (!isUnconfirmed(entries)) {
        // 128 random bits: no two appends of any workstation ever share one.
        QRandomGenerator* random = QRandomGenerator::system();
        m_identity = QStringLiteral("%1%2").arg(random->generate64(), 16, 16, QLatin1Char('0')).arg(random->generate64(), 16, 16, QLatin1Char('0'));
        m_entries = entries;
    }
    return m_identity;
}

bool AppendIdentity::isUnconfirmed(const QStringList& entries) const
{
    return !m_identity.isEmpty() && entries == m_entries;
}

void AppendIdentity::confirmed()
{
    m_identity.clear();
    m_entries.clear();
}

} // namespace vantorel
