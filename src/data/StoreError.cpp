#include "data/StoreError.h"

namespace vantorel::data {

StoreError::StoreError(const QString& attempt, const QString& storeMessage, Kind kind)
    : std::runtime_error((attempt + QLatin1Char(' ') + storeMessage).toStdString())
    , m_attempt(attempt)
    , m_storeMessage(storeMessage.trimmed())
    , m_kind(kind)
{
}

QString StoreError::message() const
{
    if (m_storeMessage.isEmpty())
        return m_attempt;
    return m_attempt + QStringLiteral("\n\nThe database reported: ") + m_storeMessage;
}

} // namespace vantorel::data
