// The servicing and repair-history windows, driven through their controls on a real file.

#include "TestSupport.h"

#include "common/ClockText.h"
#include "maintenance/frmRepairHistory.h"
#include "maintenance/frmServicing.h"
#include "shell/frmLogin.h"
#include "shell/frmMain.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRegularExpression>
#include <QTest>

using namespace vantorel;
using namespace vantorel::test;

namespace {

const QStringList kJobDisplays = { "lblDate", "lblStartTime", "lblStopTime", "txtLocation", "txtComments" };
const QStringList kDetailLabels = { "lblMaintenanceDate", "lblMechanic", "lblComments" };

QStringList shownVehicle(const QWidget* window)
{
    return texts(window, kVehicleLabels);
}

QStringList expectedVehicle(const QString& vehicleNumber)
{
    const data::Vehicle v = sampleVehicle(vehicleNumber);
    return { v.contractNumber, v.license, v.make, v.model, v.color, v.year, v.datePurchased };
}

void press(QWidget* window, const char* name)
{
    button(window, QString::fromLatin1(name))->click();
}

// A time text stamped a moment ago: one of the last few seconds in the regional long form.
bool isRecentTime(const QString& text)
{
    const QTime now = QTime::currentTime();
    for (int back = 0; back <= 3; ++back) {
        if (text == longTimeText(now.addSecs(-back)))
            return true;
    }
    return false;
}

QList<QStringList> storedJobs(const TestStore& store)
{
    return store.rows(QStringLiteral(
        "select VNumber, IDNumber, Location, \"Date\", StartTime, StopTime, Comments from Servicing"));
}

data::Job job(const QString& vehicle, const QString& date, const QString& mechanic, const QString& comments)
{
    return { vehicle, mechanic, QStringLiteral("Bay 1"), date, QStringLiteral("9:00:00 AM"),
        QStringLiteral("10:00:00 AM"), comments };
}

QStringList listedDates(const QWidget* history)
{
    QStringList dates;
    const QAbstractItemModel* model
        = child<QAbstractItemView>(history, QStringLiteral("lstRepairDates"))->model();
    for (int row = 0; row < model->rowCount(); ++row)
        dates << model->index(row, 0).data().toString();
    return dates;
}

void selectDate(QWidget* history, int row)
{
    auto* list = child<QAbstractItemView>(history, QStringLiteral("lstRepairDates"));
    list->setCurrentIndex(list->model()->index(row, 0));
}

} // namespace

class TestMaintenance : public QObject {
    Q_OBJECT

private slots:
    // Job times carry the regional long time with seconds and nothing of the time zone.
    void jobTimesLeaveOutTheZoneInEveryLocale_data()
    {
        QTest::addColumn<QLocale>("locale");
        for (const QLocale& locale : QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory))
            QTest::newRow(qPrintable(locale.name())) << locale;
    }

    void jobTimesLeaveOutTheZoneInEveryLocale()
    {
        QFETCH(QLocale, locale);
        const QTime time(14, 35, 7);
        const QString text = longTimeText(time, locale);
        const QString zone = QDateTime::currentDateTime().timeZoneAbbreviation();
        QVERIFY2(!text.contains(zone), qPrintable(text));
        QVERIFY2(!text.contains(QRegularExpression(QStringLiteral("[()\\[\\]（）]|\\bB\\d"))), qPrintable(text));
        QVERIFY2(text == text.trimmed() && !text.contains(QStringLiteral("  ")), qPrintable(text));
        QVERIFY2(text.contains(locale.toString(7)), qPrintable(text)); // the seconds
    }

    void init() { QApplication::setQuitOnLastWindowClosed(false); }
    void cleanup() { closeAllWindows(); }

    void servicingWindowOpensWithItsPlaceholdersAndKeys()
    {
        TestStore store;
        MessageWatcher watcher;
        frmServicing window(QStringLiteral("20000001"));
        showActive(window);
        QCOMPARE(window.windowTitle(), QStringLiteral("Servicing"));
        QCOMPARE(window.focusWidget(), box(&window, "txtVehicleNumber"));
        QCOMPARE(tabOrder(box(&window, "txtVehicleNumber"), 9),
            QStringList({ "txtVehicleNumber", "txtLocation", "cboPartsList", "lstPartsUsed", "txtComments",
                "cmdStart", "cmdComplete", "cmdViewHistory", "cmdClear" }));
        QCOMPARE(texts(&window, { "Label1", "Label3", "Label12", "Label11", "Label16", "Label9", "Label13" }),
            QStringList({ "Vehicle Number", "License Number", "Date Purchased", "Comments", "Start Time",
                "Vehicle Location", "Parts Used" }));
        QCOMPARE(button(&window, "cmdViewHistory")->text(), QStringLiteral("&Retrieve Vehicle Info."));
        QCOMPARE(button(&window, "cmdComplete")->text(), QStringLiteral("Co&mplete Maintenance"));
        auto* parts = child<QComboBox>(&window, QStringLiteral("cboPartsList"));
        QCOMPARE(parts->currentText(), QStringLiteral("Inventory Not Implemented"));
        QCOMPARE(parts->count(), 0);
        auto* used = child<QListWidget>(&window, QStringLiteral("lstPartsUsed"));
        QCOMPARE(used->count(), 2);
        QCOMPARE(used->item(0)->text(), QStringLiteral("Inventory system  not"));
        QCOMPARE(used->item(1)->text(), QStringLiteral("implemented in this version"));

        // No default button: Enter in a box neither starts nor completes a job.
        QTest::keyClicks(box(&window, "txtVehicleNumber"), QStringLiteral("1001"));
        QTest::keyClick(box(&window, "txtVehicleNumber"), Qt::Key_Return);
        QVERIFY(watcher.texts.isEmpty());
        QVERIFY(label(&window, "lblStartTime")->text().isEmpty());

        // Esc clears wherever the focus is; the notice lines do not come back, the Parts List stays.
        box(&window, "txtComments")->setText(QStringLiteral("note"));
        box(&window, "txtLocation")->setFocus();
        QTest::keyClick(box(&window, "txtLocation"), Qt::Key_Escape);
        QCOMPARE(texts(&window, { "txtVehicleNumber", "txtComments" }), QStringList(2, QString()));
        QCOMPARE(window.focusWidget(), box(&window, "txtLocation"));
        QCOMPARE(used->count(), 0);
        QCOMPARE(parts->currentText(), QStringLiteral("Inventory Not Implemented"));
        QCOMPARE(store.count(QStringLiteral("Servicing")), 0);
    }

    void servicingTestsRunInOrderAndStoreNothing()
    {
        TestStore store;
        MessageWatcher watcher;
        frmServicing window(QStringLiteral("20000001"));
        showActive(window);
        for (const char* action : { "cmdViewHistory", "cmdStart" }) {
            box(&window, "txtLocation")->setFocus();
            press(&window, action);
            QCOMPARE(watcher.takeOnly(), QStringLiteral("Please enter a Vehicle Number."));
            QCOMPARE(window.focusWidget(), box(&window, "txtVehicleNumber"));
        }
        box(&window, "txtLocation")->setText(QStringLiteral("Bay 2"));
        box(&window, "txtLocation")->setFocus();
        press(&window, "cmdComplete");
        QCOMPARE(watcher.takeOnly(), QStringLiteral("Please begin maintenance before completing."));
        QCOMPARE(window.focusWidget(), box(&window, "txtVehicleNumber"));

        // Blanks are an entry; a started job without a location is not completed.
        box(&window, "txtVehicleNumber")->setText(QStringLiteral(" "));
        box(&window, "txtLocation")->clear();
        press(&window, "cmdStart");
        QVERIFY(watcher.texts.isEmpty());
        QCOMPARE(label(&window, "lblDate")->text(), shortDateText(QDate::currentDate()));
        QVERIFY(isRecentTime(label(&window, "lblStartTime")->text()));
        press(&window, "cmdComplete");
        QCOMPARE(watcher.takeOnly(), QStringLiteral("Please enter the vehicle location."));
        QCOMPARE(window.focusWidget(), box(&window, "txtLocation"));
        QVERIFY(label(&window, "lblStopTime")->text().isEmpty());
        QCOMPARE(store.count(QStringLiteral("Servicing")), 0);
    }

    void completedJobsAreStoredAsShown()
    {
        TestStore store;
        store.addVehicle(QStringLiteral("A-17"));
        MessageWatcher watcher;
        frmServicing window(QStringLiteral("MECHANIC-0042"));
        showActive(window);
        fill(&window, { "txtVehicleNumber", "txtLocation", "txtComments" },
            { "A-17", "Bay 'B'; --", "Brakes \"front\"; drop table Servicing" });
        press(&window, "cmdStart");
        press(&window, "cmdViewHistory");
        QCOMPARE(shownVehicle(&window), expectedVehicle(QStringLiteral("A-17")));
        const QStringList started = texts(&window, kJobDisplays);
        press(&window, "cmdViewHistory"); // Retrieve leaves the job as it was
        QCOMPARE(texts(&window, kJobDisplays), started);

        press(&window, "cmdComplete");
        QCOMPARE(watcher.takeOnly(), QStringLiteral("Maintenance Complete."));
        const QString stop = label(&window, "lblStopTime")->text();
        QVERIFY(isRecentTime(stop));
        QCOMPARE(box(&window, "txtVehicleNumber")->text(), QStringLiteral("A-17")); // nothing cleared
        const QStringList first = { "A-17", "MECHANIC-0042", "Bay 'B'; --", started[0], started[1], stop,
            "Brakes \"front\"; drop table Servicing" };
        QCOMPARE(storedJobs(store), QList<QStringList> { first });

        // Completed again: a second record of the same start. Then a number changed after Start,
        // and a vehicle no record has, are stored as typed.
        press(&window, "cmdComplete");
        QCOMPARE(watcher.takeOnly(), QStringLiteral("Maintenance Complete."));
        box(&window, "txtComments")->clear();
        const QString earlierStop = label(&window, "lblStopTime")->text();
        press(&window, "cmdStart");
        QCOMPARE(label(&window, "lblStopTime")->text(), earlierStop); // shown until the next Complete
        box(&window, "txtVehicleNumber")->setText(QStringLiteral("NO-SUCH"));
        press(&window, "cmdComplete");
        QCOMPARE(watcher.takeOnly(), QStringLiteral("Maintenance Complete."));
        const QList<QStringList> jobs = storedJobs(store);
        QCOMPARE(jobs.size(), 3);
        QCOMPARE(jobs[1].mid(0, 5), first.mid(0, 5));
        QCOMPARE(jobs[2][0], QStringLiteral("NO-SUCH"));
        QCOMPARE(jobs[2][6], QString());
    }

    void unknownVehicleLeavesNoEarlierVehicleOnShow()
    {
        TestStore store;
        store.addVehicle(QStringLiteral("1001"));
        MessageWatcher watcher;
        frmServicing window(QStringLiteral("20000001"));
        showActive(window);
        box(&window, "txtVehicleNumber")->setText(QStringLiteral("1001"));
        press(&window, "cmdViewHistory");
        QCOMPARE(shownVehicle(&window), expectedVehicle(QStringLiteral("1001")));
        box(&window, "txtVehicleNumber")->setText(QStringLiteral("1002"));
        press(&window, "cmdViewHistory");
        QCOMPARE(watcher.takeOnly(), QStringLiteral("No vehicle has the number 1002."));
        QCOMPARE(shownVehicle(&window), QStringList(7, QString()));

        box(&window, "txtVehicleNumber")->setText(QString(5000, QLatin1Char('9')));
        press(&window, "cmdViewHistory");
        QCOMPARE(watcher.takeOnly(), QStringLiteral("No vehicle has the number %1….").arg(QString(60, '9')));
    }

    void completeThatCannotBeSavedKeepsTheJob()
    {
        TestStore store;
        MessageWatcher watcher;
        frmServicing window(QStringLiteral("20000001"));
        showActive(window);
        fill(&window, { "txtVehicleNumber", "txtLocation", "txtComments" }, { "1001", "Yard", "Oil" });
        press(&window, "cmdStart");
        const QStringList started = texts(&window, kJobDisplays);
        {
            WritesRefused refused;
            press(&window, "cmdComplete");
            const QString text = watcher.takeOnly();
            QVERIFY2(
                text.startsWith(QStringLiteral("The maintenance job could not be saved in ")),
                qPrintable(text));
            QCOMPARE(texts(&window, kJobDisplays), started); // the stop time is not left stamped
        }
        QCOMPARE(store.count(QStringLiteral("Servicing")), 0);
        press(&window, "cmdComplete");
        QCOMPARE(watcher.takeOnly(), QStringLiteral("Maintenance Complete."));
        QCOMPARE(store.count(QStringLiteral("Servicing")), 1);
    }

    void historyWindowControlsAndKeys()
    {
        TestStore store;
        store.addVehicle(QStringLiteral("1001"));
        store.add(job(QStringLiteral("1001"), QStringLiteral("6/2/2024"), QStringLiteral("20000001"), {}));
        store.add(job(QStringLiteral("1001"), QStringLiteral("10/3/2024"), QStringLiteral("20000002"), {}));
        MessageWatcher watcher;
        frmRepairHistory window;
        showActive(window);
        QCOMPARE(window.windowTitle(), QStringLiteral("Vehicle Maintenance History"));
        QCOMPARE(window.focusWidget(), box(&window, "txtVehicleNumber"));
        QCOMPARE(tabOrder(box(&window, "txtVehicleNumber"), 4),
            QStringList({ "txtVehicleNumber", "cmdShowHistory", "cmdClear", "lstRepairDates" }));
        QCOMPARE(texts(&window, { "Label8", "Label9", "Label10", "Label11" }),
            QStringList({ "Maintenance Date", "Mechanic", "Repair Dates", "Comments" }));

        QTest::keyClick(box(&window, "txtVehicleNumber"), Qt::Key_Return);
        QCOMPARE(watcher.takeOnly(), QStringLiteral("Please enter a Vehicle Number."));
        showActive(window);
        QTest::keyClicks(box(&window, "txtVehicleNumber"), QStringLiteral("1001"));
        QTest::keyClick(box(&window, "txtVehicleNumber"), Qt::Key_Return);
        QCOMPARE(listedDates(&window), QStringList({ "6/2/2024", "10/3/2024" }));
        QCOMPARE(shownVehicle(&window), expectedVehicle(QStringLiteral("1001")));
        QVERIFY(watcher.texts.isEmpty());

        // Tabbing into the list chooses nothing; Down then chooses the first entry, as a click does.
        auto* list = child<QAbstractItemView>(&window, QStringLiteral("lstRepairDates"));
        box(&window, "txtVehicleNumber")->setFocus();
        for (int tab = 0; tab < 3; ++tab)
            QTest::keyClick(window.focusWidget(), Qt::Key_Tab);
        QCOMPARE(window.focusWidget(), list);
        QCOMPARE(texts(&window, kDetailLabels), QStringList(3, QString()));
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(texts(&window, kDetailLabels), QStringList({ "6/2/2024", "20000001", "" }));
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(texts(&window, kDetailLabels), QStringList({ "10/3/2024", "20000002", "" }));

        QTest::keyClick(list, Qt::Key_Escape);
        QCOMPARE(texts(&window, kDetailLabels + kVehicleLabels + QStringList { "txtVehicleNumber" }),
            QStringList(11, QString()));
        QVERIFY(listedDates(&window).isEmpty());
        QCOMPARE(window.focusWidget(), list);
    }

    void historyListsJobsInStoreOrderAndFindsEachOne()
    {
        TestStore store;
        for (const char* number : { "007", "99999999999" })
            store.addVehicle(QString::fromLatin1(number));
        store.add(job("007", "6/2/2024", "20000001", "first of the day"));
        store.add(job("007", "5/1/2024", "20000002", "older, stored later"));
        store.add(job("99999999999", "6/2/2024", "20000003", "the other vehicle"));
        store.add(job("007", "6/2/2024", "20000004", "second of the day"));
        store.rows(QStringLiteral("update Servicing set Comments = null where IDNumber = '20000002'"));
        MessageWatcher watcher;
        frmRepairHistory window;
        showActive(window);

        box(&window, "txtVehicleNumber")->setText(QStringLiteral("007"));
        press(&window, "cmdShowHistory");
        press(&window, "cmdShowHistory");
        // In the order the jobs were stored, not that of the date texts.
        const QStringList once = { "6/2/2024", "5/1/2024", "6/2/2024" };
        QCOMPARE(listedDates(&window), once + once);
        box(&window, "txtVehicleNumber")->setText(QStringLiteral("99999999999"));
        press(&window, "cmdShowHistory");
        QCOMPARE(listedDates(&window), once + once + QStringList { "6/2/2024" });
        QCOMPARE(shownVehicle(&window), expectedVehicle(QStringLiteral("99999999999")));
        QVERIFY(watcher.texts.isEmpty());

        box(&window, "txtVehicleNumber")->setText(QStringLiteral("something else"));
        selectDate(&window, int(once.indexOf(QStringLiteral("5/1/2024"))));
        QCOMPARE(texts(&window, kDetailLabels), QStringList({ "5/1/2024", "20000002", "" }));
        // Both entries of the same day show the job the store returns first.
        for (int row :
            { once.indexOf(QStringLiteral("6/2/2024")), once.lastIndexOf(QStringLiteral("6/2/2024")) }) {
            selectDate(&window, row);
            QCOMPARE(
                texts(&window, kDetailLabels), QStringList({ "6/2/2024", "20000001", "first of the day" }));
        }
        selectDate(&window, 6);
        QCOMPARE(texts(&window, kDetailLabels), QStringList({ "6/2/2024", "20000003", "the other vehicle" }));
    }

    void historyOfUnknownOrJoblessVehicles()
    {
        TestStore store;
        store.addVehicle(QStringLiteral("1001"));
        store.add(job("GONE", "1/1/2024", "20000001", "vehicle record removed"));
        store.add(job("GONE", "2/1/2024", "20000001", "vehicle record removed"));
        MessageWatcher watcher;
        frmRepairHistory window;
        showActive(window);
        box(&window, "txtVehicleNumber")->setText(QStringLiteral("1001"));
        press(&window, "cmdShowHistory");
        QCOMPARE(shownVehicle(&window), expectedVehicle(QStringLiteral("1001")));
        QVERIFY(listedDates(&window).isEmpty());
        QVERIFY(watcher.texts.isEmpty());

        // No vehicle record, yet jobs under that number: they are listed, the labels stay empty.
        box(&window, "txtVehicleNumber")->setText(QStringLiteral("GONE"));
        press(&window, "cmdShowHistory");
        QCOMPARE(watcher.takeOnly(), QStringLiteral("No vehicle has the number GONE."));
        QCOMPARE(shownVehicle(&window), QStringList(7, QString()));
        QCOMPARE(listedDates(&window), QStringList({ "1/1/2024", "2/1/2024" }));

        // A listed job removed from the file since: said so, and no other job's details shown.
        selectDate(&window, 0);
        QCOMPARE(label(&window, "lblMechanic")->text(), QStringLiteral("20000001"));
        store.rows(QStringLiteral("delete from Servicing"));
        selectDate(&window, 1);
        QCOMPARE(watcher.takeOnly(), QStringLiteral("The job of 2/1/2024 is no longer in Vantorel.mdb."));
        QCOMPARE(texts(&window, kDetailLabels), QStringList(3, QString()));
    }

    void mechanicServicesAVehicleAndFindsTheJobInItsHistory()
    {
        TestStore store;
        store.addClearTextUser(QStringLiteral("MECHANIC-0042"), QStringLiteral("pw"), false);
        const QString number = QStringLiteral("x' or '1'='1");
        store.addVehicle(number);
        MessageWatcher watcher;
        auto* login = new frmLogin;
        login->show();
        box(login, "txtEmpID")->setText(QStringLiteral("MECHANIC-0042"));
        box(login, "txtPassword")->setText(QStringLiteral("pw"));
        press(login, "cmdSubmit");
        frmMain* frame = visibleWindow<frmMain>();
        QVERIFY(frame);
        const auto open = [frame](const char* command, const char* window) {
            frame->findChild<QAction*>(QString::fromLatin1(command))->trigger();
            return child<QWidget>(frame, QString::fromLatin1(window));
        };

        QWidget* servicing = open("mnuServiceVehicle", "frmServicing");
        fill(servicing, { "txtVehicleNumber", "txtLocation", "txtComments" }, { number, "Bay 3", "Tyres" });
        press(servicing, "cmdStart");
        press(servicing, "cmdComplete");
        QCOMPARE(watcher.takeOnly(), QStringLiteral("Maintenance Complete."));

        QWidget* history = open("mnuRepairHistory", "frmRepairHistory");
        box(history, "txtVehicleNumber")->setText(number);
        press(history, "cmdShowHistory");
        QCOMPARE(listedDates(history), QStringList { label(servicing, "lblDate")->text() });
        selectDate(history, 0);
        QCOMPARE(texts(history, kDetailLabels),
            QStringList({ label(servicing, "lblDate")->text(), "MECHANIC-0042", "Tyres" }));
        QCOMPARE(shownVehicle(history), expectedVehicle(number));
    }
};

QTEST_MAIN(TestMaintenance)
#include "test_maintenance.moc"
