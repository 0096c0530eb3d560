// Hostile and unusual input, and the handling of credentials: values reach the store byte for
// byte and never become part of a statement's text; passwords are never kept in clear and the
// answer to a log-in tells no more than its message.

#include "StatementLog.h"
#include "TestSupport.h"

#include "data/Credentials.h"
#include "data/Database.h"
#include "maintenance/frmRepairHistory.h"
#include "maintenance/frmServicing.h"
#include "records/frmAddUser.h"
#include "records/frmAddVehicle.h"
#include "reports/frmReportGen.h"
#include "reports/frmReportResults.h"
#include "shell/frmLogin.h"
#include "shell/frmMain.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace vantorel;
using vantorel::test::MessageWatcher;
using vantorel::test::StatementLog;
using vantorel::test::TestStore;
using vantorel::test::box;
using vantorel::test::button;
using vantorel::test::child;
using vantorel::test::label;

namespace {

// Each value carries the marker, so a statement text that holds a value can be found.
const QString kMarker = QStringLiteral("QZX");

QStringList hostileValues()
{
    const QString megabyte = kMarker + QString(1024 * 1024, QLatin1Char('y'));
    return {
        kMarker + QStringLiteral("' or '1'='1"),
        kMarker + QStringLiteral("\"; drop table Vehicle; --"),
        kMarker + QStringLiteral("'); delete from Person; select ('"),
        kMarker + QStringLiteral(" select * from Servicing where 1=1 "),
        kMarker + QStringLiteral("  leading and trailing blanks  "),
        kMarker + QStringLiteral("\t\x01\x1f\x7f control characters \r\n newline"),
        kMarker + QString::fromUtf8("مركبة صيانة"),           // Arabic
        kMarker + QString::fromUtf8("🚐🔧 van and wrench"),      // emoji outside the BMP
        kMarker + QString::fromUtf8("e\u0301 combining a\u0308"), // combining marks
        kMarker + QStringLiteral("%_\\ wildcard and escape characters"),
        megabyte,
    };
}

QStringList statementsCarryingAValue(const StatementLog& log)
{
    QStringList carrying;
    for (const QString& statement : log.statements()) {
        if (statement.contains(kMarker))
            carrying << statement.left(120);
    }
    return carrying;
}

void setAll(QWidget* window, const QStringList& boxes, const QString& value)
{
    for (const QString& name : boxes)
        box(window, name)->setText(value);
}

// The rows of the report that one criterion selects, built as the main window builds it.
QList<QStringList> reportFor(const QString& choice, const QString& value)
{
    frmReportGen generator;
    child<QComboBox>(&generator, QStringLiteral("cboCriteria1"))->setEditText(choice);
    box(&generator, QStringLiteral("txtCriteria1"))->setText(value);
    const frmReportResults results(generator);
    return test::reportRows(&results, frmReportResults::kColumnCount);
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

} // namespace

class TestInput : public QObject {
    Q_OBJECT

private:
    double timeLogin(const QString& id, const QString& password)
    {
        frmLogin login;
        login.findChild<QLineEdit*>(QStringLiteral("txtEmpID"))->setText(id);
        login.findChild<QLineEdit*>(QStringLiteral("txtPassword"))->setText(password);
        QElapsedTimer clock;
        clock.start();
        login.findChild<QPushButton*>(QStringLiteral("cmdSubmit"))->click();
        return double(clock.nsecsElapsed());
    }

private slots:
    void init() { QApplication::setQuitOnLastWindowClosed(false); }

    void storeKeepsHostileValuesByteForByte()
    {
        TestStore store;
        StatementLog log;
        for (const QString& value : hostileValues()) {
            data::Database().append(data::Vehicle{value, value, value, value, value, value, value, value});
            data::Database().append(data::Job{value, value, value, value, value, value, value});
        }
        for (const QString& value : hostileValues()) {
            const std::optional<data::Vehicle> vehicle = data::Database().firstVehicle(value);
            QVERIFY(vehicle);
            QCOMPARE(vehicle->make, value);
            QCOMPARE(vehicle->datePurchased, value);
            const QList<data::JobKey> jobs = data::Database().jobsOf(value);
            QCOMPARE(jobs.size(), 1);
            QCOMPARE(jobs.first().date, value);
            const std::optional<data::Job> job = data::Database().firstJob(jobs.first());
            QVERIFY(job);
            QCOMPARE(job->comments, value);
        }
        QCOMPARE(store.count(QStringLiteral("Vehicle")), int(hostileValues().size()));
        QCOMPARE(statementsCarryingAValue(log), QStringList());
        QVERIFY(!log.statements().isEmpty());
    }

    // What a user types into the windows comes back unchanged in the history and in reports.
    void hostileEntriesSurviveTheWindowsByteForByte()
    {
        TestStore store;
        MessageWatcher messages;
        StatementLog log;
        frmAddVehicle vehicles;
        frmRepairHistory history;
        for (const QString& value : hostileValues()) {
            setAll(&vehicles, test::kVehicleBoxes, value);
            button(&vehicles, QStringLiteral("cmdSubmit"))->click();
            QCOMPARE(messages.takeOnly(), QStringLiteral("Vehicle Added Successfully."));

            frmServicing servicing(value); // the logged-in ID is stored as given, too
            setAll(&servicing, {"txtVehicleNumber", "txtLocation", "txtComments"}, value);
            button(&servicing, QStringLiteral("cmdViewHistory"))->click();
            QCOMPARE(test::texts(&servicing, test::kVehicleLabels), QStringList(7, value));
            button(&servicing, QStringLiteral("cmdStart"))->click();
            button(&servicing, QStringLiteral("cmdComplete"))->click();
            QCOMPARE(messages.takeOnly(), QStringLiteral("Maintenance Complete."));

            button(&history, QStringLiteral("cmdClear"))->click();
            box(&history, QStringLiteral("txtVehicleNumber"))->setText(value);
            button(&history, QStringLiteral("cmdShowHistory"))->click();
            QCOMPARE(test::texts(&history, test::kVehicleLabels), QStringList(7, value));
            auto* dates = child<QAbstractItemView>(&history, QStringLiteral("lstRepairDates"));
            QCOMPARE(dates->model()->rowCount(), 1);
            dates->setCurrentIndex(dates->model()->index(0, 0));
            QCOMPARE(label(&history, QStringLiteral("lblMechanic"))->text(), value);
            // The comments view shows a CR LF pair as the one line break it is.
            QCOMPARE(test::texts(&history, {QStringLiteral("lblComments")}).first(),
                     QString(value).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));

            for (const QString& choice : {QStringLiteral("Vehicle Number"), QStringLiteral("Location")})
                QCOMPARE(reportFor(choice, value), QList<QStringList>{QStringList(8, value)});
        }
        QVERIFY(messages.texts.isEmpty());
        QCOMPARE(statementsCarryingAValue(log), QStringList());
        qInfo("hostile values tried: %d, each through 4 windows", int(hostileValues().size()));
    }

    void noPasswordIsKeptInClearInTheFile()
    {
        TestStore store;
        MessageWatcher messages;
        frmAddUser window;
        const QString password = QStringLiteral("Clear-Text Secret 42");
        const QStringList boxes = {"txtIDNumber", "txtLName", "txtFName", "txtAddress", "txtTelephone", "txtPassword"};
        for (int i = 0; i < boxes.size(); ++i)
            box(&window, boxes[i])->setText(i == 5 ? password : QStringLiteral("30000001"));
        button(&window, QStringLiteral("cmdSumbit"))->click();
        QCOMPARE(messages.takeOnly(), QStringLiteral("New User Added Successfully."));
        QFile file(store.databasePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.contains("30000001"));
        for (const QByteArray& form : {password.toUtf8(), password.toLower().toUtf8(),
                                       QByteArray(reinterpret_cast<const char*>(password.utf16()), password.size() * 2)})
            QVERIFY2(!bytes.contains(form), form.constData());
    }

    void loginQueriesNeverCarryTheTypedText()
    {
        TestStore store;
        store.addClearTextUser(kMarker + QStringLiteral("'--"), kMarker + QStringLiteral("' or ''='"), false);
        MessageWatcher messages;
        StatementLog log;
        timeLogin(kMarker + QStringLiteral("' or '1'='1"), kMarker);
        QCOMPARE(messages.takeOnly(), QStringLiteral("Invalid ID Number."));
        timeLogin(kMarker + QStringLiteral("'--"), QStringLiteral("' or ''='"));
        QCOMPARE(messages.takeOnly(), QStringLiteral("Invalid Password."));
        timeLogin(kMarker + QStringLiteral("'--"), kMarker + QStringLiteral("' or ''='"));
        QVERIFY(messages.texts.isEmpty());
        QCOMPARE(statementsCarryingAValue(log), QStringList());
    }

    void hashesAreSaltedAndVerified()
    {
        const QString first = data::hashPassword(QStringLiteral("Same password"));
        const QString second = data::hashPassword(QStringLiteral("Same password"));
        QVERIFY(first.startsWith(QStringLiteral("$argon2id$")));
        QVERIFY(first != second);
        QVERIFY(!first.contains(QStringLiteral("Same password")));
        QVERIFY(data::passwordMatches(first, QStringLiteral("Same password")));
        QVERIFY(data::passwordMatches(second, QStringLiteral("Same password")));
        QVERIFY(!data::passwordMatches(first, QStringLiteral("same password")));
        QVERIFY(!data::passwordMatches(first, QStringLiteral("Same password ")));
        QVERIFY(!data::passwordMatches(first, first)); // the hash itself is no password
        QVERIFY(!data::passwordMatches(std::nullopt, QString()));
        QVERIFY(data::passwordMatches(QStringLiteral(""), QString()));
        QVERIFY(data::passwordMatches(QString::fromUtf8("Çlear 🚐"), QString::fromUtf8("Çlear 🚐")));
        QVERIFY(!data::passwordMatches(QString::fromUtf8("Çlear 🚐"), QString::fromUtf8("Çlear")));
    }

    // Only relative times, and with a wide margin: the two answers must cost the same hashing work.
    void unknownIdTakesAsLongAsAWrongPassword()
    {
        TestStore store;
        store.addUser(QStringLiteral("10000001"), QStringLiteral("right"), false);
        MessageWatcher messages;
        QList<double> unknown;
        QList<double> wrong;
        for (int run = 0; run < 5; ++run) {
            unknown << timeLogin(QStringLiteral("99999999"), QStringLiteral("right"));
            wrong << timeLogin(QStringLiteral("10000001"), QStringLiteral("wrong"));
        }
        QCOMPARE(messages.texts.count(QStringLiteral("Invalid ID Number.")), 5);
        QCOMPARE(messages.texts.count(QStringLiteral("Invalid Password.")), 5);
        const double ratio = median(unknown) / median(wrong);
        QVERIFY2(ratio > 0.6 && ratio < 1.6, qPrintable(QString::number(ratio)));
    }
};

QTEST_MAIN(TestInput)
#include "test_input.moc"
