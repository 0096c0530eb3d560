// vantorel-setup: makes a new Vantorel.mdb in the current folder, with its tables, a first
// manager and, on request, a small demo fleet; or makes the tables on an empty server database and
// a link file naming it; or moves the folder's records to such a server. The file appears whole
// or not at all, and the password never travels on the command line, where every local user could
// read it.

#include "FileCommands.h"

#include "common/ClockText.h"
#include "data/Credentials.h"
#include "data/Database.h"
#include "data/LinkFile.h"
#include "data/Schema.h"
#include "data/ServerStore.h"
#include "data/StoreError.h"
#include "data/Tables.h"
#include "transfer/Moves.h"
#include "transfer/Progress.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <array>
#include <iostream>
#include <optional>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace {

using vantorel::data::Database;
using vantorel::data::Existing;
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

void addDemoFleet(Database& db)
{
    for (int i = 0; i < int(kDemoUsers.size()); ++i)
        db.append(demoPerson(kDemoUsers[i], i));
    for (int i = 0; i < kDemoVehicles; ++i)
        db.append(demoVehicle(i));
    for (int i = 0; i < 60; ++i)
        db.append(demoJob(i));
}

// Why setup stops before making anything; `usage` when the command line itself was wrong.
struct Refusal {
    QString message;
    bool usage = false;
};

// Turns off the echo of the terminal on standard input while it lives.
class EchoOff {
public:
    EchoOff()
    {
        tcgetattr(STDIN_FILENO, &m_saved);
        termios quiet = m_saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    ~EchoOff() { tcsetattr(STDIN_FILENO, TCSAFLUSH, &m_saved); }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    termios m_saved{};
};

// One line of standard input without its line end; an empty password is refused.
QString readLine()
{
    std::string line;
    if (!std::getline(std::cin, line))
        throw Refusal{QStringLiteral("no password was given.")};
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    if (line.empty())
        throw Refusal{QStringLiteral("the password must not be empty.")};
    return QString::fromStdString(line);
}

QString askHidden(const QString& prompt)
{
    const EchoOff quiet; // before the prompt, so nothing typed after it is ever shown
    QTextStream(stderr) << prompt << Qt::flush;
    const QString typed = readLine();
    QTextStream(stderr) << '\n';
    return typed;
}

// The first manager's password: one line of standard input when scripted, otherwise typed twice
// on the terminal without echo.
QString managerPassword(bool fromStandardInput, const QString& id)
{
    if (fromStandardInput)
        return readLine();
    if (!isatty(STDIN_FILENO))
        throw Refusal{QStringLiteral("the password is asked on a terminal; without one, give it as one line "
                                     "on standard input with --password-stdin.")};
    const QString password = askHidden(QStringLiteral("Password for the first manager, %1: ").arg(id));
    if (askHidden(QStringLiteral("The same password again: ")) != password)
        throw Refusal{QStringLiteral("the two passwords differ; nothing was made.")};
    return password;
}

int fail(const QString& message)
{
    QTextStream(stderr) << "vantorel-setup: " << message << '\n';
    return 1;
}

struct Options {
    QCommandLineOption managerId{QStringLiteral("manager-id"), QStringLiteral("Employee ID of the first manager."),
                                 QStringLiteral("id")};
    QCommandLineOption passwordStdin{
        QStringLiteral("password-stdin"),
        QStringLiteral("Read the first manager's password as one line of standard input instead of asking "
                       "for it on the terminal.")};
    QCommandLineOption lastName{QStringLiteral("last-name"), QStringLiteral("Manager's last name."),
                                QStringLiteral("name"), QStringLiteral("Manager")};
    QCommandLineOption firstName{QStringLiteral("first-name"), QStringLiteral("Manager's first name."),
                                 QStringLiteral("name"), QStringLiteral("First")};
    QCommandLineOption demo{QStringLiteral("demo"), QStringLiteral("Add demo users, vehicles and maintenance jobs.")};
    QCommandLineOption force{QStringLiteral("force"),
                             QStringLiteral("Replace an existing Vantorel.mdb file (its data is lost).")};
    QCommandLineOption backup{QStringLiteral("backup"),
                              QStringLiteral("Write a checked copy of Vantorel.mdb to FILE, also while it is in use."),
                              QStringLiteral("FILE")};
    QCommandLineOption restore{QStringLiteral("restore"),
                               QStringLiteral("Check the copy FILE and put it in the place of Vantorel.mdb, which is "
                                              "kept as Vantorel.mdb.before-restore."),
                               QStringLiteral("FILE")};
    QCommandLineOption check{QStringLiteral("check"),
                             QStringLiteral("Check Vantorel.mdb and say what is wrong and what to do.")};
    QCommandLineOption server{QStringLiteral("server"),
                              QStringLiteral("Make the tables on the empty PostgreSQL database the URI names, "
                                             "and a Vantorel.mdb link file naming it."),
                              QStringLiteral("uri")};
    QCommandLineOption copyTo{QStringLiteral("copy-to"),
                              QStringLiteral("Copy the folder's Vantorel.mdb to the empty PostgreSQL database the "
                                             "URI names, keep the file as Vantorel.mdb.before-server and put a "
                                             "link file in its place."),
                              QStringLiteral("uri")};
    QCommandLineOption workstationRole{
        QStringLiteral("workstation-role"),
        QStringLiteral("With --server, --copy-to or --import --server: the role the workstations connect as, made "
                       "when missing and granted only reading and adding records (default vantorel_workstation)."),
        QStringLiteral("name"), QString::fromLatin1(vantorel::data::kDefaultWorkstationRole)};
    QCommandLineOption import{QStringLiteral("import"),
                              QStringLiteral("Convert the earlier program's Vantorel.mdb (a Jet file) in this folder, "
                                             "keeping it as Vantorel.mdb.before-import; or, given OLD.mdb, make this "
                                             "folder's Vantorel.mdb from that file. With --server the records go to "
                                             "the server.")};
    QCommandLineOption importCsv{QStringLiteral("import-csv"),
                                 QStringLiteral("Append the records of the CSV file FILE to the table (Person, Vehicle "
                                                "or Servicing) of the folder's store: all of them or none."),
                                 QStringLiteral("table")};
};

// The one word a command takes beside its options: OLD.mdb for --import, FILE for --import-csv.
QString argumentOf(const QCommandLineParser& parser)
{
    return parser.positionalArguments().value(0);
}

// The commands that care for an existing Vantorel.mdb instead of making one.
bool caresForExistingFile(const QCommandLineParser& parser, const Options& options)
{
    return parser.isSet(options.backup) || parser.isSet(options.restore) || parser.isSet(options.check);
}

// The imports: which words and options each takes beside its own.
void parseImport(const QCommandLineParser& parser, const Options& options)
{
    const QStringList words = parser.positionalArguments();
    if (parser.isSet(options.importCsv)) {
        if (parser.optionNames().size() > 1 || words.size() != 1)
            throw Refusal{QStringLiteral("--import-csv goes alone, with the table and one CSV file: "
                                         "--import-csv Vehicle fleet.csv"), true};
        return;
    }
    const int allowed = parser.isSet(options.server) ? (parser.isSet(options.workstationRole) ? 3 : 2) : 1;
    if (parser.optionNames().size() > allowed || words.size() > 1)
        throw Refusal{QStringLiteral("--import takes at most one Jet file, and goes alone or with --server."), true};
}

// Reads the command line; anything it does not know, a stray word included, is refused.
void parse(QCommandLineParser& parser, const Options& options)
{
    parser.setApplicationDescription(QStringLiteral(
        "Creates a new Vantorel.mdb in the current folder with the tables Person, Vehicle and Servicing.\n"
        "Give a first manager (--manager-id; the password is asked for on the terminal, or read from\n"
        "standard input with --password-stdin), or --demo for a sample fleet with demo log-ins, or both.\n"
        "With --server URI the tables go to an empty PostgreSQL database and Vantorel.mdb names it;\n"
        "--copy-to URI moves the records of the folder's Vantorel.mdb to such a database. A URI never\n"
        "holds a password: libpq reads it from ~/.pgpass (or the file PGPASSFILE names)."));
    parser.addHelpOption();
    parser.addOptions({options.managerId, options.passwordStdin, options.lastName, options.firstName,
                       options.demo, options.force, options.server, options.copyTo, options.backup, options.restore,
                       options.check, options.import, options.importCsv, options.workstationRole});
    parser.addPositionalArgument(QStringLiteral("OLD.mdb | FILE"),
                                 QStringLiteral("The Jet file for --import, or the CSV file for --import-csv."),
                                 QStringLiteral("[OLD.mdb | FILE]"));
    if (!parser.parse(QCoreApplication::arguments()))
        throw Refusal{parser.errorText(), true};
    if (parser.isSet(options.import) || parser.isSet(options.importCsv)) {
        parseImport(parser, options);
        return;
    }
    if (!parser.positionalArguments().isEmpty())
        throw Refusal{QStringLiteral("unexpected argument \"%1\".").arg(parser.positionalArguments().first()), true};
    if (parser.isSet(QStringLiteral("help")))
        return;
    if (parser.isSet(options.copyTo)) {
        if (parser.optionNames().size() > (parser.isSet(options.workstationRole) ? 2 : 1))
            throw Refusal{QStringLiteral("--copy-to goes alone (or with --workstation-role): the records come from "
                                         "Vantorel.mdb."), true};
        return;
    }
    if (caresForExistingFile(parser, options)) {
        if (parser.optionNames().size() > 1)
            throw Refusal{QStringLiteral("--backup, --restore and --check each go alone."), true};
        return;
    }
    const bool wantsManager = parser.isSet(options.managerId);
    if (wantsManager && parser.value(options.managerId).isEmpty())
        throw Refusal{QStringLiteral("--manager-id must not be empty."), true};
    if (!wantsManager
        && (parser.isSet(options.passwordStdin) || parser.isSet(options.lastName) || parser.isSet(options.firstName)))
        throw Refusal{QStringLiteral("--password-stdin, --last-name and --first-name go with --manager-id."), true};
    if (!wantsManager && !parser.isSet(options.demo))
        throw Refusal{QStringLiteral("nobody could log in: give --manager-id, or --demo."), true};
}

vantorel::data::ServerTarget serverTarget(const QCommandLineParser& parser, const Options& options,
                                          const QCommandLineOption& uri)
{
    return {parser.value(uri).toUtf8(), parser.value(options.workstationRole)};
}

// What the administrator does next for the workstations, and a warning when their link files
// would trust any server that answers.
void tellAboutWorkstations(const vantorel::data::ServerTarget& target)
{
    QTextStream out(stdout);
    out << "Workstations connect as the role " << target.workstationRole
        << ", which may read and add records and nothing else. Give it a password (psql -c '\\password "
        << target.workstationRole << "'), and put it in each workstation's ~/.pgpass.\n";
    if (vantorel::data::verifiesNoServer(target.uri))
        QTextStream(stderr) << "vantorel-setup: warning: the link file does not verify the server: add "
                               "sslmode=verify-full and sslrootcert=FILE (the shop's certificate) to the URI, or "
                               "anyone on the network between could pose as the server.\n";
}

// The tables a CSV file can fill, by name as the setup tool's user types it.
const vantorel::data::TableDescription& tableNamed(const QString& name)
{
    for (const vantorel::data::TableDescription* table : vantorel::data::kAllTables) {
        if (name.compare(table->sqlName(), Qt::CaseInsensitive) == 0)
            return *table;
    }
    throw Refusal{QStringLiteral("--import-csv takes the table Person, Vehicle or Servicing, not \"%1\".").arg(name), true};
}

// The moves of records in bulk: each shows its progress on a terminal, can be stopped with Ctrl+C
// leaving everything as it was, and ends with what it did.
int moveRecords(const QCommandLineParser& parser, const Options& options)
{
    const QString file = QString::fromLatin1(vantorel::data::kDatabaseFileName);
    vantorel::transfer::Progress::stopOnSignals();
    vantorel::transfer::Progress progress;
    QString done;
    vantorel::transfer::TransferSummary summary;
    if (parser.isSet(options.copyTo)) {
        const vantorel::data::ServerTarget target = serverTarget(parser, options, options.copyTo);
        summary = vantorel::transfer::copyToServer(file, target, progress);
        done = QStringLiteral("The old file is kept as %1.before-server; %1 now names the server.").arg(file);
        tellAboutWorkstations(target);
    } else if (parser.isSet(options.importCsv)) {
        summary = vantorel::transfer::importCsvFile(tableNamed(parser.value(options.importCsv)), argumentOf(parser),
                                                    file, progress);
        done = QStringLiteral("The records were added to %1.").arg(file);
    } else {
        const QString jet = argumentOf(parser).isEmpty() ? file : argumentOf(parser);
        const auto server = parser.isSet(options.server) ? std::optional(serverTarget(parser, options, options.server))
                                                          : std::nullopt;
        summary = vantorel::transfer::importJetFile(jet, file, server, progress);
        if (server)
            tellAboutWorkstations(*server);
        done = jet == file ? QStringLiteral("The earlier program's file is kept as %1.before-import; %1 is now "
                                            "Vantorel's.").arg(file)
                           : QStringLiteral("Made %1 from %2.").arg(file, jet);
        if (server)
            done += QStringLiteral(" Its records are on the server it names.");
    }
    QTextStream(stdout) << vantorel::transfer::summaryText(summary) << done << '\n';
    return 0;
}

int run(const QCommandLineParser& parser, const Options& options)
{
    if (parser.isSet(options.copyTo) || parser.isSet(options.import) || parser.isSet(options.importCsv))
        return moveRecords(parser, options);
    const QString file = QString::fromLatin1(vantorel::data::kDatabaseFileName);
    if (parser.isSet(options.backup))
        return backupCommand(file, parser.value(options.backup));
    if (parser.isSet(options.restore))
        return restoreCommand(file, parser.value(options.restore));
    if (parser.isSet(options.check))
        return checkCommand(file);
    const Existing existing = parser.isSet(options.force) ? Existing::ReplaceRegularFile : Existing::Refuse;
    vantorel::data::refuseExisting(file, existing); // before asking for a password in vain
    const QByteArray server = parser.value(options.server).toUtf8();
    if (parser.isSet(options.server))
        vantorel::data::checkLinkTarget(server); // the same: a URI with a password is refused first

    std::optional<Person> manager;
    if (parser.isSet(options.managerId)) {
        const QString id = parser.value(options.managerId);
        manager = Person{id, parser.value(options.lastName), parser.value(options.firstName), QString(""),
                         QString(""), vantorel::data::hashPassword(managerPassword(parser.isSet(options.passwordStdin), id)),
                         true};
    }
    const bool demo = parser.isSet(options.demo);
    const auto fill = [&](Database& db) {
        if (manager)
            db.append(*manager);
        if (demo)
            addDemoFleet(db);
    };
    if (parser.isSet(options.server)) {
        const vantorel::data::ServerTarget target = serverTarget(parser, options, options.server);
        vantorel::data::createServerStore(target, fill);
        vantorel::data::writeLinkFile(file, target.workstationUri(), existing);
        tellAboutWorkstations(target);
    } else {
        vantorel::data::createDatabaseFile(file, fill, existing);
    }
    QTextStream(stdout) << "Created " << file << (parser.isSet(options.server) ? " naming the server" : "")
                        << (demo ? " with the demo fleet" : "") << ".\n";
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vantorel-setup"));
    QCommandLineParser parser;
    const Options options;
    try {
        parse(parser, options);
        if (parser.isSet(QStringLiteral("help"))) {
            QTextStream(stdout) << parser.helpText();
            return 0;
        }
        return run(parser, options);
    } catch (const Refusal& refusal) {
        return fail(refusal.usage ? refusal.message + QStringLiteral("\n\n") + parser.helpText() : refusal.message);
    } catch (const vantorel::data::StoreError& error) {
        return fail(error.message());
    }
}
