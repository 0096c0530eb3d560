#include "data/Database.h"

#include "data/LinkFile.h"
#include "data/PostgresConnection.h"
#include "data/SqliteConnection.h"
#include "data/StoreError.h"
#include "data/StoredValues.h"
#include "data/Tables.h"

namespace vantorel::data {

namespace {

std::unique_ptr<Connection> connect(const QString& path)
{
    if (const std::optional<QByteArray> uri = linkTarget(path)) {
        checkLinkTarget(*uri);
        return std::make_unique<PostgresConnection>(*uri);
    }
    refuseJetFile(path);
    return std::make_unique<SqliteConnection>(path);
}

// The positions of the table's fields in the result of `scan`, in the table's order.
QVector<int> fieldsOf(const RowScan& scan, const TableDescription& table)
{
    QVector<int> fields;
    for (const FieldDescription& field : table.fields)
        fields.append(scan.field(table.sqlName(), QString::fromLatin1(field.name)));
    return fields;
}

// "select * from T where F1 = ? and F2 = ?... order by" the store's own order, so the first row
// is the first record stored. A value of no kind at all is looked for as a field holding none.
QString lookUp(const Connection& connection, const TableDescription& table,
               const QList<std::pair<QString, bool>>& fieldsAndNulls)
{
    QStringList tests;
    for (const auto& [field, isNull] : fieldsAndNulls)
        tests << field + (isNull ? QStringLiteral(" is null") : QStringLiteral(" = ?"));
    return QStringLiteral("select * from %1 where %2 order by %3")
        .arg(table.sqlName(), tests.join(QStringLiteral(" and ")), connection.orderColumn());
}

} // namespace

Database::Database()
    : Database(QString::fromLatin1(kDatabaseFileName))
{
}

Database::Database(const QString& path)
    : m_connection(connect(path))
{
}

Database::Database(std::unique_ptr<Connection> connection)
    : m_connection(std::move(connection))
{
}

Database::~Database() = default;

QString Database::attempt(const char* what) const
{
    return QStringLiteral("%1 in %2.").arg(QString::fromLatin1(what), m_connection->place());
}

std::optional<Person> Database::firstPerson(const QString& idNumber)
{
    const auto scan = m_connection->select(lookUp(*m_connection, kPersonTable, {{QStringLiteral("IDNumber"), false}}),
                                           {textValue(idNumber)}, attempt("The user could not be looked up"));
    const QVector<int> f = fieldsOf(*scan, kPersonTable);
    if (!scan->next())
        return std::nullopt;
    Person person{scan->text(f[0]), scan->text(f[1]), scan->text(f[2]), scan->text(f[3]),
                  scan->text(f[4]), std::nullopt,     scan->isYes(f[6])};
    if (!scan->isNull(f[5]))
        person.password = scan->text(f[5]);
    return person;
}

std::optional<Vehicle> Database::firstVehicle(const QString& vehicleNumber)
{
    const auto scan = m_connection->select(lookUp(*m_connection, kVehicleTable, {{QStringLiteral("VNumber"), false}}),
                                           {textValue(vehicleNumber)},
                                           attempt("The vehicle could not be looked up"));
    const QVector<int> f = fieldsOf(*scan, kVehicleTable);
    if (!scan->next())
        return std::nullopt;
    return Vehicle{scan->text(f[0]), scan->text(f[1]), scan->text(f[2]), scan->text(f[3]),
                   scan->text(f[4]), scan->text(f[5]), scan->text(f[6]), scan->text(f[7])};
}

std::optional<Job> Database::firstJob(const JobKey& key)
{
    // The values are bound as they were read, so a listed job is found again whatever kind of
    // value another program stored in these fields, no value included.
    const bool noDate = key.storedDate.kind == StoredValue::Kind::Null;
    const bool noNumber = key.storedVehicleNumber.kind == StoredValue::Kind::Null;
    QVariantList values;
    if (!noDate)
        values << QVariant::fromValue(key.storedDate);
    if (!noNumber)
        values << QVariant::fromValue(key.storedVehicleNumber);
    const auto scan = m_connection->select(
        lookUp(*m_connection, kServicingTable, {{QStringLiteral("\"Date\""), noDate}, {QStringLiteral("VNumber"), noNumber}}),
        values, attempt("The maintenance job could not be looked up"));
    const QVector<int> f = fieldsOf(*scan, kServicingTable);
    if (!scan->next())
        return std::nullopt;
    return Job{scan->text(f[0]), scan->text(f[1]), scan->text(f[2]), scan->text(f[3]),
               scan->text(f[4]), scan->text(f[5]), scan->text(f[6])};
}

QList<JobKey> Database::jobsOf(const QString& vehicleNumber)
{
    // In the order the jobs were stored, whatever order the index that finds them keeps.
    const auto scan = m_connection->select(
        lookUp(*m_connection, kServicingTable, {{QStringLiteral("VNumber"), false}}), {textValue(vehicleNumber)},
        attempt("The maintenance jobs could not be read"));
    const int date = scan->field(kServicingTable.sqlName(), QStringLiteral("Date"));
    const int vehicle = scan->field(kServicingTable.sqlName(), QStringLiteral("VNumber"));
    QList<JobKey> jobs;
    while (scan->next()) {
        JobKey key{{}, {}, scan->stored(date), scan->stored(vehicle)};
        key.date = scan->text(date);
        key.vehicleNumber = scan->text(vehicle);
        jobs.append(key);
    }
    return jobs;
}

QList<HistoryJob> Database::historyOf(const QString& vehicleNumber)
{
    // The first user of the mechanic's ID names them, as log-in finds the first.
    const QString order = m_connection->orderColumn();
    const QString firstUser = QStringLiteral("(select %1 from Person p where p.IDNumber = s.IDNumber order by p.%2 limit 1)");
    const auto scan = m_connection->select(
        QStringLiteral("select s.*, %1 as MechanicFirstName, %2 as MechanicLastName from Servicing s where s.VNumber = ? "
                       "order by s.%3")
            .arg(firstUser.arg(QStringLiteral("FName"), order), firstUser.arg(QStringLiteral("LName"), order), order),
        {textValue(vehicleNumber)}, attempt("The maintenance jobs could not be read"));
    const QVector<int> f = fieldsOf(*scan, kServicingTable);
    const int firstName = scan->field(kServicingTable.sqlName(), QStringLiteral("MechanicFirstName"));
    const int lastName = scan->field(kServicingTable.sqlName(), QStringLiteral("MechanicLastName"));
    QList<HistoryJob> jobs;
    while (scan->next()) {
        const Job job{scan->text(f[0]), scan->text(f[1]), scan->text(f[2]), scan->text(f[3]),
                      scan->text(f[4]), scan->text(f[5]), scan->text(f[6])};
        jobs.append({job, QStringList({scan->text(firstName), scan->text(lastName)}).join(QLatin1Char(' ')).trimmed()});
    }
    return jobs;
}

void Database::appendRecord(const TableDescription& table, const QVariantList& values, const QString& identity,
                            const char* record)
{
    const QString failed = QStringLiteral("%1 could not be saved in %2.").arg(QLatin1String(record), m_connection->place());
    if (identity.isEmpty()) {
        m_connection->run(table.insertStatement(), values, failed);
        return;
    }
    try {
        m_connection->run(table.keyedInsertStatement(), QVariantList(values) << identity, failed);
    } catch (const StoreError& error) {
        switch (error.kind()) {
        case StoreError::Kind::AlreadyStored: // by an earlier try whose answer was lost
            return;
        case StoreError::Kind::NoAppendKey: // a store made before records carried an identity
            m_connection->run(table.insertStatement(), values, failed);
            return;
        case StoreError::Kind::OutcomeUnknown:
            throw StoreError(QStringLiteral("It is not known whether %1 was saved in %2: the answer never came. "
                                            "Doing the same again is safe: it is saved only once.")
                                 .arg(QString::fromLatin1(record).toLower(), m_connection->place()),
                             error.storeMessage(), error.kind());
        case StoreError::Kind::Failed:
            throw;
        }
    }
}

void Database::append(const Person& person, const QString& identity)
{
    appendRecord(kPersonTable,
                 {textValue(person.idNumber), textValue(person.lastName), textValue(person.firstName),
                  textValue(person.address), textValue(person.telephone),
                  person.password ? textValue(*person.password) : QVariant(), person.manager ? 1 : 0},
                 identity, "The new user");
}

void Database::append(const Vehicle& vehicle, const QString& identity)
{
    QVariantList values;
    for (const QString& text : fieldTexts(vehicle))
        values << textValue(text);
    appendRecord(kVehicleTable, values, identity, "The vehicle");
}

void Database::append(const Job& job, const QString& identity)
{
    appendRecord(kServicingTable,
                 {textValue(job.vehicleNumber), textValue(job.mechanicId), textValue(job.location),
                  textValue(job.date), textValue(job.startTime), textValue(job.stopTime), textValue(job.comments)},
                 identity, "The maintenance job");
}

} // namespace vantorel::data
