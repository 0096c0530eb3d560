#include "SyntheticFleet.h"

#include "BareStore.h"

#include "common/ClockText.h"
#include "data/Credentials.h"
#include "data/Schema.h"

#include <QFile>

#include <array>

namespace bench {

namespace {

constexpr std::array kMakes = {"Ford", "Chevrolet", "Ram", "Mercedes-Benz", "Nissan", "Toyota"};
constexpr std::array kModels = {"Transit", "Express", "ProMaster", "Sprinter", "NV200", "Hiace"};
constexpr std::array kColors = {"White", "Silver", "Red", "Blue", "Green", "Yellow", "Black"};
constexpr int kYears = 14;

QString userId(int i)
{
    return QStringLiteral("%1").arg(i, 8, 10, QLatin1Char('0'));
}

// Independent cycles, so that each combination of the four fields is about equally common.
QStringList vehicleFields(int i)
{
    const int make = i % 6;
    const int model = (i / 6) % 6;
    const int color = (i / 36) % 7;
    const int year = 2010 + (i / 252) % kYears;
    return {QString::number(i),
            QStringLiteral("C-%1").arg(i / 10),
            QStringLiteral("FL-%1").arg(i, 6, 10, QLatin1Char('0')),
            QString::fromLatin1(kMakes[make]),
            QString::fromLatin1(kModels[model]),
            QString::fromLatin1(kColors[color]),
            QString::number(year),
            QStringLiteral("%1/%2/%3").arg(1 + i % 12).arg(1 + i % 28).arg(10 + i % 14)};
}

void insertAll(const Connection& db, const char* sql, int count, const std::function<QStringList(int)>& row)
{
    sqlite3_stmt* statement = db.prepare(sql);
    for (int i = 1; i <= count; ++i)
        db.step(statement, row(i));
    sqlite3_finalize(statement);
}

} // namespace

FleetFacts makeSyntheticFleet(const QString& path, const FleetSize& size)
{
    QFile::remove(path);
    vantorel::data::createDatabaseFile(path);

    FleetFacts facts;
    facts.managerId = userId(1);
    facts.mechanicId = userId(2);
    facts.password = QStringLiteral("bench password");
    facts.busyVehicle = QString::number(1);
    facts.busyVehicleJobs = size.jobsPerBusyVehicle;
    facts.plainVehicle = QString::number(size.vehicles / 2);
    // Make, Model, Year and Date Purchased of one vehicle, which a few others share.
    const QStringList sample = vehicleFields(size.vehicles / 3);
    facts.fourCriteria[0] = sample[3];
    facts.fourCriteria[1] = sample[4];
    facts.fourCriteria[2] = sample[6];
    facts.fourCriteria[3] = sample[7];

    // One hash for everybody: hashing ten thousand passwords would take a quarter of an hour.
    const QString hash = vantorel::data::hashPassword(facts.password);
    const QDate today = QDate::currentDate();
    const int busyJobs = size.busyVehicles * size.jobsPerBusyVehicle;
    const int plainVehicles = size.vehicles - size.busyVehicles;

    const Connection db(path);
    db.exec("pragma synchronous = off");
    db.exec("begin");
    insertAll(db, "insert into Person values (?, ?, ?, ?, ?, ?, ?, null)", size.users, [&](int i) {
        return QStringList{userId(i), QStringLiteral("Last%1").arg(i % 500), QStringLiteral("First%1").arg(i % 300),
                           QStringLiteral("%1 Depot Road").arg(i), QStringLiteral("(555) 555-%1").arg(i % 10000, 4, 10, QLatin1Char('0')),
                           hash, QString::number(i % 20 == 1 ? 1 : 0)};
    });
    insertAll(db, "insert into Vehicle values (?, ?, ?, ?, ?, ?, ?, ?, null)", size.vehicles, vehicleFields);
    insertAll(db, "insert into Servicing values (?, ?, ?, ?, ?, ?, ?, null)", size.jobs, [&](int i) {
        const int vehicle = i <= busyJobs ? 1 + (i - 1) % size.busyVehicles
                                          : size.busyVehicles + 1 + (i - busyJobs) % plainVehicles;
        const QTime start(7 + i % 10, i % 60, (i * 7) % 60);
        return QStringList{QString::number(vehicle), userId(2 + i % (size.users - 1)),
                           QStringLiteral("Bay %1").arg(i % 12),
                           vantorel::shortDateText(today.addDays(-(i % 3000))),
                           vantorel::longTimeText(start), vantorel::longTimeText(start.addSecs(2400)),
                           i % 5 == 0 ? QString() : QStringLiteral("Routine service %1.").arg(i % 97)};
    });
    db.exec("commit");
    return facts;
}

} // namespace bench
