#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include "data/TextColumn.h"

namespace vantorel::data {

class Database;

// The two tables a report can list.
enum class ReportTable { Person, Vehicle };

// What a report can search by. Location and Date are fields of Servicing: a vehicle report
// tests them on the vehicle's maintenance jobs.
enum class ReportField {
    IDNumber,
    LName,
    Manager,
    VNumber,
    Location,
    Date,
    ContractNumber,
    License,
    Make,
    Model,
    Year,
    DatePurchased,
};

// One test of a report: the field equals the text exactly as typed, or, for Manager, the record
// is (or is not) a manager.
struct ReportCondition {
    ReportField field;
    QString text;
    bool manager = false;
};

// Whether a report of `table` can test `field` at all.
bool reportCanSearch(ReportTable table, ReportField field);

// The statement of a report, every value bound in the order of its "?" placeholders, and the
// answers its Manager conditions ask of each row, which are tested as rows are read.
struct ReportStatement {
    QString sql;
    QVariantList values;
    QList<bool> managerTests;
};

// "select * from T" with the conditions joined by "and" in the order given, Manager conditions
// aside. Every condition's field must be one the table can search (reportCanSearch).
ReportStatement reportStatement(ReportTable table, const QList<ReportCondition>& conditions);

// Runs the report and gives one list of entries per column of the table, in the store's order:
// Person IDNumber, LName, FName, Address, Telephone and Manager as "Yes"/"No"; Vehicle its
// eight fields. A field holding no value gives empty text.
QList<TextColumn> reportColumns(Database& db, ReportTable table, const QList<ReportCondition>& conditions);

} // namespace vantorel::data
