// Hostile and unusual input, and the handling of credentials: values reach the store byte for
// byte and never become part of a statement's text; passwords are never kept in clear and the
// answer to a log-in tells no more than its message.

#include "StatementLog.h"
#include "TestSupport.h"

#include "data/Credentials.h"
#include "data/Database.h"
#include "shell/frmLogin.h"
#include "shell/frmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace vantorel;
using vantorel::test::MessageWatcher;
using vantorel::test::StatementLog;
using vantorel::test::TestStore;

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
