#include "data/ReportQuery.h"

#include "data/Database.h"
#include "data/RowScan.h"
#include "data/StoredValues.h"
#include "data/Tables.h"

#include <algorithm>

namespace vantorel::data {

namespace {

const TableDescription& described(ReportTable table)
{
    return table == ReportTable::Person ? kPersonTable : kVehicleTable;
}

QString fieldName(ReportField field)
{
    switch (field) {
    case ReportField::IDNumber: return QStringLiteral("IDNumber");
    case ReportField::LName: return QStringLiteral("LName");
    case ReportField::Manager: return QStringLiteral("Manager");
    case ReportField::VNumber: return QStringLiteral("VNumber");
    case ReportField::Location: return QStringLiteral("Location");
    case ReportField::Date: return QStringLiteral("\"Date\"");
    case ReportField::ContractNumber: return QStringLiteral("ContractNumber");
    case ReportField::License: return QStringLiteral("License");
    case ReportField::Make: return QStringLiteral("Make");
    case ReportField::Model: return QStringLiteral("Model");
    case ReportField::Year: return QStringLiteral("Year");
    case ReportField::DatePurchased: return QStringLiteral("DatePurchased");
    }
    return {};
}

bool isServicingField(ReportField field)
{
    return field == ReportField::Location || field == ReportField::Date;
}

QString conditionText(const ReportCondition& condition, QVariantList& values)
{
    values.append(textValue(condition.text));
    const QString test = fieldName(condition.field) + QStringLiteral(" = ?");
    if (isServicingField(condition.field))
        return QStringLiteral("VNumber in (select VNumber from Servicing where %1)").arg(test);
    return test;
}

// Whether the row's Manager field gives every answer asked for. Read by the log-in's own rule
// rather than in SQL, so "Manager? Yes" lists exactly the users the log-in makes managers.
bool passes(const RowScan& scan, int managerField, const QList<bool>& managerTests)
{
    return std::all_of(managerTests.begin(), managerTests.end(),
                       [&](bool manager) { return scan.isYes(managerField) == manager; });
}

} // namespace

bool reportCanSearch(ReportTable table, ReportField field)
{
    const bool personField = field == ReportField::IDNumber || field == ReportField::LName
        || field == ReportField::Manager;
    return (table == ReportTable::Person) == personField;
}

ReportStatement reportStatement(ReportTable table, const QList<ReportCondition>& conditions)
{
    ReportStatement statement{QStringLiteral("select * from ") + described(table).sqlName(), {}, {}};
    QStringList tests;
    for (const ReportCondition& condition : conditions) {
        if (condition.field == ReportField::Manager)
            statement.managerTests.append(condition.manager);
        else
            tests.append(conditionText(condition, statement.values));
    }
    if (!tests.isEmpty())
        statement.sql += QStringLiteral(" where ") + tests.join(QStringLiteral(" and "));
    return statement;
}

QList<TextColumn> reportColumns(Database& db, ReportTable table, const QList<ReportCondition>& conditions)
{
    const ReportStatement statement = reportStatement(table, conditions);
    Connection& connection = db.connection();
    // Listed in the order the records were stored, whichever index finds them.
    const auto rows = connection.select(statement.sql + QStringLiteral(" order by ") + connection.orderColumn(),
                                        statement.values,
                                        QStringLiteral("The report could not be read from %1.").arg(connection.place()));
    RowScan& scan = *rows;
    const QStringList names = described(table).shownFieldNames();
    QVector<int> fields;
    for (const QString& name : names)
        fields.append(scan.field(described(table).sqlName(), name));
    // Person's last column is the Manager flag, shown as a word.
    const qsizetype textColumns = table == ReportTable::Person ? names.size() - 1 : names.size();

    QList<TextColumn> columns(names.size());
    while (scan.next()) {
        if (!passes(scan, fields.last(), statement.managerTests))
            continue;
        for (qsizetype column = 0; column < textColumns; ++column)
            scan.appendText(fields[column], columns[column]);
        if (table == ReportTable::Person) {
            const bool manager = scan.isYes(fields.last());
            columns.last().append(manager ? "Yes" : "No", manager ? 3 : 2);
        }
    }
    return columns;
}

} // namespace vantorel::data
