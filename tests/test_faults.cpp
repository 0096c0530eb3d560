// Faults of the store and of other programs: damaged files, an unreachable server, locks, writing
// refused, workstations at once, setup's disk filling up. Every action must tell the user clearly,
// keep the window usable and lose or half-write nothing.

#include "TestSupport.h"
#include "ThrowawayCluster.h"

#include "data/Database.h"
#include "data/LinkFile.h"
#include "data/PostgresConnection.h"
#include "data/ServerStore.h"
#include "data/StoreError.h"
#include "reports/frmReportResults.h"
#include "shell/frmLogin.h"
#include "shell/frmMain.h"

#include <QCursor>
#include <QElapsedTimer>
#include <QMap>
#include <QRandomGenerator>

#include <csignal>
#include <list>
#include <string_view>
#include <thread>
#include <tuple>
#include <unistd.h>

using namespace vantorel;
using namespace vantorel::test;
using namespace Qt::Literals::StringLiterals;

namespace {

// The password a spoiled link file holds; no message may ever show it.
constexpr char kSecret[] = "hunter2-secret";

// One way of spoiling the store.
struct Fault {
    const char* name;
    std::function<void(TestStore&)> apply;
};

QList<Fault> damagedFiles()
{
    return {
        {"missing file", [](TestStore& s) { QFile::remove(s.databasePath()); }},
        {"directory instead of file",
         [](TestStore& s) { QFile::remove(s.databasePath()) && QDir(s.folder()).mkdir(QStringLiteral("Vantorel.mdb")); }},
        {"zero bytes", [](TestStore& s) { writeAll(s.databasePath(), {}); }},
        {"truncated",
         [](TestStore& s) {
             const QByteArray whole = readAll(s.databasePath());
             writeAll(s.databasePath(), whole.left(qMin(qsizetype(3000), whole.size() / 2)));
         }},
        {"random bytes",
         [](TestStore& s) { writeAll(s.databasePath(), randomBytes(64 * 1024, 7)); }},
        {"tables missing",
         [](TestStore& s) {
             for (const char* table : {"Person", "Vehicle", "Servicing"})
                 s.rows(QStringLiteral("drop table %1").arg(QLatin1String(table)));
         }},
        {"a field missing in each table",
         [](TestStore& s) {
             for (const char* sql : {"alter table Person rename to Old",
                                     "create table Person (IDNumber text, LName text, Password text, Manager integer)",
                                     "insert into Person select IDNumber, LName, Password, Manager from Old",
                                     "alter table Vehicle drop column Color", "alter table Servicing drop column Comments"})
                 s.rows(QString::fromLatin1(sql));
         }},
    };
}

// A link file whose URI has the part matching `pattern` replaced by `by`.
Fault spoiledLink(const char* name, const char* pattern, const QString& by)
{
    return {name, [pattern, by](TestStore& s) {
                QString uri = QString::fromUtf8(s.serverUri());
                writeAll(s.databasePath(), uri.replace(QRegularExpression(QLatin1String(pattern)), by).toUtf8() + '\n');
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

// One user action: the window opened from the frame of a user of the role (Change User for the
// log-in window), the entries typed, then the buttons pressed in order.
struct WindowAction {
    const char* name;
    bool manager;
    const char* keys;
    QList<QPair<QString, QString>> entries;
    QStringList presses;
    QString savedMessage; // for an action that stores a record: what the user is told on success
};

const QList<WindowAction> kActions = {
    {"log-in", true, "Ctrl+U", {{"txtEmpID", "10000001"}, {"txtPassword", "pw"}}, {"cmdSubmit"}, {}},
    {"add vehicle", true, "Ctrl+N",
     {{"txtVehicleNumber", "1001"}, {"txtContractNumber", "C-1"}, {"txtLicensePlate", "L-1"}, {"txtMake", "Ford"},
      {"txtModel", "Transit"}, {"txtColor", "White"}, {"txtYear", "2020"}, {"txtDatePurchased", "1/1/20"}},
     {"cmdSubmit"}, "Vehicle Added Successfully."},
    {"add user", true, "Ctrl+A",
     {{"txtIDNumber", "30000001"}, {"txtLName", "Lee"}, {"txtFName", "Kim"}, {"txtAddress", "1 Road"},
      {"txtTelephone", "555"}, {"txtPassword", "pw"}},
     {"cmdSumbit"}, "New User Added Successfully."},
    {"retrieve vehicle", false, "Ctrl+S", {{"txtVehicleNumber", "1001"}}, {"cmdViewHistory"}, {}},
    {"complete job", false, "Ctrl+S", {{"txtVehicleNumber", "1001"}, {"txtLocation", "Bay 1"}, {"txtComments", "Oil"}},
     {"cmdStart", "cmdComplete"}, "Maintenance Complete."},
    {"show history", false, "Ctrl+H", {{"txtVehicleNumber", "1001"}}, {"cmdShowHistory"}, {}},
    {"vehicle report", false, "Ctrl+R", {{"cboCriteria1", "Make"}, {"txtCriteria1", "Ford"}}, {"cmdGenerate"}, {}},
};

WindowAction actionNamed(const QString& name)
{
    return *std::ranges::find_if(kActions,
                                 [&](const WindowAction& action) { return name == QLatin1String(action.name); });
}

// An entry is a text box or the text part of an editable combo box.
QString entryText(QWidget* window, const QString& name)
{
    if (auto* combo = window->findChild<QComboBox*>(name))
        return combo->currentText();
    return box(window, name)->text();
}

// Logs a user of the action's role in, opens the action's window and fills its entries.
QWidget* openFilled(TestStore& store, const WindowAction& action)
{
    QWidget* frame = logInNew(store, action.manager, action.manager ? "10000001" : "20000001");
    press(frame, QKeySequence(QString::fromLatin1(action.keys)));
    QWidget* window = activeChild(frame) ? activeChild(frame) : visibleWindow<frmLogin>();
    for (const auto& [name, text] : action.entries) {
        if (auto* combo = window->findChild<QComboBox*>(name))
            combo->setEditText(text);
        else
            box(window, name)->setText(text);
    }
    return window;
}

void perform(QWidget* window, const WindowAction& action)
{
    for (const QString& name : action.presses)
        click(window, name);
}

bool entriesKept(QWidget* window, const WindowAction& action)
{
    return std::ranges::all_of(action.entries,
                               [&](const auto& entry) { return entryText(window, entry.first) == entry.second; });
}

// Whether the window is still on show for the user, the frame a log-in would open not opened.
bool stillOnShow(const QPointer<QWidget>& window, const WindowAction& action)
{
    return window && window->isVisible() && !visibleWindow<frmReportResults>()
        && (qstrcmp(action.name, "log-in") != 0 || !visibleWindow<frmMain>());
}

// Whether the SQLite file is sound; the server keeps its own.
bool soundStore(const TestStore& store)
{
    return onServer() || store.rows(QStringLiteral("pragma integrity_check")).value(0).value(0) == QLatin1String("ok");
}

// The jobs appenders write: every field of job n holds its letter and n.
constexpr char kJobFields[] = "select VNumber, IDNumber, Location, \"Date\", StartTime, StopTime, Comments from Servicing";
constexpr char kJobLetters[] = "VMLDSTC";

// Another workstation appending jobs first, first + 1, ... until it is stopped or the store
// refuses one; each job through a store opened for it, as the program does. A thread of this
// process: its connections are locked out as another program's are.
class JobAppender {
public:
    explicit JobAppender(qint64 first)
        : first(first)
    {
    }
    ~JobAppender() { stop(); }

    const qint64 first;
    int stored() const { return m_stored; }
    // Stops it once its job in hand is stored: the store's refusal, if any.
    QString stop()
    {
        m_stopping = true;
        if (m_thread.joinable())
            m_thread.join();
        return m_refusal;
    }

private:
    void run()
    {
        try {
            for (qint64 n = first; !m_stopping; ++n) {
                QStringList fields;
                for (const char letter : std::string_view(kJobLetters))
                    fields << QLatin1Char(letter) + QString::number(n);
                data::Database().append(data::Job{fields[0], fields[1], fields[2], fields[3], fields[4], fields[5], fields[6]});
                ++m_stored;
            }
        } catch (const data::StoreError& error) {
            m_refusal = error.message();
        }
    }

    std::atomic<bool> m_stopping = false;
    std::atomic<int> m_stored = 0;
    QString m_refusal;
    std::thread m_thread{[this] { run(); }}; // last: it starts once the rest is made
};

// The numbers of the appenders' jobs, each whole and stored once, in a sound store.
QSet<qint64> wholeJobs(const TestStore& store)
{
    QSet<qint64> numbers;
    if (!soundStore(store))
        qFatal("the store is damaged");
    for (const QStringList& record : store.rows(QString::fromLatin1(kJobFields))) {
        const QString n = record[0].mid(1);
        for (qsizetype i = 0; i < record.size(); ++i) {
            if (record[i] != QLatin1Char(kJobLetters[i]) + n)
                qFatal("a torn record: %s", qPrintable(record.join(QLatin1Char('|'))));
        }
        if (numbers.contains(n.toLongLong()))
            qFatal("a record was stored twice: %s", qPrintable(n));
        numbers.insert(n.toLongLong());
    }
    return numbers;
}

// Another program holding a lock on the store for `seconds` while it stores a vehicle "held" of
// its own: through the sqlite3 shell on the file ("exclusive" keeps readers out too, "immediate"
// writers only), or through psql on the server (the same two, as table lock modes).
class LockHolder {
public:
    LockHolder(const TestStore& store, const QString& lockKind, double seconds)
    {
        const QString held = QStringLiteral("insert into Vehicle (VNumber) values ('held');\nselect 'locked';\n");
        if (onServer()) {
            m_process.start(QStringLiteral("psql"), {QStringLiteral("-XAtq"), QString::fromUtf8(store.serverUri())});
            m_process.write(QStringLiteral("begin;\nlock table Person, Vehicle, Servicing in %1 mode;\n%2"
                                           "select pg_sleep(%3);\ncommit;\n")
                                .arg(lockKind == QLatin1String("exclusive") ? "access exclusive" : "exclusive", held)
                                .arg(seconds)
                                .toUtf8());
        } else {
            m_process.start(QStringLiteral("sqlite3"), {store.databasePath()});
            const QString script = QStringLiteral("begin %1;\n%2.shell sleep %3\ncommit;\n").arg(lockKind, held).arg(seconds);
            m_process.write(script.toUtf8());
        }
        m_process.closeWriteChannel();
        m_process.waitForReadyRead(5000); // the lock is taken once "locked" is printed
    }
    ~LockHolder() { m_process.waitForFinished(30000); }

private:
    QProcess m_process;
};

// What stands at Vantorel.mdb when a setup command meets it, made in the store's folder.
using Entry = std::function<void(TestStore&)>;

// Overwrites part of a leaf page of the vehicle index: the file opens and reads, and only SQLite's
// own check finds the damage.
void damageAnIndex(TestStore& store)
{
    store.rows(u"with recursive n(i) as (select 1 union all select i + 1 from n where i < 3000) insert into "
               "Vehicle (VNumber) select 'V' || i from n"_s);
    QByteArray bytes = readAll(store.databasePath());
    constexpr qsizetype kPage = 4096;
    for (qsizetype page = bytes.size() / kPage - 1; page > 0; --page) {
        if (bytes.at(page * kPage) == 0x0a) { // an index leaf
            bytes.replace(page * kPage + kPage - 200, 100, QByteArray(100, 'A'));
            break;
        }
    }
    writeAll(store.databasePath(), bytes);
}

QMap<QString, Entry> setupEntries()
{
    const auto replaceWith = [](const std::function<void(const QString& path)>& make) {
        return [make](TestStore& store) {
            QFile::remove(store.databasePath());
            make(store.databasePath());
        };
    };
    return {
        {u"sound"_s, [](TestStore& store) { store.addVehicle(u"1001"_s); }},
        {u"damaged but readable"_s, damageAnIndex},
        {u"foreign"_s, replaceWith([](const QString& path) {
             QCOMPARE(QProcess::execute(u"sqlite3"_s, {path, u"create table Other (Note text)"_s}), 0);
         })},
        {u"a link to a sound file"_s, [](TestStore& store) {
             QFile::rename(store.databasePath(), store.folder() + u"/real.mdb"_s);
             QFile::link(u"real.mdb"_s, store.databasePath());
         }},
        {u"a dangling link"_s, replaceWith([](const QString& path) { QFile::link(u"nowhere.mdb"_s, path); })},
        {u"a folder"_s, replaceWith([](const QString& path) { QDir().mkdir(path); })},
        {u"a link file"_s, replaceWith([](const QString& path) { writeAll(path, "postgresql:///shop?host=/nonexistent\n"); })},
        {u"a postgres:// link file"_s, replaceWith([](const QString& path) { writeAll(path, "postgres:///shop?host=/nonexistent\n"); })},
        {u"a link file of 5 KB"_s, replaceWith([](const QString& path) {
             writeAll(path, "postgresql:///shop?host=/nonexistent&application_name=" + QByteArray(5000, 'x') + '\n');
         })},
        {u"a link file of two lines"_s, replaceWith([](const QString& path) {
             writeAll(path, "postgresql:///shop?host=/nonexistent\rpostgresql:///other\n");
         })},
        {u"a Jet file"_s, replaceWith([](const QString& path) {
             writeAll(path, QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20) + QByteArray(4076, '\0'));
         })},
        {u"nothing"_s, replaceWith([](const QString&) {})},
    };
}

// What is at `path` now, to compare with what was: the link's target, the folder, or the bytes.
QString stateOf(const QString& path)
{
    const QFileInfo there(path);
    if (there.isSymLink())
        return u"link to "_s + there.symLinkTarget();
    if (there.isDir())
        return u"folder"_s;
    return there.exists() ? QString::fromLatin1(readAll(path).toHex().left(4096)) + QString::number(there.size()) : u"none"_s;
}

// Whether the store action succeeds.
bool withoutError(const std::function<void()>& action)
{
    try {
        action();
        return true;
    } catch (const data::StoreError&) {
        return false;
    }
}

// A relay between the program and the server (socat, one process per connection), which a test
// kills or stalls as a network would; the link file then names it.
class Relay {
public:
    explicit Relay(const TestStore& store)
    {
        start();
        const QByteArray throughRelay = QByteArray(store.serverUri())
                                            .replace(QFile::encodeName(cluster().socketFolder()), QFile::encodeName(m_folder.path()));
        writeAll(store.databasePath(), data::linkFileText(data::ServerTarget{throughRelay}.workstationUri()));
    }
    ~Relay() { signal(SIGKILL); }

    void start()
    {
        const QString socket = QStringLiteral("/.s.PGSQL.5432");
        QFile::remove(m_folder.path() + socket);
        m_relay.setChildProcessModifier([] { setpgid(0, 0); }); // one group: the connections' processes too
        m_relay.start(QStringLiteral("socat"), {u"UNIX-LISTEN:%1,fork"_s.arg(m_folder.path() + socket),
                                                u"UNIX-CONNECT:%1"_s.arg(cluster().socketFolder() + socket)});
        QTRY_VERIFY(QFileInfo::exists(m_folder.path() + socket));
    }
    // As a cable pulled: every connection through it ends at once.
    void kill()
    {
        signal(SIGKILL);
        m_relay.waitForFinished();
    }
    // As a network that stops carrying anything, without closing a connection.
    void stall() { signal(SIGSTOP); }

private:
    void signal(int number)
    {
        if (m_relay.state() != QProcess::NotRunning)
            ::kill(-pid_t(m_relay.processId()), number);
    }

    QTemporaryDir m_folder;
    QProcess m_relay;
};

} // namespace

class TestFaults : public test::Suite {
    Q_OBJECT

private slots:
    void damagedFilesAreReportedByEveryAction()
    {
        int tried = 0;
        for (const WindowAction& action : kActions) {
            QList<Fault> faults = damagedFiles();
            if (onServer())
                faults << unreachableServers();
            for (const Fault& fault : faults) {
                const QString label = QStringLiteral("%1, %2").arg(action.name, fault.name);
                TestStore store;
                QPointer<QWidget> window = openFilled(store, action);
                fault.apply(store);
                const bool existed = QFileInfo::exists(store.databasePath());
                const QByteArray before = readAll(store.databasePath());
                MessageWatcher messages;

                perform(window, action);
                const QString text = messages.takeOnly();
                QVERIFY2(namesTheStore(text) && !text.startsWith('<') && !text.contains(QLatin1String(kSecret)),
                         qPrintable(label + QStringLiteral(": ") + text));
                QVERIFY2(!text.contains(QStringLiteral("Successfully")), qPrintable(label));
                QVERIFY2(stillOnShow(window, action) && entriesKept(window, action), qPrintable(label));
                QCOMPARE(QFileInfo::exists(store.databasePath()), existed);
                QVERIFY2(readAll(store.databasePath()) == before, qPrintable(label));
                closeAllWindows();
                ++tried;
            }
        }
        qInfo("damaged-file faults tried: %d", tried);
    }

    void refusedActionKeepsTheEntriesAndIsDoneOnceAfter_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("refusal"); // a lock another program holds, or writing refused
        QTest::newRow("log-in, readers locked out") << "log-in" << "exclusive lock";
        QTest::newRow("add vehicle, writers locked out") << "add vehicle" << "immediate lock";
        QTest::newRow("complete job, writers locked out") << "complete job" << "immediate lock";
        for (const char* action : {"add vehicle", "add user", "complete job"})
            QTest::addRow("%s, read only", action) << action << "read only";
    }

    // Another program's lock held for 1 s delays the action. Held for 6.5 s, past the 5 s the store
    // waits, or with writing refused, the action is refused with the entries kept; once the lock is
    // gone or writing works again, the same entries are done once.
    void refusedActionKeepsTheEntriesAndIsDoneOnceAfter()
    {
        QFETCH(QString, action);
        QFETCH(QString, refusal);
        const bool lock = refusal.endsWith(QLatin1String(" lock"));
        const QString lockKind = refusal.section(u' ', 0, 0);
        TestStore store;
        MessageWatcher messages;
        const WindowAction windowAction = actionNamed(action);
        // The records the action stored: all but the users logged in and the other program's vehicles.
        const auto ours = [&] {
            return store.count(QStringLiteral("Person where IDNumber not in ('10000001', '20000001')"))
                + store.count(QStringLiteral("Vehicle where VNumber <> 'held'")) + store.count(QStringLiteral("Servicing"));
        };
        // Done: the frame a log-in opens, or the saved message.
        const auto done = [&] {
            if (!windowAction.savedMessage.isEmpty())
                return messages.takeOnly() == windowAction.savedMessage;
            return messages.texts.isEmpty() && visibleWindow<frmMain>() != nullptr;
        };
        const int stores = windowAction.savedMessage.isEmpty() ? 0 : 1;
        QPointer<QWidget> window = openFilled(store, windowAction);
        if (lock) {
            {
                LockHolder holder(store, lockKind, 1.0);
                perform(window, windowAction);
            }
            QVERIFY(done());
            QCOMPARE(ours(), stores);
            closeAllWindows();
            window = openFilled(store, windowAction);
        }
        const int before = ours();
        {
            std::optional<LockHolder> holder;
            if (lock)
                holder.emplace(store, lockKind, 6.5);
            store.refuseWrites(!lock);
            perform(window, windowAction);
            store.refuseWrites(false);
        }
        const QString text = messages.takeOnly();
        QVERIFY2(text.contains(lock ? QStringLiteral("lock") : QStringLiteral("could not be saved in "))
                     && namesTheStore(text),
                 qPrintable(text));
        QVERIFY(stillOnShow(window, windowAction) && entriesKept(window, windowAction) && soundStore(store));
        QCOMPARE(ours(), before);
        perform(window, windowAction);
        QVERIFY(done());
        QCOMPARE(ours(), before + stores);
        QCOMPARE(store.count(QStringLiteral("Vehicle where VNumber = 'held'")), lock ? 2 : 0);
    }

    // Three workstations append jobs at once: each waits its turn, and every job is stored once,
    // whole. On the file a backup taken meanwhile holds every job stored before it began; restore
    // puts it in place, and refuses a damaged copy changing nothing.
    void workstationsAppendingAtOnceAndABackupMeanwhile()
    {
        TestStore store;
        QSet<qint64> expected;
        int storedBeforeBackup = 0;
        ToolRun backup;
        {
            std::list<JobAppender> appenders;
            for (const int first : {1, 1000000, 2000000})
                appenders.emplace_back(first);
            QTest::qWait(300);
            for (const JobAppender& appender : appenders)
                storedBeforeBackup += appender.stored();
            if (!onServer())
                backup = runSetup(store.folder(), {"--backup", "copy.mdb"});
            QTest::qWait(100);
            for (JobAppender& appender : appenders) {
                QCOMPARE(appender.stop(), QString());
                for (qint64 n = appender.first; n < appender.first + appender.stored(); ++n)
                    expected.insert(n);
            }
        }
        QVERIFY(storedBeforeBackup > 0);
        QCOMPARE(wholeJobs(store), expected);
        if (onServer())
            return; // a server is backed up with pg_dump

        QVERIFY2(backup.exitCode == 0 && backup.shown.contains("Wrote copy.mdb"), backup.shown.constData());
        QCOMPARE(runSetup(store.folder(), {"--restore", "copy.mdb"}).exitCode, 0);
        QVERIFY(QFileInfo::exists(store.folder() + QStringLiteral("/Vantorel.mdb.before-restore")));
        QVERIFY(wholeJobs(store).size() >= storedBeforeBackup);

        QFile copy(store.folder() + QStringLiteral("/copy.mdb"));
        QVERIFY(copy.open(QIODevice::ReadWrite));
        copy.resize(copy.size() / 2);
        copy.close();
        const QByteArray current = readAll(store.databasePath());
        const ToolRun refused = runSetup(store.folder(), {"--restore", "copy.mdb"});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.shown.contains("not a sound Vantorel database; nothing was changed"), refused.shown.constData());
        QCOMPARE(readAll(store.databasePath()), current);
        QVERIFY(!QFileInfo::exists(store.folder() + QStringLiteral("/Vantorel.mdb.before-restore.2")));
    }

    // After a run of user actions no connection to the store stays open: no descriptor of this
    // process on Vantorel.mdb, and no session on the server but the one that counts them.
    void everyActionReleasesItsConnection()
    {
        TestStore store;
        MessageWatcher messages;
        for (const WindowAction& action : kActions) {
            perform(openFilled(store, action), action);
            closeAllWindows();
        }
        QCOMPARE(messages.texts.size(), 3); // vehicle, user and job saved
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

    void workstationsMayOnlyReadAndAdd_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<bool>("refusedOnTheFile");
        QTest::newRow("change") << u"update Person set LName = 'Changed'"_s << true;
        QTest::newRow("delete") << u"delete from Person"_s << true;
        QTest::newRow("empty") << u"truncate Person"_s << false;
        QTest::newRow("drop") << u"drop table Person"_s << false;
        QTest::newRow("alter") << u"alter table Person add column Extra text"_s << false;
        QTest::newRow("a table of its own") << u"create table Extra (Note text)"_s << false;
    }

    // What a workstation's own connection may do to the records: read and add, never change or
    // delete; on the server nothing else either, by the rights the setup tool granted.
    void workstationsMayOnlyReadAndAdd()
    {
        QFETCH(QString, statement);
        QFETCH(bool, refusedOnTheFile);
        if (!onServer() && !refusedOnTheFile)
            QSKIP("The file keeps its records by triggers on changes and deletions; its tables are the user's file.");
        TestStore store;
        store.addClearTextUser(u"10000001"_s, u"pw"_s, true);
        data::Database workstation;
        QVERIFY_THROWS_EXCEPTION(data::StoreError, workstation.connection().run(statement, {}, statement));
        QCOMPARE(store.rows(u"select LName from Person"_s), QList<QStringList>({{u"Last"_s}}));
        workstation.append(sampleVehicle(u"1001"_s));
        QCOMPARE(store.count(u"Vehicle"_s), 1);
    }

    void anAppendWhoseAnswerIsLostIsStoredOnce_data()
    {
        QTest::addColumn<bool>("stalled");
        QTest::newRow("connection lost") << false;
        QTest::newRow("network stalled") << true;
    }

    // The server stores the job but its answer never reaches the program: the mechanic is told
    // the outcome is unknown and that pressing again is safe, and the job is stored once. A
    // stalled network ends the wait within the bound, while the window repaints, shows the wait
    // cursor and takes no input.
    void anAppendWhoseAnswerIsLostIsStoredOnce()
    {
        QFETCH(bool, stalled);
        if (!onServer())
            QSKIP("The file answers every append; a lost answer is the network's.");
        TestStore store;
        store.addVehicle(u"1001"_s);
        Relay relay(store);
        // The answer comes a second after the job is stored: time enough to lose it.
        store.rows(u"create function slowly() returns trigger language plpgsql as "
                   "$$ begin perform pg_sleep(1); return null; end $$"_s);
        store.rows(u"create trigger AnswerLate after insert on Servicing for each row execute function slowly()"_s);
        QWidget* window = openFilled(store, actionNamed(u"complete job"_s));
        click(window, u"cmdStart"_s);
        MessageWatcher messages;
        bool cursorShown = false;
        QTimer::singleShot(700, [&] { stalled ? relay.stall() : relay.kill(); });
        QTimer::singleShot(600, [&] {
            cursorShown = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
            QTest::keyClicks(box(window, u"txtLocation"_s), u"typed meanwhile"_s);
        });
        QElapsedTimer clock;
        clock.start();
        click(window, u"cmdComplete"_s);
        QVERIFY2(clock.elapsed() < 13000, qPrintable(QString::number(clock.elapsed())));
        const QString message = messages.takeOnly();
        QVERIFY2(message.startsWith(u"It is not known whether the maintenance job was saved in "_s)
                     && message.contains(u"Doing the same again is safe: it is saved only once."_s),
                 qPrintable(message));
        QVERIFY(!stalled || message.contains(u"The server sent nothing for 10 seconds"_s));
        QVERIFY(cursorShown);
        QCOMPARE(box(window, u"txtLocation"_s)->text(), u"Bay 1"_s);
        QCOMPARE(label(window, u"lblStopTime"_s)->text(), QString());
        QTRY_COMPARE(store.count(u"Servicing"_s), 1);

        relay.kill();
        relay.start();
        click(window, u"cmdComplete"_s);
        QCOMPARE(messages.takeOnly(), u"Maintenance Complete."_s);
        QCOMPARE(store.count(u"Servicing"_s), 1);
        QCOMPARE(store.rows(u"select StopTime from Servicing"_s), QList<QStringList>({{label(window, u"lblStopTime"_s)->text()}}));
        click(window, u"cmdComplete"_s); // confirmed: pressed again, it is another job
        QCOMPARE(messages.takeOnly(), u"Maintenance Complete."_s);
        QCOMPARE(store.count(u"Servicing"_s), 2);
    }

    void linkFilesAndTheirMessages_data()
    {
        QTest::addColumn<QByteArray>("uri");
        QTest::addColumn<bool>("unverified");
        QTest::addColumn<QByteArray>("asWorkstation");
        QTest::newRow("the shop's server, unchecked") << QByteArray("postgresql://admin@db.shop.lan:5432/vantorel?sslmode=require")
                                                      << true << QByteArray("postgresql:///?dbname=vantorel&host=db.shop.lan&port=5432&sslmode=require&user=ws");
        QTest::newRow("the shop's server, verified") << QByteArray("postgresql://db.shop.lan/v?sslmode=verify-full&sslrootcert=/etc/shop.crt")
                                                     << false << QByteArray("postgresql:///?dbname=v&host=db.shop.lan&sslmode=verify-full&sslrootcert=%2Fetc%2Fshop.crt&user=ws");
        QTest::newRow("two servers, one unchecked") << QByteArray("postgresql://localhost,db2.shop.lan/v") << true
                                                    << QByteArray("postgresql:///?dbname=v&host=localhost%2Cdb2.shop.lan&user=ws");
        QTest::newRow("this machine's socket") << QByteArray("postgresql:///v?host=/run/postgresql&user=admin") << false
                                               << QByteArray("postgresql:///?dbname=v&host=%2Frun%2Fpostgresql&user=ws");
        QTest::newRow("the shop's server, no host name checked") << QByteArray("postgresql://db.shop.lan/v?sslmode=verify-ca")
                                                                 << true << QByteArray("postgresql:///?dbname=v&host=db.shop.lan&sslmode=verify-ca&user=ws");
        QTest::newRow("localhost") << QByteArray("postgresql://localhost/v") << false
                                   << QByteArray("postgresql:///?dbname=v&host=localhost&user=ws");
    }

    // The setup tool warns about a link file that trusts any server, and gives the workstations
    // one naming their own role with every other setting kept.
    void linkFilesAndTheirMessages()
    {
        QFETCH(QByteArray, uri);
        QFETCH(bool, unverified);
        QFETCH(QByteArray, asWorkstation);
        QCOMPARE(data::verifiesNoServer(uri), unverified);
        QCOMPARE(data::uriAsRole(uri, u"ws"_s), asWorkstation);
    }

    // A link naming several servers names them all when none answers; a server that asks for a
    // password nobody stored says where libpq looks for it.
    void serverRefusalsSayWhatToDo()
    {
        if (!onServer())
            QSKIP("The file has no servers.");
        TestStore store;
        MessageWatcher messages;
        writeAll(store.databasePath(), "postgresql:///store?host=/nonexistent-one,/nonexistent-two\n");
        QVERIFY(!logIn(u"10000001"_s, u"pw"_s));
        QVERIFY2(messages.texts.value(0).contains(u"on the servers this computer (/nonexistent-one), this computer "
                                                  "(/nonexistent-two)"_s),
                 qPrintable(messages.texts.value(0)));
        messages.texts.clear();

        const QString hba = store.rows(u"show hba_file"_s)[0][0];
        QFile rules(hba);
        QVERIFY(rules.open(QIODevice::ReadOnly));
        const QByteArray trusting = rules.readAll();
        rules.close();
        writeAll(hba, "local all needs_password scram-sha-256\n" + trusting);
        const auto restore = qScopeGuard([&] {
            writeAll(hba, trusting);
            store.rows(u"select pg_reload_conf()"_s);
        });
        store.rows(u"do $$ begin if not exists (select from pg_roles where rolname = 'needs_password') then "
                   "create role needs_password login password 'secret'; end if; end $$"_s);
        store.rows(u"select pg_reload_conf()"_s);
        writeAll(store.databasePath(), data::linkFileText(data::uriAsRole(store.serverUri(), u"needs_password"_s)));
        qputenv("PGPASSFILE", QFile::encodeName(store.folder() + u"/no-such-file"_s));
        const auto noPasswordFile = qScopeGuard([] { qunsetenv("PGPASSFILE"); });
        QVERIFY(!logIn(u"10000001"_s, u"pw"_s));
        QVERIFY2(messages.texts.value(0).contains(u"~/.pgpass, or the file the PGPASSFILE environment variable names"_s)
                     && messages.texts.value(0).contains(u"chmod 600"_s),
                 qPrintable(messages.texts.value(0)));
    }

    // A primary and its streaming standby behind a link naming both (read-write sessions only):
    // the primary lost in use, the standby promoted, the next job is stored on the new primary,
    // and every job confirmed before is there once, also when its append is repeated.
    void failoverKeepsEveryConfirmedJobOnce()
    {
        if (!onServer())
            QSKIP("The file has no standby.");
        auto primary = std::make_unique<ThrowawayCluster>();
        const ThrowawayCluster standby(primary.get());
        const TestStore folder(TestStore::Contents::Nothing); // the folder the program works in
        const data::ServerTarget target{primary->uri("postgres")};
        data::createServerStore(target, {});
        writeAll(folder.databasePath(),
                 u"postgresql:///postgres?host=%1,%2&user=%3&target_session_attrs=read-write\n"_s
                     .arg(primary->socketFolder(), standby.socketFolder(), target.workstationRole)
                     .toUtf8());
        const auto job = [](const char* comments) {
            return data::Job{u"1001"_s, u"20000001"_s, u"Bay 1"_s, u"1/8/2026"_s, u"8:00:00 AM"_s, u"9:00:00 AM"_s,
                             QString::fromLatin1(comments)};
        };
        // "identities/jobs" as the standby has replayed them so far (its tables may not be there yet).
        const auto jobsOnStandby = [&] {
            QString counts;
            withoutError([&] {
                data::PostgresConnection server(standby.uri("postgres"));
                const auto scan = server.select(u"select count(distinct AppendKey) || '/' || count(*) from Servicing"_s, {}, {});
                counts = scan->next() ? scan->text(0) : QString();
            });
            return counts;
        };
        data::Database().append(job("before"), u"first"_s);
        QTRY_COMPARE(jobsOnStandby(), u"1/1"_s);

        primary.reset();
        QVERIFY_THROWS_EXCEPTION(data::StoreError, data::Database().append(job("during"), u"second"_s));
        standby.promote();
        QTRY_VERIFY_WITH_TIMEOUT(withoutError([&] { data::Database().append(job("after"), u"second"_s); }), 15000);
        data::Database().append(job("before"), u"first"_s); // repeated: it is there already
        QCOMPARE(jobsOnStandby(), u"2/2"_s);
    }

    // TLS as a shop runs it: the server's certificate signed by the shop's own, checked with
    // sslmode=verify-full; a link under a name the certificate does not carry, or trusting another
    // certificate, is refused with one message naming the server and saying why.
    void verifiedTlsAndItsRefusals()
    {
        if (!onServer())
            QSKIP("The file has no server to verify.");
        QTemporaryDir keys;
        const auto openssl = [&](const QString& arguments) {
            QProcess tool;
            tool.setWorkingDirectory(keys.path());
            tool.start(u"openssl"_s, QProcess::splitCommand(arguments));
            QVERIFY2(tool.waitForFinished(60000) && tool.exitCode() == 0, tool.readAllStandardError().constData());
        };
        for (const char* ca : {"shop", "other"})
            openssl(u"req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=%1 -keyout %1.key -out %1.crt"_s.arg(QLatin1String(ca)));
        openssl(u"req -newkey rsa:2048 -nodes -subj /CN=localhost -keyout server.key -out server.csr"_s);
        writeAll(keys.filePath(u"names.txt"_s), "subjectAltName=DNS:localhost\n");
        openssl(u"x509 -req -in server.csr -CA shop.crt -CAkey shop.key -CAcreateserial -days 2 -extfile names.txt "
                "-out server.crt"_s);
        QFile::setPermissions(keys.filePath(u"server.key"_s), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        if (geteuid() == 0) // the server runs as postgres and must own its key
            QVERIFY(QProcess::execute(u"chown"_s, {u"-R"_s, u"postgres"_s, keys.path()}) == 0);
        const int port = 20000 + int(QRandomGenerator::global()->bounded(20000));
        ThrowawayCluster tls({u"-c"_s, u"listen_addresses=127.0.0.1"_s, u"-c"_s, u"port=%1"_s.arg(port), u"-c"_s,
                              u"ssl=on"_s, u"-c"_s, u"ssl_cert_file=%1"_s.arg(keys.filePath(u"server.crt"_s)), u"-c"_s,
                              u"ssl_key_file=%1"_s.arg(keys.filePath(u"server.key"_s))});
        const TestStore folder(TestStore::Contents::Nothing); // the folder the program works in
        const QString link = u"postgresql://%1:%2/postgres?sslmode=verify-full&sslrootcert=%3"_s;
        const data::ServerTarget target{link.arg(u"localhost"_s).arg(port).arg(keys.filePath(u"shop.crt"_s)).toUtf8()
                                        + "&user=postgres"};
        data::createServerStore(target, {});
        writeAll(folder.databasePath(), data::linkFileText(target.workstationUri()));
        data::Database().append(sampleVehicle(u"1001"_s), u"tls"_s);
        QVERIFY(data::Database().firstVehicle(u"1001"_s));

        for (const auto& [host, ca, reason] : {std::tuple{"127.0.0.1", "shop", "does not match host name"},
                                               std::tuple{"localhost", "other", "certificate verify failed"}}) {
            writeAll(folder.databasePath(),
                     data::linkFileText(data::uriAsRole(
                         link.arg(QLatin1String(host)).arg(port).arg(keys.filePath(QLatin1String(ca) + u".crt"_s)).toUtf8(),
                         target.workstationRole)));
            MessageWatcher messages;
            QVERIFY(!logIn(u"10000001"_s, u"pw"_s));
            const QString message = messages.takeOnly();
            QVERIFY2(message.startsWith(u"Could not connect to the database postgres on the server %1:%2."_s.arg(QLatin1String(host)).arg(port))
                         && message.contains(QLatin1String(reason)),
                     qPrintable(message));
        }
    }

    void setupMeetsEveryKindOfEntry_data()
    {
        if (onServer())
            QSKIP("These are the file's entries; a server store is cared for by the server's tools.");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("said");
        QTest::addColumn<qint64>("diskBytes"); // what setup may write before the disk is full; 0: no limit
        const QStringList check{u"--check"_s}, backup{u"--backup"_s, u"copy.mdb"_s}, demo{u"--demo"_s},
            force{u"--demo"_s, u"--force"_s}, import{u"--import"_s},
            managed{u"--demo"_s, u"--manager-id"_s, u"99000001"_s, u"--password-stdin"_s};
        const auto row = [](const char* name, const char* entry, const QStringList& arguments, int exitCode, const char* said,
                            qint64 diskBytes = 0) {
            QTest::newRow(name) << QString::fromLatin1(entry) << arguments << exitCode << QString::fromUtf8(said) << diskBytes;
        };
        row("check, sound", "sound", check, 0, "Vantorel.mdb is sound: 0 users, 1 vehicles, 0 maintenance jobs.");
        row("check, damaged but readable", "damaged but readable", check, 1, "The file is damaged: ");
        row("check, foreign", "foreign", check, 1, "The table Person is missing.");
        row("check, a link to a sound file", "a link to a sound file", check, 0, "is sound");
        row("check, a dangling link", "a dangling link", check, 1, "Vantorel.mdb is not a file.");
        row("check, a folder", "a folder", check, 1, "Vantorel.mdb is not a file.");
        row("check, a link file", "a link file", check, 1, "names a PostgreSQL server");
        row("check, a postgres:// link file", "a postgres:// link file", check, 1, "names a PostgreSQL server");
        row("check, a link file of two lines", "a link file of two lines", check, 1, "must hold one line");
        row("check, a link file of 5 KB", "a link file of 5 KB", check, 1, "must hold one line");
        row("check, a Jet file", "a Jet file", check, 1, "is a database of the earlier program");
        row("check, nothing", "nothing", check, 1, "Vantorel.mdb is not a file.");
        row("backup, damaged but readable", "damaged but readable", backup, 1, "copy.mdb has problems");
        row("backup, a Jet file", "a Jet file", backup, 1, "vantorel-setup --import");
        row("backup, a link file", "a link file", backup, 1, "pg_dump");
        row("backup onto itself", "sound", {u"--backup"_s, u"Vantorel.mdb"_s}, 1, "Vantorel.mdb exists already.");
        row("restore, a link file", "a link file", {u"--restore"_s, u"copy.mdb"_s}, 1, "pg_restore");
        row("new store, a dangling link", "a dangling link", demo, 1, "exists already");
        row("new store, a folder", "a folder", force, 1, "is not a regular file");
        row("new store over a link", "a link to a sound file", force, 1, "is not a regular file");
        row("new store, the disk full", "nothing", managed, 1, "vantorel-setup: ", 20000);
        row("new store over a dangling link, the disk full", "a dangling link", managed, 1, "exists already", 20000);
        row("new store over a sound file, the disk full", "sound", managed + QStringList{u"--force"_s}, 1, "vantorel-setup: ", 20000);
        row("import, nothing", "nothing", import, 1, "is not a Jet database");
        row("import, sound", "sound", import, 1, "is not a database of the earlier program");
        row("import, a folder", "a folder", import, 1, "is not a database of the earlier program");
    }

    // Every setup command meets whatever stands at Vantorel.mdb, on a disk with room or one that
    // fills up: what it says, and that a command that fails leaves it exactly as it was (a link a
    // link, a folder a folder, a file its bytes); out of disk, no file of its own stays behind.
    void setupMeetsEveryKindOfEntry()
    {
        QFETCH(QString, entry);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, said);
        QFETCH(qint64, diskBytes);
        TestStore store;
        setupEntries()[entry](store);
        const QString before = stateOf(store.databasePath());
        const QStringList namesBefore = namesIn(store.folder());
        const QStringList password = arguments.contains(u"--password-stdin"_s) ? QStringList{u"manager pw"_s} : QStringList{};
        const ToolRun run = runSetup(store.folder(), arguments, password, false, diskBytes);
        QVERIFY2(QString::fromUtf8(run.shown).contains(said), run.shown.constData());
        QCOMPARE(run.exitCode, exitCode);
        if (exitCode != 0)
            QCOMPARE(stateOf(store.databasePath()), before);
        if (diskBytes > 0)
            QCOMPARE(namesIn(store.folder()), namesBefore);
    }

    // A restore never replaces what it keeps: each restore keeps the file it replaced under a name
    // of its own, .before-restore, .before-restore.2 ..., passing over any name taken, a link to
    // nowhere included, which stays as it was.
    void restoresKeepEveryFileTheyReplace()
    {
        if (onServer())
            QSKIP("A server store is restored with pg_restore.");
        TestStore store;
        QCOMPARE(runSetup(store.folder(), {u"--backup"_s, u"empty.mdb"_s}).exitCode, 0);
        QVERIFY(QFile::link(u"nowhere"_s, store.databasePath() + u".before-restore"_s));
        store.addVehicle(u"1001"_s);
        const QByteArray withVehicle = readAll(store.databasePath());
        const ToolRun first = runSetup(store.folder(), {u"--restore"_s, u"empty.mdb"_s});
        QVERIFY2(first.shown.contains("kept as Vantorel.mdb.before-restore.2."),
                 first.shown.constData());
        store.addVehicle(u"2002"_s);
        const QByteArray withOther = readAll(store.databasePath());
        QCOMPARE(runSetup(store.folder(), {u"--restore"_s, u"empty.mdb"_s}).exitCode, 0);
        QCOMPARE(stateOf(store.databasePath() + u".before-restore"_s), u"link to "_s + store.folder() + u"/nowhere"_s);
        QCOMPARE(readAll(store.databasePath() + u".before-restore.2"_s), withVehicle);
        QCOMPARE(readAll(store.databasePath() + u".before-restore.3"_s), withOther);
        QCOMPARE(store.count(u"Vehicle"_s), 0);
    }
};

QTEST_MAIN(TestFaults)
#include "test_faults.moc"
