// vantorel-setup: makes a new Vantorel.mdb in the current folder, with its tables, a first
// manager and, on request, a small demo fleet.

#include "common/ClockText.h"
#include "data/Credentials.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "data/StoreError.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <array>

namespace {

using vantorel::data::Database;
using vantorel::data::Job;
using vantorel::data::Person;
using vantorel::data::Vehicle;

struct DemoUser {
    const char* id;
    const char* lastName;
    const char* firstName;
    const char* password;
    bool manager;
};

// The demo log-ins, listed in the README.
constexpr std::array kDemoUsers = {
    DemoUser{"10000001", "Reyes", "Dana", "manager1", true},
    DemoUser{"10000002", "Okafor", "Chidi", "manager2", true},
    DemoUser{"20000001", "Lindqvist", "Maja", "mechanic1", false},
    DemoUser{"20000002", "Novak", "Petr", "mechanic2", false},
    DemoUser{"M2000003", "Moreau", "Luc", "mechanic3", false},
};

constexpr std::array kMakes = {"Ford", "Chevrolet", "Ram", "Mercedes-Benz", "Nissan", "Toyota"};
constexpr std::array kModels = {"Transit", "Express", "ProMaster", "Sprinter", "NV200", "Hiace"};
constexpr std::array kColors = {"White", "Silver", "Red", "Blue", "Green", "Yellow", "Black"};
constexpr std::array kLocations = {"Bay 1", "Bay 2", "Bay 3", "Yard North", "Yard South", "Wash Bay"};
constexpr std::array kComments = {"Oil and filter changed.", "Brake pads replaced, front axle.",
                                  "Tyres rotated, pressures set.", "Wiper blades replaced.",
                                  "Battery tested, terminals cleaned.", ""};

constexpr int kDemoVehicles = 36;

Person demoPerson(const DemoUser& user, int number)
{
    return Person{QString::fromLatin1(user.id),
                  QString::fromLatin1(user.lastName),
                  QString::fromLatin1(user.firstName),
                  QStringLiteral("%1 Depot Road, Springfield").arg(100 + number * 7),
                  QStringLiteral("(555) 010-%1").arg(1000 + number * 37),
                  vantorel::data::hashPassword(QString::fromLatin1(user.password)),
                  user.manager};
}

Vehicle demoVehicle(int i)
{
    return Vehicle{QString::number(1001 + i),
                   QStringLiteral("C-%1").arg(4000 + i / 4),
                   QStringLiteral("FLT %1").arg(300 + i * 11),
                   QString::fromLatin1(kMakes[i % kMakes.size()]),
                   QString::fromLatin1(kModels[i % kModels.size()]),
                   QString::fromLatin1(kColors[i % kColors.size()]),
                   QString::number(2015 + i % 9),
                   QStringLiteral("%1/%2/%3").arg(1 + i % 12).arg(1 + i % 28).arg(15 + i % 9, 2, 10, QLatin1Char('0'))};
}

Job demoJob(int i)
{
    const QDate date = QDate::currentDate().addDays(-3 * i - 1);
    const QTime start(8 + i % 8, (i * 13) % 60, (i * 7) % 60);
    const char* mechanic = kDemoUsers[2 + i % 3].id;
    return Job{QString::number(1001 + (i * 5) % kDemoVehicles),
               QString::fromLatin1(mechanic),
               QString::fromLatin1(kLocations[i % kLocations.size()]),
               vantorel::shortDateText(date),
               vantorel::longTimeText(start),
               vantorel::longTimeText(start.addSecs(1800 + 600 * (i % 5))),
               QString::fromLatin1(kComments[i % kComments.size()])};
}

void addDemoFleet()
{
    Database db;
    for (int i = 0; i < int(kDemoUsers.size()); ++i)
        db.append(demoPerson(kDemoUsers[i], i));
    for (int i = 0; i < kDemoVehicles; ++i)
        db.append(demoVehicle(i));
    for (int i = 0; i < 60; ++i)
        db.append(demoJob(i));
}

void addManager(const QString& id, const QString& password, const QString& lastName,
                const QString& firstName)
{
    Database().append(Person{id, lastName, firstName, QString(""), QString(""),
                             vantorel::data::hashPassword(password), true});
}

int fail(const QString& message)
{
    QTextStream(stderr) << "vantorel-setup: " << message << '\n';
    return 1;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vantorel-setup"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Creates a new Vantorel.mdb in the current folder with the tables Person, Vehicle and "
        "Servicing.\nGive a first manager (--manager-id and --manager-password), or --demo for a "
        "sample fleet with demo log-ins, or both."));
    parser.addHelpOption();
    const QCommandLineOption managerId(QStringLiteral("manager-id"),
                                       QStringLiteral("Employee ID of the first manager."), QStringLiteral("id"));
    const QCommandLineOption managerPassword(QStringLiteral("manager-password"),
                                             QStringLiteral("Password of the first manager."),
                                             QStringLiteral("password"));
    const QCommandLineOption lastName(QStringLiteral("last-name"), QStringLiteral("Manager's last name."),
                                      QStringLiteral("name"), QStringLiteral("Manager"));
    const QCommandLineOption firstName(QStringLiteral("first-name"), QStringLiteral("Manager's first name."),
                                       QStringLiteral("name"), QStringLiteral("First"));
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  QStringLiteral("Add demo users, vehicles and maintenance jobs."));
    const QCommandLineOption force(QStringLiteral("force"),
                                   QStringLiteral("Replace an existing Vantorel.mdb (its data is lost)."));
    parser.addOptions({managerId, managerPassword, lastName, firstName, demo, force});
    if (!parser.parse(QCoreApplication::arguments()))
        return fail(parser.errorText() + QStringLiteral("\n\n") + parser.helpText());
    if (parser.isSet(QStringLiteral("help"))) {
        QTextStream(stdout) << parser.helpText();
        return 0;
    }

    const bool wantsManager = parser.isSet(managerId) || parser.isSet(managerPassword);
    if (wantsManager && (parser.value(managerId).isEmpty() || parser.value(managerPassword).isEmpty()))
        return fail(QStringLiteral("--manager-id and --manager-password must both be given, not empty."));
    if (!wantsManager && !parser.isSet(demo))
        return fail(QStringLiteral("nobody could log in: give --manager-id and --manager-password, "
                                   "or --demo.\n\n") + parser.helpText());

    const QString file = QString::fromLatin1(vantorel::data::kDatabaseFileName);
    if (QFile::exists(file)) {
        if (!parser.isSet(force))
            return fail(QStringLiteral("%1 exists already in this folder; use --force to replace it.").arg(file));
        if (!QFile::remove(file))
            return fail(QStringLiteral("could not remove the existing %1.").arg(file));
    }

    try {
        vantorel::data::createDatabaseFile(file);
        if (wantsManager)
            addManager(parser.value(managerId), parser.value(managerPassword), parser.value(lastName),
                       parser.value(firstName));
        if (parser.isSet(demo))
            addDemoFleet();
    } catch (const vantorel::data::StoreError& error) {
        QFile::remove(file);
        return fail(error.message());
    }
    QTextStream(stdout) << "Created " << file << (parser.isSet(demo) ? " with the demo fleet" : "") << ".\n";
    return 0;
}
