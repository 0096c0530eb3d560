#include "data/TableScan.h"

#include "data/Connection.h"
#include "data/Tables.h"

namespace vantorel::data {

namespace {

QString readAttempt(const Connection& connection, const TableDescription& table)
{
    return QStringLiteral("Could not read the table %1 in %2.").arg(table.sqlName(), connection.place());
}

} // namespace

std::unique_ptr<RowScan> recordsAfter(Connection& connection, const TableDescription& table, qint64 position)
{
    return connection.select(QStringLiteral("select * from %1 where %2 > ? order by %2")
                                 .arg(table.sqlName(), connection.orderColumn()),
                             {QVariant(qlonglong(position))}, readAttempt(connection, table));
}

qint64 recordCount(Connection& connection, const TableDescription& table)
{
    const auto scan = connection.select(QStringLiteral("select count(*) from %1").arg(table.sqlName()), {},
                                        readAttempt(connection, table));
    return scan->next() ? scan->text(0).toLongLong() : 0;
}

qint64 lastPosition(Connection& connection, const TableDescription& table)
{
    const auto scan = connection.select(
        QStringLiteral("select max(%1) from %2").arg(connection.orderColumn(), table.sqlName()), {},
        readAttempt(connection, table));
    return scan->next() ? scan->text(0).toLongLong() : 0;
}

} // namespace vantorel::data
