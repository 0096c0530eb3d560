// The servicing and repair-history windows, opened from a mechanic's frame.

#include "TestSupport.h"

#include "common/ClockText.h"
#include "maintenance/HistoryPrinter.h"

#include <QListWidget>
#include <QPrinter>

using namespace vantorel;
using namespace vantorel::test;
using namespace Qt::Literals::StringLiterals;

namespace {

const QStringList kJobDisplays = {"lblDate", "lblStartTime", "lblStopTime", "txtLocation", "txtComments"};
const QStringList kDetailLabels = {"lblMaintenanceDate", "lblMechanic", "lblComments"};

QStringList expectedVehicle(const QString& vehicleNumber)
{
    const data::Vehicle v = sampleVehicle(vehicleNumber);
    return {v.contractNumber, v.license, v.make, v.model, v.color, v.year, v.datePurchased};
}

// A time text stamped a moment ago: one of the last few seconds in the regional long form.
bool isRecentTime(const QString& text)
{
    for (int back = 0; back <= 3; ++back) {
        if (text == longTimeText(QTime::currentTime().addSecs(-back)))
            return true;
    }
    return false;
}

data::Job job(const QString& vehicle, const QString& date, const QString& mechanic, const QString& comments)
{
    return {vehicle, mechanic, "Bay 1", date, "9:00:00 AM", "10:00:00 AM", comments};
}

} // namespace

class TestMaintenance : public test::Suite {
    Q_OBJECT

private slots:
    // A job's date is the regional short date with the whole year; its times carry the regional
    // long time with seconds and nothing of the time zone.
    void jobDateKeepsTheCenturyAndTimesLeaveOutTheZoneInEveryLocale_data()
    {
        QTest::addColumn<QLocale>("locale");
        for (const QLocale& locale : QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory))
            QTest::newRow(qPrintable(locale.name())) << locale;
    }

    void jobDateKeepsTheCenturyAndTimesLeaveOutTheZoneInEveryLocale()
    {
        QFETCH(QLocale, locale);
        const QString date = shortDateText(QDate(2024, 6, 30), locale);
        QLocale plainNumbers = locale;
        plainNumbers.setNumberOptions(QLocale::OmitGroupSeparator);
        QVERIFY2(date.contains(plainNumbers.toString(2024)), qPrintable(date));
        QVERIFY2(!QString(date).remove(plainNumbers.toString(2024)).contains(plainNumbers.toString(24)), qPrintable(date)); // once
        QVERIFY2(date.contains(plainNumbers.toString(30)), qPrintable(date));

        const QString text = longTimeText(QTime(14, 35, 7), locale);
        QVERIFY2(!text.contains(QDateTime::currentDateTime().timeZoneAbbreviation()), qPrintable(text));
        QVERIFY2(!text.contains(QRegularExpression(QStringLiteral("[()\\[\\]（）]|\\bB\\d"))), qPrintable(text));
        QVERIFY2(text == text.trimmed() && !text.contains(QStringLiteral("  ")), qPrintable(text));
        QVERIFY2(text.contains(locale.toString(7)), qPrintable(text)); // the seconds
    }

    void servicingChecksInOrderAndEnterNeitherStartsNorCompletes()
    {
        TestStore store;
        QWidget* window = openWindow(logInNew(store, false), QKeySequence(QStringLiteral("Ctrl+S")));
        QVERIFY(window);
        QCOMPARE(window->focusWidget(), box(window, "txtVehicleNumber"));
        MessageWatcher watcher;
        box(window, "txtLocation")->setFocus();
        press(window, Qt::Key_Return);
        QVERIFY(watcher.texts.isEmpty());
        for (const char* action : {"cmdViewHistory", "cmdStart"}) {
            box(window, "txtLocation")->setFocus();
            click(window, action);
            QCOMPARE(watcher.takeOnly(), QStringLiteral("Please enter a Vehicle Number."));
            QCOMPARE(window->focusWidget(), box(window, "txtVehicleNumber"));
        }
        box(window, "txtLocation")->setFocus();
        click(window, "cmdComplete"); // neither started nor placed: the start is asked for first
        QCOMPARE(watcher.takeOnly(), QStringLiteral("Please begin maintenance before completing."));
        QCOMPARE(window->focusWidget(), box(window, "txtVehicleNumber"));

        // Blanks are an entry; a started job without a location is not completed.
        box(window, "txtVehicleNumber")->setText(QStringLiteral(" "));
        click(window, "cmdStart");
        QVERIFY(watcher.texts.isEmpty());
        QCOMPARE(label(window, "lblDate")->text(), shortDateText(QDate::currentDate()));
        QVERIFY(isRecentTime(label(window, "lblStartTime")->text()));
        click(window, "cmdComplete");
        QCOMPARE(watcher.takeOnly(), QStringLiteral("Please enter the vehicle location."));
        QCOMPARE(window->focusWidget(), box(window, "txtLocation"));
        QVERIFY(label(window, "lblStopTime")->text().isEmpty());

        // Esc clears wherever the focus is; the notice lines go, the Parts List stays.
        box(window, "txtComments")->setText(QStringLiteral("note"));
        press(window, Qt::Key_Escape);
        QCOMPARE(texts(window, kJobDisplays + QStringList{"txtVehicleNumber"}), QStringList(6, QString()));
        QCOMPARE(window->focusWidget(), box(window, "txtLocation"));
        QCOMPARE(child<QListWidget>(window, "lstPartsUsed")->count(), 0);
        QCOMPARE(child<QComboBox>(window, "cboPartsList")->currentText(), QStringLiteral("Inventory Not Implemented"));
        QCOMPARE(store.count(QStringLiteral("Servicing")), 0);
    }

    void completedJobsAreStoredAsShownAndFoundInTheHistory()
    {
        TestStore store;
        const QString number = QStringLiteral("x' or '1'='1");
        store.addVehicle(number);
        QWidget* frame = logInNew(store, false, QStringLiteral("MECHANIC-0042"));
        QWidget* window = openWindow(frame, QKeySequence(QStringLiteral("Ctrl+S")));
        MessageWatcher watcher;
        fill(window, {"txtVehicleNumber", "txtLocation", "txtComments"},
             {number, "Bay 'B'; --", "Brakes \"front\"; drop table Servicing"});
        click(window, "cmdStart");
        click(window, "cmdViewHistory");
        QCOMPARE(texts(window, kVehicleLabels), expectedVehicle(number));
        const QStringList started = texts(window, kJobDisplays);

        click(window, "cmdComplete");
        QCOMPARE(watcher.takeOnly(), QStringLiteral("Maintenance Complete."));
        const QString stop = label(window, "lblStopTime")->text();
        QVERIFY(isRecentTime(stop));
        QCOMPARE(box(window, "txtVehicleNumber")->text(), number); // nothing cleared
        const QStringList first = {number, "MECHANIC-0042", "Bay 'B'; --", started[0], started[1], stop,
                                   "Brakes \"front\"; drop table Servicing"};
        const QString stored = "select VNumber, IDNumber, Location, \"Date\", StartTime, StopTime, Comments from Servicing";
        QCOMPARE(store.rows(stored), QList<QStringList>{first});

        // Completed again: a second record of the same start; a vehicle no record has is stored as typed.
        click(window, "cmdComplete");
        box(window, "txtVehicleNumber")->setText(QStringLiteral("NO-SUCH"));
        click(window, "cmdComplete");
        QCOMPARE(std::exchange(watcher.texts, {}), QStringList(2, QStringLiteral("Maintenance Complete.")));
        const QList<QStringList> jobs = store.rows(stored);
        QCOMPARE(jobs.size(), 3);
        QCOMPARE(jobs[1].mid(0, 5), first.mid(0, 5));
        QCOMPARE(jobs[2][0], QStringLiteral("NO-SUCH"));
        // Retrieve of an unknown vehicle leaves no earlier vehicle on show; a long number is quoted cut.
        click(window, "cmdViewHistory");
        QCOMPARE(watcher.takeOnly(), QStringLiteral("No vehicle has the number NO-SUCH."));
        QCOMPARE(texts(window, kVehicleLabels), QStringList(7, QString()));
        box(window, "txtVehicleNumber")->setText(QString(5000, QLatin1Char('9')));
        click(window, "cmdViewHistory");
        QCOMPARE(watcher.takeOnly(), QStringLiteral("No vehicle has the number %1….").arg(QString(60, '9')));
        box(window, "txtLocation")->setFocus();
        press(window, Qt::Key_Escape); // Clear: nothing of the last job stays on show
        QCOMPARE(texts(window, {"txtVehicleNumber", "txtLocation", "txtComments", "lblDate", "lblStartTime", "lblStopTime"}),
                 QStringList(6, QString()));

        QWidget* history = openWindow(frame, QKeySequence(QStringLiteral("Ctrl+H")));
        showHistory(history, number);
        QCOMPARE(listedDates(history), QStringList(2, started[0]));
        selectDate(history, 0);
        QCOMPARE(texts(history, kDetailLabels), QStringList({started[0], "MECHANIC-0042", first[6]}));
        QCOMPARE(texts(history, kVehicleLabels), expectedVehicle(number));
    }

    void historyListsJobsInStoreOrderAndFindsEachOneByKeys()
    {
        TestStore store;
        for (const char* number : {"007", "99999999999", "1001"})
            store.addVehicle(QString::fromLatin1(number));
        store.add(job("007", "6/2/2024", "20000001", "first of the day"));
        // Stored by another program, without comments at all.
        store.rows(QStringLiteral("insert into Servicing (VNumber, IDNumber, Location, \"Date\", StartTime, StopTime, "
                                  "Comments) values ('007', '20000002', 'Bay 1', '5/1/2024', '9:00:00 AM', "
                                  "'10:00:00 AM', null)"));
        store.add(job("99999999999", "6/2/2024", "20000003", "the other vehicle"));
        store.add(job("007", "6/2/2024", "20000004", "second of the day"));
        for (const char* date : {"1/1/2024", "2/1/2024"})
            store.add(job("GONE", date, "20000005", "vehicle record removed"));
        QWidget* window = openWindow(logInNew(store, false), QKeySequence(QStringLiteral("Ctrl+H")));
        MessageWatcher watcher;
        QCOMPARE(window->focusWidget(), box(window, "txtVehicleNumber"));
        press(window, Qt::Key_Return);
        QCOMPARE(watcher.takeOnly(), QStringLiteral("Please enter a Vehicle Number."));
        showHistory(window, QStringLiteral("1001"));
        QCOMPARE(texts(window, kVehicleLabels), expectedVehicle(QStringLiteral("1001")));
        QVERIFY(listedDates(window).isEmpty());

        // Enter shows the jobs in the order they were stored, not that of the date texts.
        box(window, "txtVehicleNumber")->clear();
        QTest::keyClicks(box(window, "txtVehicleNumber"), QStringLiteral("007"));
        press(box(window, "txtVehicleNumber"), Qt::Key_Return);
        const QStringList once = {"6/2/2024", "5/1/2024", "6/2/2024"};
        QCOMPARE(listedDates(window), once);
        // Tabbing into the list chooses nothing; Down then chooses the first entry, as a click does.
        box(window, "txtVehicleNumber")->setFocus();
        for (int tab = 0; tab < 3; ++tab)
            press(window, Qt::Key_Tab);
        QCOMPARE(window->focusWidget(), dateList(window));
        QCOMPARE(texts(window, kDetailLabels), QStringList(3, QString()));
        press(window, Qt::Key_Down);
        QCOMPARE(texts(window, kDetailLabels), QStringList({"6/2/2024", "20000001", "first of the day"}));
        press(window, Qt::Key_Down);
        QCOMPARE(texts(window, kDetailLabels), QStringList({"5/1/2024", "20000002", ""}));

        // Each Show History adds to the list.
        showHistory(window, QStringLiteral("007"));
        showHistory(window, QStringLiteral("99999999999"));
        QCOMPARE(listedDates(window), once + once + QStringList{"6/2/2024"});
        QCOMPARE(texts(window, kVehicleLabels), expectedVehicle(QStringLiteral("99999999999")));
        QVERIFY(watcher.texts.isEmpty());
        box(window, "txtVehicleNumber")->setText(QStringLiteral("something else"));
        // Both entries of the same day show the job the store returns first.
        for (int row : {0, 2, 3}) {
            selectDate(window, row);
            QCOMPARE(texts(window, kDetailLabels), QStringList({"6/2/2024", "20000001", "first of the day"}));
        }
        selectDate(window, 6);
        QCOMPARE(texts(window, kDetailLabels), QStringList({"6/2/2024", "20000003", "the other vehicle"}));

        press(window, Qt::Key_Escape);
        QCOMPARE(texts(window, kDetailLabels + kVehicleLabels + QStringList{"txtVehicleNumber"}), QStringList(11, QString()));
        QVERIFY(listedDates(window).isEmpty());
        QCOMPARE(window->focusWidget(), dateList(window));

        // No vehicle record, yet jobs under that number: they are listed, the labels stay empty.
        showHistory(window, QStringLiteral("GONE"));
        QCOMPARE(watcher.takeOnly(), QStringLiteral("No vehicle has the number GONE."));
        QCOMPARE(texts(window, kVehicleLabels), QStringList(7, QString()));
        QCOMPARE(listedDates(window), QStringList({"1/1/2024", "2/1/2024"}));

        // A listed job removed from the file since: said so, and no other job's details shown.
        selectDate(window, 0);
        QCOMPARE(label(window, "lblMechanic")->text(), QStringLiteral("20000005"));
        if (!onServer()) // the file's own refusal taken away, as another tool could
            store.rows(QStringLiteral("drop trigger ServicingNeverDeleted"));
        store.rows(QStringLiteral("delete from Servicing"));
        selectDate(window, 1);
        QCOMPARE(watcher.takeOnly(), QStringLiteral("The job of 2/1/2024 is no longer in Vantorel.mdb."));
        QCOMPARE(texts(window, kDetailLabels), QStringList(3, QString()));
    }

    // A vehicle's whole history leaves the Repair History window printed and as CSV, once a
    // history is shown: every job in the store's order with its mechanic's name where a user has
    // the ID, every kind of value, a comment longer than a page going on with its date repeated.
    void wholeHistoryPrintsAndSavesEveryJob()
    {
        TestStore store;
        store.addVehicle("1001");
        store.addClearTextUser("20000001", "pw", false); // "First Last"
        const QString longComment = QStringList(160, "A long line of work done on the brakes and the axle.").join('\n');
        const QList<QStringList> jobs = {{"1/8/2004", "20000001", "Bay 1", "Oil and\tbrakes."},
                                         {"2/9/2005", "20000009", "Yard \"B\", north", "=1+1; 'quoted', two\r\nlines"},
                                         {"3/10/2006", "20000001", "Bay 2", "Ünïcödé 🚐"},
                                         {"4/11/2007", "20000001", "Bay 3", longComment},
                                         {"5/12/2008", "20000001", "Bay 4", ""}};
        for (const QStringList& job : jobs)
            store.add(data::Job{"1001", job[1], job[2], job[0], "8:00:00 AM", "9:00:00 AM", job[3]});
        store.rows("insert into Servicing (VNumber, IDNumber, Location, \"Date\", StartTime, StopTime, Comments) "
                   "values ('1001', 20000001, 'Bay 5', '6/1/2009', '8:00:00 AM', '9:00:00 AM', null)");
        QWidget* window = openWindow(logInNew(store, false), QKeySequence(QStringLiteral("Ctrl+H")));
        auto* print = child<QAction>(dateList(window), "mnuPrintHistory");
        auto* save = child<QAction>(dateList(window), "mnuSaveHistoryCsv");
        QVERIFY(!print->isEnabled() && !save->isEnabled());
        showHistory(window, "1001");
        QVERIFY(print->isEnabled() && save->isEnabled());
        MessageWatcher messages;

        const QString pdf = store.folder() + "/history.pdf";
        answerDialog("QPrintDialog", "filename", pdf);
        print->trigger();
        QCOMPARE(messages.takeOnly(), QStringLiteral("The repair history of vehicle 1001 has been sent to the printer."));
        const QStringList pages = pageTexts(pdf);
        QVERIFY(pages.size() >= 3);
        const QString all = pages.join('\n');
        qsizetype at = 0;
        for (const char* expected : {"1/8/2004", "20000001 (First Last)", "Oil and brakes.", "2/9/2005", "Mechanic: 20000009",
                                     "Location: Yard \"B\", north", "=1+1; 'quoted', two\nlines",
                                     "3/10/2006", "Ünïcödé", "4/11/2007", "5/12/2008", "Comments: none", "6/1/2009"}) {
            at = all.indexOf(QString::fromUtf8(expected), at);
            QVERIFY2(at >= 0, expected);
        }
        QCOMPARE(all.count("A long line of work done on the brakes and the axle."), 160);
        for (int page = 0; page < pages.size(); ++page) {
            QVERIFY(pages[page].contains("Vantorel repair history: vehicle 1001"));
            QVERIFY(pages[page].contains(QRegularExpression("Make: Ford\\s+Model: Transit")));
            QVERIFY(pages[page].contains(QStringLiteral("Page %1 of %2").arg(page + 1).arg(pages.size())));
        }
        QVERIFY(all.contains(QRegularExpression("4/11/2007\\s+8:00:00 AM to 9:00:00 AM \\(continued\\)")));

        const QString csv = store.folder() + "/history.csv";
        answerDialog("dlgSaveCsv", "fileNameEdit", csv);
        save->trigger();
        QCOMPARE(messages.takeOnly(), QStringLiteral("The repair history of vehicle 1001 has been saved as %1.").arg(csv));
        const QList<QStringList> rows = csvRows(csv);
        QCOMPARE(rows.size(), jobs.size() + 2);
        QCOMPARE(rows.at(0), QStringList({"VNumber", "IDNumber", "Location", "Date", "StartTime", "StopTime", "Comments"}));
        for (qsizetype row = 0; row < jobs.size(); ++row) {
            QCOMPARE(rows[row + 1][0], QStringLiteral("1001"));
            QCOMPARE(rows[row + 1][3], jobs[row][0]);
            QCOMPARE(rows[row + 1][6], jobs[row][3].startsWith('=') ? "'" + jobs[row][3] : jobs[row][3]);
        }
        QCOMPARE(rows.last().at(6), QString());
        click(window, "cmdClear");
        QVERIFY(!print->isEnabled() && !save->isEnabled());
    }

    // Wherever a job longer than a page falls, its date and mechanic never stand alone at a page's
    // foot: from 0 to 20 short jobs before it, every page's last line is a line of comments.
    void aLongJobNeverLeavesItsHeadingAloneAtAPagesFoot()
    {
        QTemporaryDir folder;
        PrintedHistory history{u"1001"_s, {{u"Make"_s, u"Ford"_s}}, {}};
        const data::Job longJob{u"1001"_s, u"7"_s, u"Bay 9"_s, u"9/9/2009"_s, u"8:00:00 AM"_s, u"9:00:00 AM"_s,
                                QStringList(100, u"line of a long job"_s).join(u'\n')};
        for (int shortJobs = 0; shortJobs <= 20; ++shortJobs) {
            history.jobs = QList<data::HistoryJob>(shortJobs, {{u"1001"_s, u"7"_s, u"Bay 1"_s, u"1/1/2001"_s, u"8:00:00 AM"_s,
                                                                 u"9:00:00 AM"_s, u"short"_s}, {}});
            history.jobs.append({longJob, {}});
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(folder.filePath(u"history.pdf"_s));
            QVERIFY(HistoryPrinter(history).print(printer));
            for (const QString& page : pageTexts(folder.filePath(u"history.pdf"_s))) {
                QStringList lines = page.split(u'\n', Qt::SkipEmptyParts);
                lines.removeIf([](const QString& line) { return line.trimmed().startsWith(u"Page "_s) || line.trimmed().isEmpty(); });
                QVERIFY2(lines.last().contains(u"short"_s) || lines.last().contains(u"line of a long job"_s),
                         qPrintable(u"%1 short jobs: the page ends with %2"_s.arg(shortJobs).arg(lines.last())));
            }
        }
    }
};

QTEST_MAIN(TestMaintenance)
#include "test_maintenance.moc"