// Faults of the store and of other processes: damaged files, locks, killed writers, a full disk.
// Every action must tell the user clearly, keep the window usable and lose or half-write nothing.

#include "TestSupport.h"

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
#include <QTest>
#include <QThread>

#include <csignal>
#include <memory>
#include <vector>
#include <sys/resource.h>

using namespace vantorel;
using vantorel::test::MessageWatcher;
using vantorel::test::TestStore;

namespace {

// One way of spoiling the database file; returns false when this machine cannot do it.
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
        {"truncated", [](TestStore& s) { writeAll(s.databasePath(), readAll(s.databasePath()).left(3000)); }},
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

QString appenderPath()
{
    return qEnvironmentVariable("VANTOREL_APPENDER",
                                QCoreApplication::applicationDirPath() + QStringLiteral("/vantorel-fault-appender"));
}

// Every job the appender wrote must be whole: each field carries the same number n.
void verifyWholeJobs(const TestStore& store, qint64 atLeast)
{
    QCOMPARE(store.rows(QStringLiteral("pragma integrity_check")).value(0).value(0), QStringLiteral("ok"));
    const QList<QStringList> jobs = store.rows(
        QStringLiteral("select VNumber, IDNumber, Location, \"Date\", StartTime, StopTime, Comments from Servicing"));
    QVERIFY2(jobs.size() >= atLeast, qPrintable(QStringLiteral("%1 < %2").arg(jobs.size()).arg(atLeast)));
    QSet<QString> seen;
    for (const QStringList& job : jobs) {
        const QString n = job[0].mid(1);
        QCOMPARE(job[0], QStringLiteral("V") + n);
        QCOMPARE(job[1], QStringLiteral("M") + n);
        QCOMPARE(job[2], QStringLiteral("L") + n);
        QCOMPARE(job[3], QStringLiteral("D") + n);
        QCOMPARE(job[4], QStringLiteral("S") + n);
        QCOMPARE(job[5], QStringLiteral("T") + n);
        QVERIFY(job[6].startsWith(QStringLiteral("C") + n + QLatin1Char('x')));
        QVERIFY2(!seen.contains(n), "a job was stored twice");
        seen.insert(n);
    }
}

// Another program holding a lock on the file for `seconds`, through the sqlite3 shell.
class LockHolder {
public:
    LockHolder(const QString& path, const char* lockKind, double seconds)
    {
        m_process.start(QStringLiteral("sqlite3"), {path});
        m_process.write(QStringLiteral("begin %1;\ninsert into Vehicle (VNumber) values ('held');\n"
                                       "select 'locked';\n.shell sleep %2\ncommit;\n")
                            .arg(QLatin1String(lockKind))
                            .arg(seconds)
                            .toUtf8());
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
    return store.rows(QStringLiteral("pragma integrity_check")).value(0).value(0) == QLatin1String("ok")
        && store.count(QStringLiteral("Person")) == 6 && store.count(QStringLiteral("Vehicle")) == 36
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
            for (const Fault& fault : damagedFiles()) {
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
                QVERIFY2(text.contains(QStringLiteral("Vantorel.mdb")) && !text.startsWith('<'),
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

    void lockHeldBrieflyOnlyDelaysTheAction()
    {
        TestStore store;
        store.addClearTextUser(QStringLiteral("10000001"), QStringLiteral("pw"), true);
        MessageWatcher messages;
        {
            LockHolder holder(store.databasePath(), "exclusive", 1.0);
            press(openFilled(actionNamed("log-in")), actionNamed("log-in"));
        }
        QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('|')));
        QVERIFY(test::visibleWindow<frmMain>());
    }

    void lockHeldPastTheTimeoutIsReportedThenCleared()
    {
        TestStore store;
        store.addClearTextUser(QStringLiteral("10000001"), QStringLiteral("pw"), true);
        MessageWatcher messages;
        const WindowAction logIn = actionNamed("log-in");
        QPointer<QWidget> login;
        {
            LockHolder holder(store.databasePath(), "exclusive", 6.5);
            login = openFilled(logIn);
            press(login, logIn);
            const QString text = messages.takeOnly();
            QVERIFY2(text.contains(QStringLiteral("locked")), qPrintable(text));
            QVERIFY(login && login->isVisible() && !test::visibleWindow<frmMain>());
        }
        press(login, logIn);
        QVERIFY(test::visibleWindow<frmMain>());
        QCOMPARE(store.count(QStringLiteral("Vehicle")), 1); // the other program's record, once
    }

    void lockOnSaveDelaysOrRefusesButNeverDoubles()
    {
        for (const auto& [name, table] : {std::pair{"add vehicle", "Vehicle"}, std::pair{"complete job", "Servicing"}}) {
            TestStore store;
            MessageWatcher messages;
            const WindowAction action = actionNamed(name);
            // The other program stores one vehicle of its own, "held", each time it takes the lock.
            const auto heldVehicles = [&] {
                return store.rows(QStringLiteral("select 1 from Vehicle where VNumber = 'held'")).size();
            };
            const auto ours = [&] {
                const int all = store.count(QString::fromLatin1(table));
                return qstrcmp(table, "Vehicle") == 0 ? all - int(heldVehicles()) : all;
            };
            QPointer<QWidget> window = openFilled(action);
            {
                LockHolder holder(store.databasePath(), "immediate", 1.0);
                press(window, action);
            }
            QCOMPARE(messages.takeOnly(), action.savedMessage);
            QCOMPARE(ours(), 1);

            window->close();
            window = openFilled(action);
            {
                LockHolder holder(store.databasePath(), "immediate", 6.5);
                press(window, action);
                const QString text = messages.takeOnly();
                QVERIFY2(text.contains(QStringLiteral("could not be saved in Vantorel.mdb.")) && text.contains("locked"),
                         qPrintable(text));
                QVERIFY(entriesKept(window, action));
            }
            QCOMPARE(ours(), 1);
            press(window, action); // the lock is gone: the same entries are saved, once
            QCOMPARE(messages.takeOnly(), action.savedMessage);
            QCOMPARE(ours(), 2);
            QCOMPARE(heldVehicles(), 2);
            window->close();
        }
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
                QVERIFY2(text.contains(QStringLiteral("could not be saved in Vantorel.mdb.")), qPrintable(text));
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
        QCOMPARE(store.rows(QStringLiteral("pragma integrity_check")).value(0).value(0), QStringLiteral("ok"));
        QCOMPARE(store.count(QStringLiteral("Vehicle")), 0);

        press(window, addVehicle); // room again: the same entries are saved, once
        QCOMPARE(messages.takeOnly(), QStringLiteral("Vehicle Added Successfully."));
        QCOMPARE(store.rows(QStringLiteral("select Make from Vehicle")), QList<QStringList>{{large}});
    }

    // A backup taken while three other programs append jobs holds every job committed before it
    // began, each whole; a damaged copy is refused by restore, which keeps the file as it was.
    void backupUnderLoadAndRestoreOfADamagedCopy()
    {
        TestStore store;
        std::vector<std::unique_ptr<QProcess>> appenders;
        for (const char* first : {"1", "1000000", "2000000"}) {
            appenders.push_back(std::make_unique<QProcess>());
            appenders.back()->setWorkingDirectory(store.folder());
            appenders.back()->start(appenderPath(), {QString::fromLatin1(first)});
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

    void killedWriterLeavesOnlyWholeRecords()
    {
        TestStore store;
        qint64 next = 1;
        QRandomGenerator generator(11);
        for (int kill = 0; kill < 25; ++kill) {
            QProcess appender;
            appender.setWorkingDirectory(store.folder());
            appender.start(appenderPath(), {QString::number(next)});
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

    void fullDiskRefusesTheAppendAndLosesNothing()
    {
        TestStore store;
        QProcess appender;
        appender.setWorkingDirectory(store.folder());
        const qint64 limit = QFileInfo(store.databasePath()).size() + 96 * 1024;
        appender.start(appenderPath(), {QStringLiteral("1"), QString::number(limit), QStringLiteral("3000")});
        QVERIFY(appender.waitForFinished(60000));
        QCOMPARE(appender.exitCode(), 3);
        const QStringList lines = QString::fromUtf8(appender.readAllStandardOutput()).trimmed().split('\n');
        QVERIFY2(lines.last().startsWith(QStringLiteral("refused ")), qPrintable(lines.last()));
        QVERIFY2(lines.last().contains(QStringLiteral("could not be saved")), qPrintable(lines.last()));
        const int saved = int(lines.size()) - 1;
        QVERIFY(saved > 5);
        verifyWholeJobs(store, saved);
        QCOMPARE(store.count(QStringLiteral("Servicing")), saved);
    }
};

QTEST_MAIN(TestFaults)
#include "test_faults.moc"
