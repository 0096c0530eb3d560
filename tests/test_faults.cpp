// Faults of the store and of other processes: damaged files, an unreachable or lost server, locks,
// killed writers, a full disk. Every action must tell the user clearly, keep the window usable
// and lose or half-write nothing.

#include "TestSupport.h"
#include "ThrowawayCluster.h"

#include "maintenance/frmRepairHistory.h"
#include "maintenance/frmServicing.h"
#include "records/frmAddUser.h"
#include "records/frmAddVehicle.h"
#include "reports/frmReportGen.h"
#include "reports/frmReportResults.h"
#include "shell/frmLogin.h"
#include "shell/frmMain.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>
#include <QThread>

#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <thread>
#include <vector>

using namespace vantorel;
using vantorel::test::MessageWatcher;
using vantorel::test::TestStore;
using vantorel::test::onServer;

namespace {

// The password a spoiled link file holds; no message may ever show it.
constexpr char kSecret[] = "hunter2-secret";

// One way of spoiling the store.
struct Fault {
    const char* name;
    std::function<void(TestStore&)> apply;
};

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QList<Fault> damagedFiles()
{
    return {
        {"missing file", [](TestStore& s) { QFile::remove(s.databasePath()); }},
        {"directory instead of file",
         [](TestStore& s) {
             QFile::remove(s.databasePath());
             QDir(s.folder()).mkdir(QStringLiteral("Vantorel.mdb"));
         }},
        {"zero bytes", [](TestStore& s) { writeAll(s.databasePath(), {}); }},
        {"truncated",
         [](TestStore& s) {
             const QByteArray whole = readAll(s.databasePath());
             writeAll(s.databasePath(), whole.left(qMin(qsizetype(3000), whole.size() / 2)));
         }},
        {"random bytes",
         [](TestStore& s) {
             QByteArray noise(64 * 1024, '\0');
             QRandomGenerator generator(7);
             for (char& byte : noise)
                 byte = char(generator.bounded(256));
             writeAll(s.databasePath(), noise);
         }},
        {"tables missing",
         [](TestStore& s) {
             for (const char* table : {"Person", "Vehicle", "Servicing"})
                 s.rows(QStringLiteral("drop table %1").arg(QLatin1String(table)));
         }},
        {"a field missing in each table",
         [](TestStore& s) {
             s.rows(QStringLiteral("alter table Person rename to Old"));
             s.rows(QStringLiteral("create table Person (IDNumber text, LName text, Password text, Manager integer)"));
             s.rows(QStringLiteral("insert into Person select IDNumber, LName, Password, Manager from Old"));
             s.rows(QStringLiteral("alter table Vehicle drop column Color"));
             s.rows(QStringLiteral("alter table Servicing drop column Comments"));
         }},
    };
}

// A link file whose URI has the part matching `pattern` replaced by `by`.
Fault spoiledLink(const char* name, const char* pattern, const QString& by)
{
    return {name, [pattern, by](TestStore& s) {
                const QString uri = QString::fromUtf8(s.serverUri()).replace(QRegularExpression(QLatin1String(pattern)), by);
                writeAll(s.databasePath(), uri.toUtf8() + '\n');
            }};
}

// The ways a server store fails before any statement runs.
QList<Fault> unreachableServers()
{
    return {
        spoiledLink("server not running", "host=[^&]*", QStringLiteral("host=/nonexistent")),
        spoiledLink("unknown database", "/store_", QStringLiteral("/unknown_")),
        spoiledLink("log-in refused", "user=postgres", QStringLiteral("user=nobody")),
        spoiledLink("two lines", "$", QStringLiteral("\npostgresql:///other")),
        spoiledLink("password in the link file", "user=postgres",
                    QStringLiteral("user=postgres&password=") + QLatin1String(kSecret)),
    };
}

// Whether a message names where the records are: the file, or the database on its server.
bool namesTheStore(const QString& text)
{
    return text.contains(QStringLiteral("Vantorel.mdb")) || text.contains(QStringLiteral(" on the server "));
}

// One user action through a window: the entries typed, then the buttons pressed in order.
struct WindowAction {
    const char* name;
    std::function<QWidget*()> open;
    QList<QPair<QString, QString>> entries;
    QStringList presses;
    QString savedMessage; // for an action that stores a record: what the user is told on success
};

// The report generator on its own, building the results window the way the main window does.
QWidget* openReportGenerator()
{
    auto* generator = new frmReportGen;
    QObject::connect(generator, &frmReportGen::reportRequested, generator, [generator] {
        auto* results = new frmReportResults(*generator);
        results->setAttribute(Qt::WA_DeleteOnClose);
        if (results->isBuilt())
            results->show();
        else
            delete results;
    });
    return generator;
}

QList<WindowAction> storeActions()
{
    const QList<QPair<QString, QString>> vehicle = {
        {"txtVehicleNumber", "1001"}, {"txtContractNumber", "C-1"}, {"txtLicensePlate", "L-1"}, {"txtMake", "Ford"},
        {"txtModel", "Transit"},      {"txtColor", "White"},        {"txtYear", "2020"},        {"txtDatePurchased", "1/1/20"}};
    const QList<QPair<QString, QString>> user = {{"txtIDNumber", "30000001"}, {"txtLName", "Lee"},
                                                 {"txtFName", "Kim"},         {"txtAddress", "1 Road"},
                                                 {"txtTelephone", "555"},     {"txtPassword", "pw"}};
    const auto servicing = [] { return new frmServicing(QStringLiteral("20000001")); };
    return {
        {"log-in", [] { return new frmLogin; }, {{"txtEmpID", "10000001"}, {"txtPassword", "pw"}}, {"cmdSubmit"}, {}},
        {"add vehicle", [] { return new frmAddVehicle; }, vehicle, {"cmdSubmit"}, "Vehicle Added Successfully."},
        {"add user", [] { return new frmAddUser; }, user, {"cmdSumbit"}, "New User Added Successfully."},
        {"retrieve vehicle", servicing, {{"txtVehicleNumber", "1001"}}, {"cmdViewHistory"}, {}},
        {"complete job", servicing, {{"txtVehicleNumber", "1001"}, {"txtLocation", "Bay 1"}, {"txtComments", "Oil"}},
         {"cmdStart", "cmdComplete"}, "Maintenance Complete."},
        {"show history", [] { return new frmRepairHistory; }, {{"txtVehicleNumber", "1001"}}, {"cmdShowHistory"}, {}},
        {"vehicle report", openReportGenerator, {{"cboCriteria1", "Make"}, {"txtCriteria1", "Ford"}}, {"cmdGenerate"}, {}},
    };
}

WindowAction actionNamed(const char* name)
{
    for (const WindowAction& action : storeActions()) {
        if (qstrcmp(action.name, name) == 0)
            return action;
    }
    qFatal("no action %s", name);
}

// An entry is a text box or the text part of an editable combo box.
void setEntry(QWidget* window, const QString& name, const QString& text)
{
    if (auto* combo = window->findChild<QComboBox*>(name))
        combo->setEditText(text);
    else
        test::box(window, name)->setText(text);
}

QString entryText(QWidget* window, const QString& name)
{
    if (auto* combo = window->findChild<QComboBox*>(name))
        return combo->currentText();
    return test::box(window, name)->text();
}

QWidget* openFilled(const WindowAction& action)
{
    QWidget* window = action.open();
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    for (const auto& [name, text] : action.entries)
        setEntry(window, name, text);
    return window;
}

void press(QWidget* window, const WindowAction& action)
{
    for (const QString& name : action.presses)
        window->findChild<QAbstractButton*>(name)->click();
}

bool entriesKept(QWidget* window, const WindowAction& action)
{
    for (const auto& [name, text] : action.entries) {
        if (entryText(window, name) != text)
            return false;
    }
    return true;
}

QString workstationPath()
{
    return qEnvironmentVariable("VANTOREL_WORKSTATION",
                                QCoreApplication::applicationDirPath() + QStringLiteral("/vantorel-workstation"));
}

// Whether the SQLite file is sound; the server keeps its own.
bool soundStore(const TestStore& store)
{
    return onServer() || store.rows(QStringLiteral("pragma integrity_check")).value(0).value(0) == QLatin1String("ok");
}

// The fields a workstation writes, each record n holding prefix + n in every one of them.
struct WrittenTable {
    const char* role; // of the workstation that writes it
    const char* select;
    const char* prefixes;
};
constexpr WrittenTable kJobs{"jobs", "select VNumber, IDNumber, Location, \"Date\", StartTime, StopTime, Comments from Servicing",
                             "VMLDSTC"};
constexpr WrittenTable kVehicles{
    "vehicles", "select VNumber, ContractNumber, License, Make, Model, Color, Year, DatePurchased from Vehicle", "VCLMOKYD"};
constexpr WrittenTable kUsers{"users", "select IDNumber, LName, FName, Address, Telephone, Password from Person", "ULFATP"};

// Every record of the table is whole and stored once; `numbers` gets their numbers.
void verifyWhole(const TestStore& store, const WrittenTable& table, QSet<qint64>& numbers)
{
    QVERIFY(soundStore(store));
    for (const QStringList& record : store.rows(QString::fromLatin1(table.select))) {
        const QString n = record[0].mid(1);
        for (qsizetype i = 0; i < record.size(); ++i) {
            QVERIFY2(record[i] == QLatin1Char(table.prefixes[i]) + n, qPrintable(record.join(QLatin1Char('|'))));
        }
        QVERIFY2(!numbers.contains(n.toLongLong()), "a record was stored twice");
        numbers.insert(n.toLongLong());
    }
}

void verifyWholeJobs(const TestStore& store, qint64 atLeast)
{
    QSet<qint64> numbers;
    verifyWhole(store, kJobs, numbers);
    QVERIFY2(numbers.size() >= atLeast, qPrintable(QStringLiteral("%1 < %2").arg(numbers.size()).arg(atLeast)));
}

// Another program holding a lock on the store for `seconds` while it stores a vehicle "held" of
// its own: through the sqlite3 shell on the file ("exclusive" keeps readers out too, "immediate"
// writers only), or through psql on the server (the same two, as table lock modes).
class LockHolder {
public:
    LockHolder(const TestStore& store, const char* lockKind, double seconds)
    {
        const bool readersToo = qstrcmp(lockKind, "exclusive") == 0;
        const QString held = QStringLiteral("insert into Vehicle (VNumber) values ('held');\nselect 'locked';\n");
        if (onServer()) {
            m_process.start(QStringLiteral("psql"), {QStringLiteral("-XAtq"), QString::fromUtf8(store.serverUri())});
            m_process.write(QStringLiteral("begin;\nlock table Person, Vehicle, Servicing in %1 mode;\n%2"
                                           "select pg_sleep(%3);\ncommit;\n")
                                .arg(readersToo ? QStringLiteral("access exclusive") : QStringLiteral("exclusive"), held)
                                .arg(seconds)
                                .toUtf8());
        } else {
            m_process.start(QStringLiteral("sqlite3"), {store.databasePath()});
            m_process.write(QStringLiteral("begin %1;\n%2.shell sleep %3\ncommit;\n")
                                .arg(QLatin1String(lockKind), held)
                                .arg(seconds)
                                .toUtf8());
        }
        m_process.closeWriteChannel();
        m_process.waitForReadyRead(5000); // the lock is taken once "locked" is printed
    }
    ~LockHolder() { m_process.waitForFinished(30000); }

private:
    QProcess m_process;
};

// What stands at Vantorel.mdb when setup starts.
enum class Before { Nothing, DanglingLink, OldFile };

// The names in the folder, links and hidden files included.
QStringList namesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// Whether the file is what setup --demo with one manager makes, whole.
bool isWholeDemo(const TestStore& store)
{
    return soundStore(store) && store.count(QStringLiteral("Person")) == 6 && store.count(QStringLiteral("Vehicle")) == 36
        && store.count(QStringLiteral("Servicing")) == 60;
}

} // namespace

Q_DECLARE_METATYPE(Before)

class TestFaults : public QObject {
    Q_OBJECT

private slots:
    void init() { QApplication::setQuitOnLastWindowClosed(false); }
    void cleanup() { test::closeAllWindows(); }

    void damagedFilesAreReportedByEveryAction()
    {
        int tried = 0;
        for (const WindowAction& action : storeActions()) {
            QList<Fault> faults = damagedFiles();
            if (onServer())
                faults << unreachableServers();
            for (const Fault& fault : faults) {
                const QString label = QStringLiteral("%1, %2").arg(action.name, fault.name);
                TestStore store;
                store.addClearTextUser(QStringLiteral("10000001"), QStringLiteral("pw"), true);
                QPointer<QWidget> window = openFilled(action);
                fault.apply(store);
                const bool existed = QFileInfo::exists(store.databasePath());
                const QByteArray before = readAll(store.databasePath());
                MessageWatcher messages;

                press(window, action);
                const QString text = messages.takeOnly();
                QVERIFY2(namesTheStore(text) && !text.startsWith('<') && !text.contains(QLatin1String(kSecret)),
                         qPrintable(label + QStringLiteral(": ") + text));
                QVERIFY2(!text.contains(QStringLiteral("Successfully")), qPrintable(label));
                QVERIFY2(window && window->isVisible() && !test::visibleWindow<frmMain>(), qPrintable(label));
                QVERIFY2(!test::visibleWindow<frmReportResults>(), qPrintable(label));
                QVERIFY2(entriesKept(window, action), qPrintable(label));
                QCOMPARE(QFileInfo::exists(store.databasePath()), existed);
                QVERIFY2(readAll(store.databasePath()) == before, qPrintable(label));
                window->close();
                ++tried;
            }
        }
        qInfo("damaged-file faults tried: %d", tried);
    }

    void lockDelaysOrRefusesButNeverDoubles_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("lockKind");
        QTest::addColumn<QString>("table"); // what the action stores, if anything
        QTest::newRow("log-in, readers locked out") << "log-in" << "exclusive" << "";
        QTest::newRow("add vehicle, writers locked out") << "add vehicle" << "immediate" << "Vehicle";
        QTest::newRow("complete job, writers locked out") << "complete job" << "immediate" << "Servicing";
    }

    // Another program holds a lock for 1 s, then for 6.5 s, past the 5 s the store waits: the
    // action is delayed, then refused with the entries kept, then done once the lock is gone.
    void lockDelaysOrRefusesButNeverDoubles()
    {
        QFETCH(QString, action);
        QFETCH(QString, lockKind);
        QFETCH(QString, table);
        TestStore store;
        store.addClearTextUser(QStringLiteral("10000001"), QStringLiteral("pw"), true);
        MessageWatcher messages;
        const WindowAction windowAction = actionNamed(qPrintable(action));
        // The other program stores one vehicle of its own, "held", each time it takes the lock.
        const auto held = [&] { return store.rows(QStringLiteral("select 1 from Vehicle where VNumber = 'held'")).size(); };
        const auto ours = [&] {
            return table.isEmpty() ? 0 : store.count(table) - (table == QLatin1String("Vehicle") ? int(held()) : 0);
        };
        // Done: the frame a log-in opens (closed again for the next try), or the saved message.
        const auto done = [&] {
            if (!windowAction.savedMessage.isEmpty())
                return messages.takeOnly() == windowAction.savedMessage;
            const bool opened = messages.texts.isEmpty() && test::visibleWindow<frmMain>();
            test::closeAllWindows();
            return opened;
        };
        const int stores = table.isEmpty() ? 0 : 1;
        QPointer<QWidget> window = openFilled(windowAction);
        {
            LockHolder holder(store, qPrintable(lockKind), 1.0);
            press(window, windowAction);
        }
        QVERIFY(done());
        QCOMPARE(ours(), stores);

        test::closeAllWindows();
        window = openFilled(windowAction);
        {
            LockHolder holder(store, qPrintable(lockKind), 6.5);
            press(window, windowAction);
            const QString text = messages.takeOnly();
            QVERIFY2(text.contains(QStringLiteral("lock")) && namesTheStore(text), qPrintable(text));
            QVERIFY(window && window->isVisible() && !test::visibleWindow<frmMain>() && entriesKept(window, windowAction));
        }
        QCOMPARE(ours(), stores);
        press(window, windowAction); // the lock is gone: the same entries, once
        QVERIFY(done());
        QCOMPARE(ours(), 2 * stores);
        QCOMPARE(held(), 2);
    }

    void fileThatCannotBeWrittenRefusesEverySave()
    {
        for (const char* name : {"add vehicle", "add user", "complete job"}) {
            TestStore store;
            MessageWatcher messages;
            const WindowAction action = actionNamed(name);
            QPointer<QWidget> window = openFilled(action);
            const QByteArray before = readAll(store.databasePath());
            {
                test::WritesRefused refused;
                press(window, action);
                const QString text = messages.takeOnly();
                QVERIFY2(text.contains(QStringLiteral("could not be saved in ")) && namesTheStore(text), qPrintable(text));
                QVERIFY(entriesKept(window, action));
            }
            QVERIFY(readAll(store.databasePath()) == before);
            press(window, action);
            QCOMPARE(messages.takeOnly(), action.savedMessage);
            window->close();
        }
    }

    void fullDiskOnSubmitKeepsEntriesAndStoresNothing()
    {
        if (onServer())
            QSKIP("The server writes to a disk of its own.");
        TestStore store;
        MessageWatcher messages;
        WindowAction addVehicle = actionNamed("add vehicle");
        const QString large(200 * 1024, QLatin1Char('z'));
        addVehicle.entries[3].second = large;
        QPointer<QWidget> window = openFilled(addVehicle);

        std::signal(SIGXFSZ, SIG_IGN); // past the limit a write fails, as on a full disk
        rlimit original{};
        getrlimit(RLIMIT_FSIZE, &original);
        const rlim_t limit = rlim_t(QFileInfo(store.databasePath()).size() + 16 * 1024);
        rlimit small{limit, original.rlim_max};
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        press(window, addVehicle);
        setrlimit(RLIMIT_FSIZE, &original);

        const QString text = messages.takeOnly();
        QVERIFY2(text.startsWith(QStringLiteral("The vehicle could not be saved")), qPrintable(text));
        QVERIFY(entriesKept(window, addVehicle));
        QVERIFY(soundStore(store));
        QCOMPARE(store.count(QStringLiteral("Vehicle")), 0);

        press(window, addVehicle); // room again: the same entries are saved, once
        QCOMPARE(messages.takeOnly(), QStringLiteral("Vehicle Added Successfully."));
        QCOMPARE(store.rows(QStringLiteral("select Make from Vehicle")), QList<QStringList>{{large}});
    }

    // A backup taken while three other programs append jobs holds every job committed before it
    // began, each whole; a damaged copy is refused by restore, which keeps the file as it was.
    void backupUnderLoadAndRestoreOfADamagedCopy()
    {
        if (onServer())
            QSKIP("The file engine only: a server is backed up with pg_dump.");
        TestStore store;
        std::vector<std::unique_ptr<QProcess>> appenders;
        for (const char* first : {"1", "1000000", "2000000"}) {
            appenders.push_back(std::make_unique<QProcess>());
            appenders.back()->setWorkingDirectory(store.folder());
            appenders.back()->start(workstationPath(), {QStringLiteral("jobs"), QString::fromLatin1(first), QStringLiteral("0")});
            QVERIFY(appenders.back()->waitForReadyRead(10000));
        }
        QTest::qWait(200);
        const int committedBefore = store.count(QStringLiteral("Servicing"));
        const auto setup = [&](const QStringList& arguments) {
            QProcess tool;
            tool.setWorkingDirectory(store.folder());
            tool.start(test::setupProgram(), arguments);
            if (!tool.waitForFinished(60000))
                qFatal("vantorel-setup hangs");
            return std::pair{tool.exitCode(), QString::fromUtf8(tool.readAllStandardOutput() + tool.readAllStandardError())};
        };
        const auto [backedUp, said] = setup({QStringLiteral("--backup"), QStringLiteral("copy.mdb")});
        QVERIFY2(backedUp == 0 && said.startsWith(QStringLiteral("Wrote copy.mdb")), qPrintable(said));
        for (auto& appender : appenders) {
            appender->kill();
            QVERIFY(appender->waitForFinished(10000));
        }

        QCOMPARE(setup({QStringLiteral("--restore"), QStringLiteral("copy.mdb")}).first, 0);
        QVERIFY(QFileInfo::exists(store.folder() + QStringLiteral("/Vantorel.mdb.before-restore")));
        verifyWholeJobs(store, committedBefore);

        QFile copy(store.folder() + QStringLiteral("/copy.mdb"));
        QVERIFY(copy.open(QIODevice::ReadWrite));
        copy.resize(copy.size() / 2);
        copy.close();
        const QByteArray current = readAll(store.databasePath());
        const auto [restored, refusal] = setup({QStringLiteral("--restore"), QStringLiteral("copy.mdb")});
        QCOMPARE(restored, 1);
        QVERIFY2(refusal.contains(QStringLiteral("not a sound Vantorel database; nothing was changed")), qPrintable(refusal));
        QCOMPARE(readAll(store.databasePath()), current);
        QVERIFY(!QFileInfo::exists(store.folder() + QStringLiteral("/Vantorel.mdb.before-restore.2")));
    }

    // The server goes away while a save waits for another workstation's lock, and comes back.
    void serverLostDuringASaveStoresNothingAndTheNextActionConnectsAfresh()
    {
        if (!onServer())
            QSKIP("The server engine only.");
        TestStore store;
        MessageWatcher messages;
        const WindowAction action = actionNamed("add vehicle");
        QPointer<QWidget> window = openFilled(action);
        {
            LockHolder holder(store, "immediate", 30);
            std::thread crash([server = test::cluster().processId()] {
                std::this_thread::sleep_for(std::chrono::milliseconds(700));
                ::kill(pid_t(server), SIGQUIT);
            });
            press(window, action);
            crash.join();
        }
        const QString text = messages.takeOnly();
        // Lost while waiting, or, on a slow machine, already gone when the action connected.
        QVERIFY2(namesTheStore(text) && !text.contains(QStringLiteral("Successfully")), qPrintable(text));
        QVERIFY(window && window->isVisible() && entriesKept(window, action));
        test::cluster().stop();
        test::cluster().start();
        QCOMPARE(store.count(QStringLiteral("Vehicle")), 0); // neither ours nor the other's half-done one
        press(window, action);
        QCOMPARE(messages.takeOnly(), action.savedMessage);
        QCOMPARE(store.rows(QStringLiteral("select VNumber, Make from Vehicle")), (QList<QStringList>{{"1001", "Ford"}}));
    }

    // Workstations appending jobs, vehicles and users while others list histories and reports.
    void severalWorkstationsAtOnceLoseDoubleAndTearNothing()
    {
        TestStore store;
        constexpr int kEach = 120;
        struct Workstation {
            const char* role;
            int first;
            int count;
        };
        const Workstation workstations[] = {{"jobs", 1, kEach},     {"jobs", 100001, kEach}, {"vehicles", 1, kEach},
                                            {"users", 1, kEach},    {"reader", 1, 40},       {"reader", 100001, 40}};
        std::vector<std::unique_ptr<QProcess>> running;
        for (const Workstation& w : workstations) {
            running.push_back(std::make_unique<QProcess>());
            running.back()->setWorkingDirectory(store.folder());
            running.back()->start(workstationPath(), {QLatin1String(w.role), QString::number(w.first), QString::number(w.count)});
        }
        for (std::size_t i = 0; i < running.size(); ++i) {
            QProcess& process = *running[i];
            QVERIFY(process.waitForFinished(120000));
            QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0,
                     qPrintable(QStringLiteral("%1: %2 %3").arg(QLatin1String(workstations[i].role)).arg(process.exitCode())
                                    .arg(QString::fromUtf8(process.readAllStandardError() + process.readAllStandardOutput().right(300)))));
        }
        for (const WrittenTable* table : {&kJobs, &kVehicles, &kUsers}) {
            QSet<qint64> numbers;
            verifyWhole(store, *table, numbers);
            QSet<qint64> expected;
            for (const Workstation& w : workstations) {
                for (int n = w.first; qstrcmp(w.role, table->role) == 0 && n < w.first + w.count; ++n)
                    expected.insert(n);
            }
            QCOMPARE(numbers, expected);
        }
    }

    void killedWriterLeavesOnlyWholeRecords()
    {
        TestStore store;
        qint64 next = 1;
        QRandomGenerator generator(11);
        for (int kill = 0; kill < 25; ++kill) {
            QProcess appender;
            appender.setWorkingDirectory(store.folder());
            appender.start(workstationPath(), {QStringLiteral("jobs"), QString::number(next), QStringLiteral("0")});
            QVERIFY(appender.waitForReadyRead(10000));
            QTest::qWait(int(generator.bounded(5, 60)));
            ::kill(pid_t(appender.processId()), SIGKILL);
            QVERIFY(appender.waitForFinished(10000));
            const QList<QByteArray> reported = appender.readAllStandardOutput().trimmed().split('\n');
            next = reported.last().toLongLong() + 2; // the job after the last reported may be stored too
        }
        verifyWholeJobs(store, 25);
    }

    void interruptedSetupLeavesNoFileOrAWholeOne_data()
    {
        if (onServer())
            QSKIP("Setup makes an SQLite file here; the server's tables come in one transaction.");
        QTest::addColumn<int>("killAfterMs"); // -1: not killed; its disk fills up instead
        QTest::addColumn<Before>("before");
        QList<int> moments = {0, 10, 25, 50, 80, 120, 160, 200, 250, 300, 360, 450, 600, 900};
        QRandomGenerator generator(13);
        for (int i = 0; i < 4; ++i)
            moments << int(generator.bounded(700));
        for (int ms : moments)
            QTest::addRow("nothing there, killed after %d ms", ms) << ms << Before::Nothing;
        for (int ms : {50, 200, 400, 900}) {
            QTest::addRow("dangling link, killed after %d ms", ms) << ms << Before::DanglingLink;
            QTest::addRow("old file and --force, killed after %d ms", ms) << ms << Before::OldFile;
        }
        QTest::newRow("nothing there, disk full") << -1 << Before::Nothing;
        QTest::newRow("dangling link, disk full") << -1 << Before::DanglingLink;
        QTest::newRow("old file and --force, disk full") << -1 << Before::OldFile;
    }

    // Setup is stopped by SIGKILL at a moment, or fails: Vantorel.mdb is whole or not there at
    // all, what stood there before is untouched, and a failing setup leaves nothing of its own.
    void interruptedSetupLeavesNoFileOrAWholeOne()
    {
        QFETCH(int, killAfterMs);
        QFETCH(Before, before);
        TestStore store; // its empty file stands for an old one
        const QString path = store.databasePath();
        const QByteArray old = readAll(path);
        QStringList arguments = {"--demo", "--manager-id", "99000001", "--password-stdin"};
        if (before == Before::OldFile)
            arguments << QStringLiteral("--force");
        else
            QVERIFY(QFile::remove(path));
        if (before == Before::DanglingLink)
            QVERIFY(QFile::link(QStringLiteral("nowhere"), path));
        const QStringList namesBefore = namesIn(store.folder());

        QProcess setup;
        setup.setWorkingDirectory(store.folder());
        if (killAfterMs < 0) {
            setup.setChildProcessModifier([] {
                std::signal(SIGXFSZ, SIG_IGN); // past the limit a write fails, as on a full disk
                const rlimit small{20000, 20000};
                setrlimit(RLIMIT_FSIZE, &small);
            });
        }
        setup.start(test::setupProgram(), arguments);
        setup.write("manager password\n");
        setup.closeWriteChannel();
        if (killAfterMs >= 0) {
            QThread::msleep(ulong(killAfterMs));
            ::kill(pid_t(setup.processId()), SIGKILL);
        }
        QVERIFY(setup.waitForFinished(30000));
        const bool succeeded = setup.exitStatus() == QProcess::NormalExit && setup.exitCode() == 0;

        const QFileInfo file(path);
        if (before == Before::DanglingLink) {
            QVERIFY(!succeeded);
            QCOMPARE(file.symLinkTarget(), QDir(store.folder()).filePath(QStringLiteral("nowhere")));
            QVERIFY(!file.exists());
        } else if (file.exists() && !(before == Before::OldFile && readAll(path) == old)) {
            QVERIFY2(isWholeDemo(store), "a half-made Vantorel.mdb");
        } else {
            QVERIFY(!succeeded);
        }
        if (killAfterMs < 0)
            QCOMPARE(namesIn(store.folder()), namesBefore);
    }

    // After a run of user actions no connection to the store stays open: no descriptor of this
    // process on Vantorel.mdb, and no session on the server but the one that counts them.
    void everyActionReleasesItsConnection()
    {
        TestStore store;
        store.addClearTextUser(QStringLiteral("10000001"), QStringLiteral("pw"), true);
        MessageWatcher messages;
        for (const char* name : {"log-in", "add vehicle", "retrieve vehicle", "complete job", "show history",
                                 "vehicle report"}) {
            const WindowAction action = actionNamed(name);
            press(openFilled(action), action);
        }
        QVERIFY(messages.texts.size() == 2 && test::visibleWindow<frmReportResults>());
        const auto openOnStore = [&store] {
            if (onServer())
                return store.rows(QStringLiteral("select count(*) - 1 from pg_stat_activity where datname = "
                                                 "current_database()"))[0][0].toInt();
            int open = 0;
            for (const QString& fd : QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::System))
                open += QFile::symLinkTarget(QStringLiteral("/proc/self/fd/") + fd) == store.databasePath();
            return open;
        };
        QTRY_COMPARE(openOnStore(), 0);
    }
};

QTEST_MAIN(TestFaults)
#include "test_faults.moc"
