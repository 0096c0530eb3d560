// The report generator, the report results window and the printed report, driven through the
// real windows inside the main frame; printed pages are read back with pdftotext and pdfinfo.

#include "TestSupport.h"

#include "data/Database.h"
#include "data/ReportQuery.h"
#include "reports/ReportCriteria.h"
#include "reports/ReportPrinter.h"
#include "reports/frmReportGen.h"
#include "reports/frmReportResults.h"
#include "shell/frmMain.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace vantorel;
using namespace Qt::Literals::StringLiterals;
using vantorel::test::reportEntries;
using vantorel::test::reportRows;
using vantorel::data::ReportField;
using vantorel::data::ReportTable;
using vantorel::test::MessageWatcher;
using vantorel::test::TestStore;

namespace {

template <typename T>
T* child(QWidget* window, const char* prefix, int number = 0)
{
    const QString name = QString::fromLatin1(prefix) + (number ? QString::number(number) : QString());
    if (!window)
        qFatal("no window to find %s in", qPrintable(name));
    auto* found = window->findChild<T*>(name);
    if (!found)
        qFatal("no %s in %s", qPrintable(name), qPrintable(window->objectName()));
    return found;
}

QComboBox* choiceBox(QWidget* generator, int row) { return child<QComboBox>(generator, "cboCriteria", row); }
QLineEdit* valueBox(QWidget* generator, int row) { return child<QLineEdit>(generator, "txtCriteria", row); }
QCheckBox* rowBox(QWidget* generator, int row) { return child<QCheckBox>(generator, "chkCriteria", row); }

// Types the choices and values into rows 1, 2, ... as a user does, ticking their boxes first.
void fillRows(QWidget* generator, const QList<std::pair<QString, QString>>& rows)
{
    for (int row = 1; row <= rows.size(); ++row) {
        if (row > 1 && !rowBox(generator, row)->isChecked())
            QTest::mouseClick(rowBox(generator, row), Qt::LeftButton, {}, QPoint(5, 5));
        QComboBox* combo = choiceBox(generator, row);
        combo->clearEditText();
        QTest::keyClicks(combo, rows[row - 1].first);
        valueBox(generator, row)->clear();
        QTest::keyClicks(valueBox(generator, row), rows[row - 1].second);
        if (combo->currentText() != rows[row - 1].first)
            qFatal("row %d shows \"%s\"", row, qPrintable(combo->currentText()));
    }
}

// Per row: c = choice usable, v = value usable, b = box usable, x = box ticked.
QString usableControls(QWidget* generator)
{
    const auto mark = [](bool on, char letter) { return on ? QChar(QLatin1Char(letter)) : QChar(u'-'); };
    QStringList rows;
    for (int row = 1; row <= 4; ++row) {
        QString marks = QString(mark(choiceBox(generator, row)->isEnabled(), 'c'))
            + mark(valueBox(generator, row)->isEnabled(), 'v');
        if (row > 1)
            marks += QString(mark(rowBox(generator, row)->isEnabled(), 'b'))
                + mark(rowBox(generator, row)->isChecked(), 'x');
        rows << marks;
    }
    return rows.join(u' ');
}

QStringList titles(QWidget* results)
{
    QStringList texts;
    for (int column = 1; column <= frmReportResults::kColumnCount; ++column)
        texts << child<QLabel>(results, "lblTitle", column)->text();
    return texts;
}

// The report as rows: record k is entry k of every column.
const QString kVehicleColumns = u"VNumber, ContractNumber, License, Make, Model, Color, Year, DatePurchased"_s;

void addPerson(const QString& id, const QString& lastName, bool manager)
{
    data::Database().append(data::Person{id, lastName, "Sam", "2 Main St", "(555) 010-" + id.right(4), "pw", manager});
}

void addVehicle(const QString& number, const QString& make, const QString& year)
{
    data::Vehicle vehicle = test::sampleVehicle(number);
    vehicle.make = make;
    vehicle.year = year;
    data::Database().append(vehicle);
}

void addJob(const QString& number, const QString& location, const QString& date)
{
    data::Database().append(data::Job{number, "20000001", location, date, "8:00:00 AM", "9:00:00 AM", ""});
}

QString runTool(const QString& program, const QStringList& arguments)
{
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0)
        qFatal("%s failed: %s", qPrintable(program), tool.readAllStandardError().constData());
    return QString::fromUtf8(tool.readAllStandardOutput());
}

int pageCount(const QString& pdf)
{
    return QRegularExpression(u"Pages:\\s+(\\d+)"_s).match(runTool("pdfinfo", {pdf})).captured(1).toInt();
}

QString pageText(const QString& pdf, int page)
{
    const QString number = QString::number(page);
    return runTool("pdftotext", {"-layout", "-f", number, "-l", number, pdf, "-"});
}

// The smallest distance, in millimetres, between any printed word and the page's edges.
qreal narrowestMarginMm(const QString& pdf)
{
    const QString boxes = runTool("pdftotext", {"-bbox", "-f", "1", "-l", "1", pdf, "-"});
    const auto page = QRegularExpression(u"<page width=\"([\\d.]+)\" height=\"([\\d.]+)\""_s).match(boxes);
    qreal narrowest = std::min(page.captured(1).toDouble(), page.captured(2).toDouble());
    const QRegularExpression word(u"xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\""_s);
    for (const auto& match : word.globalMatch(boxes)) {
        narrowest = std::min({narrowest, match.captured(1).toDouble(), match.captured(2).toDouble(),
                              page.captured(1).toDouble() - match.captured(3).toDouble(),
                              page.captured(2).toDouble() - match.captured(4).toDouble()});
    }
    return narrowest * 25.4 / 72;
}

bool printToPdf(const PrintedReport& report, const QString& path, const QPageRanges& pages = {})
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageRanges(pages);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageOrientation(QPageLayout::Landscape);
    return ReportPrinter(report).print(printer);
}

} // namespace

class TestReports : public QObject {
    Q_OBJECT

private:
    QPointer<frmMain> m_main;

    frmReportGen* openGenerator()
    {
        if (!m_main) {
            m_main = new frmMain(LoginIdentity{"10000001", true});
            m_main->show();
            if (!QTest::qWaitForWindowActive(m_main))
                qFatal("the main window did not become active");
        }
        child<QAction>(m_main, "mnuCreateReport")->trigger();
        return m_main->findChild<frmReportGen*>();
    }

    frmReportResults* openResults() const
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return m_main->findChild<frmReportResults*>();
    }

    // Generate Report, then the results window it opened (or none).
    frmReportResults* generate(frmReportGen* generator)
    {
        QTest::mouseClick(child<QPushButton>(generator, "cmdGenerate"), Qt::LeftButton);
        return openResults();
    }

    // A closed message box leaves no window active offscreen; a user would click back in first.
    void pressKey(QWidget* target, Qt::Key key)
    {
        QApplication::setActiveWindow(m_main);
        target->setFocus();
        QTest::keyClick(target, key);
    }

    // OK, and the closed window gone, as it is once the event loop has handled the click.
    void pressOK(QWidget* results)
    {
        QTest::mouseClick(child<QPushButton>(results, "cmdOK"), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

private slots:
    void init() { QApplication::setQuitOnLastWindowClosed(false); }
    void cleanup()
    {
        delete m_main;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void generatorOffersTheChoicesInTheirOrderWithNothingPicked()
    {
        MessageWatcher messages;
        frmReportGen* generator = openGenerator();
        QCOMPARE(generator->windowTitle(), u"Report Generator"_s);
        QStringList first, further;
        for (int i = 0; i < choiceBox(generator, 1)->count(); ++i)
            first << choiceBox(generator, 1)->itemText(i);
        for (int i = 0; i < choiceBox(generator, 4)->count(); ++i)
            further << choiceBox(generator, 4)->itemText(i);
        QCOMPARE(first, (QStringList{"All Vehicles", "All Employees", "ID Number", "Last Name", "Manager?",
                                     "Vehicle Number", "Location", "Date", "Contract Number", "License", "Make",
                                     "Model", "Year", "Date Purchased"}));
        QCOMPARE(further, (QStringList{"ID Number", "Last Name", "Vehicle Number", "Location", "Date",
                                       "Contract Number", "License", "Make", "Model", "Year", "Date Purchased",
                                       "Manager?"}));
        for (int row = 1; row <= 4; ++row) {
            QVERIFY(choiceBox(generator, row)->isEditable());
            QCOMPARE(choiceBox(generator, row)->currentText(), QString());
            QCOMPARE(choiceBox(generator, row)->currentIndex(), -1);
        }
        QCOMPARE(usableControls(generator), u"cv --b- ---- ----"_s);
        QCOMPARE(generator->focusWidget(), choiceBox(generator, 1));

        // A typed choice stays as typed: Enter neither adds it to the list nor fixes its case.
        fillRows(generator, {{"make", "Ford"}});
        pressKey(choiceBox(generator, 1), Qt::Key_Return);
        QCOMPARE(choiceBox(generator, 1)->count(), 14);
        QCOMPARE(choiceBox(generator, 1)->currentText(), u"make"_s);
        QCOMPARE(messages.takeOnly(), u"Invalid Search Criteria."_s);
        QVERIFY(!openResults());
    }

    void checkBoxesKeepTheRowsInForceAnUnbrokenRun()
    {
        frmReportGen* generator = openGenerator();
        fillRows(generator, {{"Make", "Ford"}, {"Make", "Ford"}});
        QCOMPARE(usableControls(generator), u"cv cvbx --b- ----"_s);
        fillRows(generator, {{"Make", "Ford"}, {"Make", "Ford"}, {"Model", "Transit"}, {"Year", "2020"}});
        QCOMPARE(usableControls(generator), u"cv cvbx cvbx cvbx"_s);

        // Cleared by the program, box 2 takes rows 2 to 4 out of force just as a click would.
        rowBox(generator, 2)->setChecked(false);
        QCOMPARE(usableControls(generator), u"cv --b- ---- ----"_s);
        QCOMPARE(choiceBox(generator, 3)->currentText(), u"Model"_s);
        QCOMPARE(valueBox(generator, 4)->text(), u"2020"_s);

        QTest::mouseClick(rowBox(generator, 2), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(usableControls(generator), u"cv cvbx --b- ----"_s);
        rowBox(generator, 3)->setChecked(true);
        rowBox(generator, 4)->setChecked(true);
        QTest::mouseClick(rowBox(generator, 3), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(usableControls(generator), u"cv cvbx --b- ----"_s);
    }

    void generateTestsTheRowsInForceInOrder()
    {
        TestStore store;
        MessageWatcher messages;
        frmReportGen* generator = openGenerator();
        QSignalSpy requests(generator, &frmReportGen::reportRequested);

        generate(generator);
        QCOMPARE(messages.takeOnly(), u"Please enter search criteria 1."_s);
        QCOMPARE(generator->focusWidget(), valueBox(generator, 1));

        // Row 2 is reported although row 3 is incomplete too; blanks count as a value.
        fillRows(generator, {{"Make", " "}, {"Model", ""}, {"Year", ""}, {"Color", ""}});
        for (int row = 2; row <= 4; ++row) {
            generate(generator);
            QCOMPARE(messages.takeOnly(), u"Please enter search criteria %1."_s.arg(row));
            QCOMPARE(generator->focusWidget(), valueBox(generator, row));
            QTest::keyClicks(valueBox(generator, row), "x");
        }
        QCOMPARE(requests.count(), 0);

        // A row out of force is not tested, whatever its box holds; "All ..." needs no value.
        rowBox(generator, 2)->setChecked(false);
        valueBox(generator, 3)->clear();
        for (const char* everything : {"All Vehicles", "All Employees"}) {
            fillRows(generator, {{everything, ""}});
            generate(generator);
        }
        QCOMPARE(requests.count(), 2);
        QVERIFY(messages.texts.isEmpty());
    }

    void resetEmptiesTheValuesAndKeepsTheChoices()
    {
        TestStore store;
        frmReportGen* generator = openGenerator();
        fillRows(generator, {{"Make", "Ford"}, {"my own words", "x"}, {"Year", "2020"}, {"Color", "Red"}});

        pressKey(valueBox(generator, 1), Qt::Key_Escape);
        QCOMPARE(usableControls(generator), u"cv --b- ---- ----"_s);
        for (int row = 1; row <= 4; ++row)
            QVERIFY(valueBox(generator, row)->text().isEmpty());
        QCOMPARE(choiceBox(generator, 2)->currentText(), u"my own words"_s);
        QCOMPARE(choiceBox(generator, 4)->currentText(), u"Color"_s);
        QCOMPARE(generator->focusWidget(), valueBox(generator, 1));

        // Enter generates the report, from a value box and from a combo alike.
        MessageWatcher messages;
        QSignalSpy requests(generator, &frmReportGen::reportRequested);
        pressKey(valueBox(generator, 1), Qt::Key_Return);
        QCOMPARE(messages.takeOnly(), u"Please enter search criteria 1."_s);
        fillRows(generator, {{"All Vehicles", ""}});
        pressKey(choiceBox(generator, 1), Qt::Key_Return);
        QCOMPARE(requests.count(), 1);
    }

    void statementsBindEveryValueInRowOrder()
    {
        auto statement = data::reportStatement(ReportTable::Vehicle, {{ReportField::VNumber, "12"}});
        QCOMPARE(statement.sql, u"select * from Vehicle where VNumber = ?"_s);
        QCOMPARE(statement.values, (QVariantList{"12"}));
        QCOMPARE(data::reportStatement(ReportTable::Person, {}).sql, u"select * from Person"_s);

        statement = data::reportStatement(ReportTable::Vehicle, {{ReportField::Make, "O'Hara's"},
                                                                 {ReportField::Date, "6/1/24"},
                                                                 {ReportField::Location, "Bay 2"},
                                                                 {ReportField::Year, ""}});
        QCOMPARE(statement.sql, u"select * from Vehicle where Make = ? and VNumber in (select VNumber from "
                                u"Servicing where \"Date\" = ?) and VNumber in (select VNumber from Servicing "
                                u"where Location = ?) and Year = ?"_s);
        QCOMPARE(statement.values, (QVariantList{"O'Hara's", "6/1/24", "Bay 2", ""}));
        QVERIFY(!statement.values.last().isNull());
    }

    void criteriaAreRecognisedExactlyAndMustFitTheTable()
    {
        const auto plan = [](std::initializer_list<std::pair<const char*, const char*>> rows) {
            ReportCriteria criteria;
            int row = 0;
            for (const auto& [choice, value] : rows)
                criteria[row++] = ReportCriterion{choice, value, true};
            return planReport(criteria);
        };
        for (const char* refused : {"id number", "", "Make ", "All vehicles"})
            QCOMPARE(plan({{refused, "1"}}).refusal, u"Invalid Search Criteria."_s);
        QCOMPARE(plan({{"Make", "Ford"}, {"All Vehicles", "x"}}).refusal, u"Invalid Search Criteria."_s);
        QCOMPARE(plan({{"Make", "Ford"}, {"Bogus", "x"}, {"Last Name", "y"}}).refusal, u"Invalid Search Criteria."_s);

        QCOMPARE(plan({{"Last Name", "Smith"}, {"Make", "Ford"}}).refusal,
                 u"Criteria 2, \"Make\", does not apply to an employee report, which can search by ID Number, "
                 u"Last Name or Manager? only."_s);
        QVERIFY(plan({{"All Vehicles", ""}, {"Year", "2020"}, {"Last Name", "Smith"}})
                    .refusal.startsWith(u"Criteria 3, \"Last Name\", does not apply to a vehicle report,"_s));
        QVERIFY(plan({{"All Employees", ""}, {"Location", "Bay 1"}}).refusal.contains(u"employee"_s));
        QVERIFY(plan({{"Manager?", "maybe"}}).refusal.contains(u"Yes or No"_s));
        QVERIFY(!plan({{"Manager?", " yes"}}).plan);
        for (const char* yes : {"Yes", "TRUE", "1", "-1"})
            QCOMPARE(plan({{"Manager?", yes}}).plan->conditions.first().manager, true);
        for (const char* no : {"no", "False", "0"})
            QCOMPARE(plan({{"Manager?", no}}).plan->conditions.first().manager, false);

        // "All ..." with further rows searches by those rows alone; row 1's value is ignored.
        const auto decision = plan({{"All Vehicles", "ignored"}, {"Make", "Ford"}, {"Year", "2020"}});
        QCOMPARE(decision.plan->table, ReportTable::Vehicle);
        QCOMPARE(decision.plan->conditions.size(), 2);
        QCOMPARE(decision.plan->summary, u"All Vehicles where Make is \"Ford\" and Year is \"2020\""_s);
    }

    void reportsListTheRecordsTheStoreHolds()
    {
        TestStore store;
        for (const char* number : {"30", "4", "200", "4"})
            store.addVehicle(QString::fromLatin1(number));
        store.rows(u"insert into Vehicle (VNumber, Make) values ('77', 'Ford')"_s);
        MessageWatcher messages;
        frmReportGen* generator = openGenerator();

        fillRows(generator, {{"All Vehicles", "anything"}});
        frmReportResults* results = generate(generator);
        QVERIFY(results);
        QCOMPARE(results->windowTitle(), u"Report Results"_s);
        QCOMPARE(titles(results), (QStringList{"Vehicle Number", "Contract Number", "License", "Make", "Model",
                                               "Color", "Year", "Date Purchased"}));
        QList<QStringList> expected = store.rows(u"select %1 from Vehicle"_s.arg(kVehicleColumns));
        expected.last() = QStringList{"77", "", "", "Ford", "", "", "", ""}; // no value shows as empty text
        QCOMPARE(reportRows(results, 8), expected);
        QCOMPARE(reportEntries(results, 1), (QStringList{"30", "4", "200", "4", "77"}));
        QCOMPARE(results->focusWidget(), child<QAbstractItemView>(results, "lstField", 1));

        // OK closes the window; the next Generate builds from the criteria as they now stand.
        pressOK(results);
        QVERIFY(!openResults());
        fillRows(generator, {{"Vehicle Number", "4"}});
        QCOMPARE(reportRows(generate(generator), 8),
                 store.rows(u"select %1 from Vehicle where VNumber = '4'"_s.arg(kVehicleColumns)));
        QVERIFY(messages.texts.isEmpty());
    }

    void employeeReportShowsSixColumnsAndManagerAsYesOrNo()
    {
        TestStore store;
        addPerson("10000001", "Smith", true);
        addPerson("10000007", "O'Brien", false);
        addPerson("7", "Smith", false);
        addPerson("10000003", "Smith", false);
        store.rows(u"insert into Person (IDNumber, LName, Manager) values ('20', 'Smith', -1)"_s);
        store.rows(u"insert into Person (IDNumber, LName) values ('21', 'Nobody')"_s);
        MessageWatcher messages;
        frmReportGen* generator = openGenerator();

        fillRows(generator, {{"All Employees", ""}});
        frmReportResults* results = generate(generator);
        QCOMPARE(titles(results),
                 (QStringList{"ID Number", "Last Name", "First Name", "Address", "Telephone", "Manager", "", ""}));
        QCOMPARE(reportEntries(results, 1), (QStringList{"10000001", "10000007", "7", "10000003", "20", "21"}));
        QCOMPARE(reportEntries(results, 6), (QStringList{"Yes", "No", "No", "No", "Yes", "No"}));
        QVERIFY(reportEntries(results, 7).isEmpty() && reportEntries(results, 8).isEmpty());
        for (int column = 1; column <= 6; ++column)
            QVERIFY(!reportEntries(results, column).contains(u"pw"_s)); // passwords are never shown
        pressOK(results);

        fillRows(generator, {{"Last Name", "Smith"}, {"ID Number", "7"}});
        QCOMPARE(reportRows(generate(generator), 5),
                 store.rows(u"select IDNumber, LName, FName, Address, Telephone from Person "
                            u"where LName = 'Smith' and IDNumber = '7'"_s));
        pressOK(openResults());

        rowBox(generator, 2)->setChecked(false);
        fillRows(generator, {{"Last Name", "O'Brien"}});
        QCOMPARE(reportEntries(generate(generator), 1), QStringList{"10000007"});
        pressOK(openResults());

        // The manager criterion agrees with the column, words stored by other programs included.
        fillRows(generator, {{"Manager?", "yes"}});
        QCOMPARE(reportEntries(generate(generator), 1), (QStringList{"10000001", "20"}));
        pressOK(openResults());
        fillRows(generator, {{"Last Name", "Smith"}, {"Manager?", "NO"}});
        QCOMPARE(reportEntries(generate(generator), 1), (QStringList{"7", "10000003"}));
        QVERIFY(messages.texts.isEmpty());
    }

    void fourCriteriaAndServicingFieldsNarrowAVehicleReport()
    {
        TestStore store;
        addVehicle("1", "Ford", "2020");
        addVehicle("2", "Ford", "2020");
        addVehicle("3", "Ford", "2019");
        addVehicle("4", "Iveco", "2020");
        addJob("1", "Bay 1", "6/1/24");
        addJob("1", "Bay 1", "6/2/24");
        addJob("2", "Bay 2", "6/1/24");
        addJob("4", "Bay 1", "6/1/24");
        MessageWatcher messages;
        frmReportGen* generator = openGenerator();

        fillRows(generator, {{"Make", "Ford"}, {"Year", "2020"}, {"Location", "Bay 1"}, {"Date", "6/1/24"}});
        QCOMPARE(reportRows(generate(generator), 8),
                 store.rows(u"select %1 from Vehicle where VNumber = '1'"_s.arg(kVehicleColumns)));
        pressOK(openResults());

        // A row whose box is clear is no part of the report; no match gives titled, empty columns.
        rowBox(generator, 3)->setChecked(false);
        QCOMPARE(reportEntries(generate(generator), 1), (QStringList{"1", "2"}));
        pressOK(openResults());
        fillRows(generator, {{"Location", "Bay 9"}});
        frmReportResults* results = generate(generator);
        QCOMPARE(titles(results).first(), u"Vehicle Number"_s);
        QVERIFY(reportEntries(results, 1).isEmpty());
        QVERIFY(messages.texts.isEmpty());
    }

    void refusedCriteriaAndStoreFailuresOpenNoWindow()
    {
        TestStore store;
        MessageWatcher messages;
        frmReportGen* generator = openGenerator();
        fillRows(generator, {{"Last Name", "Smith"}, {"Make", "Ford"}});
        QVERIFY(!generate(generator));
        QVERIFY(messages.takeOnly().contains(u"does not apply to an employee report"_s));
        QCOMPARE(valueBox(generator, 2)->text(), u"Ford"_s);

        QFile::remove(store.databasePath());
        fillRows(generator, {{"All Vehicles", ""}});
        QVERIFY(!generate(generator));
        QVERIFY(messages.takeOnly().startsWith(u"The database file Vantorel.mdb could not be opened"_s));
        QVERIFY(!QFile::exists(store.databasePath()));
    }

    void anOpenReportStaysAsBuilt()
    {
        TestStore store;
        store.addVehicle("1");
        store.addVehicle("2");
        frmReportGen* generator = openGenerator();
        fillRows(generator, {{"Vehicle Number", "1"}});
        QPointer<frmReportResults> results = generate(generator);

        fillRows(generator, {{"All Vehicles", ""}});
        QCOMPARE(generate(generator), results.data());
        QCOMPARE(m_main->findChild<QMdiArea*>()->activeSubWindow()->widget(), results.data());
        QCOMPARE(reportEntries(results, 1), QStringList{"1"});

        // Without the generator the report stays on show; the menu makes a fresh generator.
        qobject_cast<QMdiSubWindow*>(generator->parentWidget())->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(reportEntries(results, 1), QStringList{"1"});
        QCOMPARE(choiceBox(openGenerator(), 1)->currentText(), QString());
        pressKey(child<QAbstractItemView>(results, "lstField", 3), Qt::Key_Return); // Enter presses OK
        QVERIFY(!openResults());
    }

    void printedReportCarriesTitlesOnEveryPageAndEveryRow()
    {
        TestStore store;
        PrintedReport report{"Vehicles", "All Vehicles", {"Vehicle Number", "Contract Number", "Make"}, {{}, {}, {}}};
        const QString longMake = "Extraordinarily-long-make-" + QString(400, u'x');
        for (int record = 1; record <= 150; ++record) {
            report.columns[0] << u"V%1"_s.arg(record, 4, 10, QLatin1Char('0'));
            report.columns[1] << u"C%1"_s.arg(record);
            report.columns[2] << (record == 3 ? longMake : u"Ford"_s);
        }
        const QString pdf = store.folder() + "/report.pdf";
        QVERIFY(printToPdf(report, pdf));
        const int pages = pageCount(pdf);
        QVERIFY(pages >= 3);

        QStringList printed;
        for (int page = 1; page <= pages; ++page) {
            const QString text = pageText(pdf, page);
            QVERIFY(text.contains(u"Vantorel report: Vehicles"_s) && text.contains(u"Criteria: All Vehicles"_s));
            QVERIFY(text.contains(QRegularExpression(u"Vehicle Number\\s+Contract Number\\s+Make"_s)));
            QVERIFY(text.contains(u"Page %1 of %2"_s.arg(page).arg(pages)));
            for (const auto& match : QRegularExpression(u"V(\\d{4})\\s+C(\\d+)\\s"_s).globalMatch(text)) {
                QCOMPARE(match.captured(1).toInt(), match.captured(2).toInt());
                printed << "V" + match.captured(1);
            }
        }
        QCOMPARE(printed, report.columns[0]);
        const QString firstPage = pageText(pdf, 1);
        // The short columns keep to their content and leave the long one the rest of the page,
        // where it is cut only at the margin, at least 10 mm from every edge.
        QVERIFY(firstPage.contains(u"Extraordinarily"_s) && firstPage.contains(QString(60, u'x')));
        QVERIFY(!firstPage.contains(QString(400, u'x')));
        QVERIFY(narrowestMarginMm(pdf) >= 9.5); // less a glyph's own bearing
        QVERIFY(firstPage.contains(u"150 records"_s));

        QPageRanges secondOnly;
        secondOnly.addPage(2);
        QVERIFY(printToPdf(report, store.folder() + "/second.pdf", secondOnly));
        QCOMPARE(pageCount(store.folder() + "/second.pdf"), 1);
        QVERIFY(pageText(store.folder() + "/second.pdf", 1).contains(u"Page 2 of %1"_s.arg(pages)));

        // An empty report still prints its heading and titles; a printer that fails says so.
        const QString empty = store.folder() + "/empty.pdf";
        QVERIFY(printToPdf({"Employees", "Last Name is \"X\"", {"ID Number", "Manager"}, {{}, {}}}, empty));
        QCOMPARE(pageCount(empty), 1);
        QVERIFY(pageText(empty, 1).contains(QRegularExpression(u"ID Number\\s+Manager"_s)));
        QVERIFY(!printToPdf(report, store.folder() + "/no such folder/report.pdf"));
    }

    // Save Report as CSV from a column's context menu, read back by Python's csv module, and
    // Ctrl+C copying the chosen entry.
    void reportLeavesAsCsvAndThroughTheClipboard()
    {
        TestStore store;
        const QStringList makes = {u"Quote \"and\", comma"_s, u"two\r\nlines"_s, u"Ünïcödé 🚐 مرحبا"_s,
                                   u"=SUM(A1:A9)"_s,       u"+1"_s,           u"-2"_s,
                                   u"@cmd"_s,              u"\ttab"_s,        u"plain"_s};
        for (int vehicle = 0; vehicle < makes.size(); ++vehicle)
            addVehicle(QString::number(100 + vehicle), makes[vehicle], u"2020"_s);
        MessageWatcher messages;
        frmReportGen* generator = openGenerator();
        fillRows(generator, {{"All Vehicles", ""}});
        frmReportResults* results = generate(generator);
        QVERIFY(results);

        const QString csv = store.folder() + "/report.csv";
        QTimer::singleShot(50, [csv] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog || dialog->objectName() != "dlgSaveCsv")
                qFatal("no save dialog open");
            child<QLineEdit>(dialog, "fileNameEdit")->setText(csv); // as the user types it
            static_cast<QDialog*>(dialog)->accept();
        });
        child<QAction>(child<QAbstractItemView>(results, "lstField", 4), "mnuSaveCsv")->trigger();
        QCOMPARE(messages.takeOnly(), u"The report has been saved as %1."_s.arg(csv));
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QVERIFY(bytes.count("\r\n") > makes.size()); // every record ends in CR LF

        const QString read = runTool("python3", {"-c", "import csv, json, sys\n"
                                                       "with open(sys.argv[1], newline='', encoding='utf-8-sig') as f:\n"
                                                       "    print(json.dumps(list(csv.reader(f))))",
                                                 csv});
        const QJsonArray rows = QJsonDocument::fromJson(read.toUtf8()).array();
        QCOMPARE(rows.size(), makes.size() + 1);
        QCOMPARE(rows.at(0).toArray().at(3).toString(), u"Make"_s);
        for (int vehicle = 0; vehicle < makes.size(); ++vehicle) {
            const QJsonArray row = rows.at(vehicle + 1).toArray();
            QCOMPARE(row.size(), 8);
            QCOMPARE(row.at(0).toString(), QString::number(100 + vehicle));
            const bool formula = QStringLiteral("=+-@\t").contains(makes[vehicle].front());
            QCOMPARE(row.at(3).toString(), formula ? "'" + makes[vehicle] : makes[vehicle]);
        }

        auto* makeList = child<QAbstractItemView>(results, "lstField", 4);
        makeList->setFocus();
        makeList->setCurrentIndex(makeList->model()->index(2, 0));
        QTest::keySequence(makeList, QKeySequence::Copy);
        QCOMPARE(QGuiApplication::clipboard()->text(), makes[2]);
    }

    void printButtonPrintsThroughTheDialogAndCancelPrintsNothing()
    {
        TestStore store;
        addPerson("10000001", "Smith", true);
        MessageWatcher messages;
        frmReportGen* generator = openGenerator();
        fillRows(generator, {{"All Employees", ""}});
        frmReportResults* results = generate(generator);

        // Answers the print dialog about to open: cancels it, or prints to the PDF file given;
        // `offered` learns the file the dialog offered.
        QString offered;
        const auto answerDialog = [&offered](const QString& pdf) {
            QTimer::singleShot(50, [pdf, &offered] {
                auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
                if (!dialog)
                    qFatal("no print dialog open");
                offered = child<QLineEdit>(dialog, "filename")->text();
                if (pdf.isEmpty())
                    return dialog->reject();
                child<QLineEdit>(dialog, "filename")->setText(pdf);
                dialog->accept();
            });
        };
        answerDialog(QString());
        QTest::mouseClick(child<QPushButton>(results, "cmdPrint"), Qt::LeftButton);
        QVERIFY(messages.texts.isEmpty());
        QVERIFY(QDir(store.folder()).entryList({"*.pdf"}).isEmpty());

        const QString pdf = store.folder() + "/printed.pdf";
        answerDialog(pdf);
        QTest::mouseClick(child<QPushButton>(results, "cmdPrint"), Qt::LeftButton);
        QCOMPARE(messages.takeOnly(), u"Report results have been sent to the printer."_s);
        const QString text = pageText(pdf, 1);
        QVERIFY(text.contains(u"Vantorel report: Employees"_s));
        QVERIFY(text.contains(
            QRegularExpression(u"10000001\\s+Smith\\s+Sam\\s+2 Main St\\s+\\(555\\) 010-0001\\s+Yes"_s)));
        QVERIFY(results->isVisible());

        // A later report of the same session offers the file printed to last.
        pressOK(results);
        fillRows(generator, {{"All Employees", ""}});
        answerDialog(QString());
        QTest::mouseClick(child<QPushButton>(generate(generator), "cmdPrint"), Qt::LeftButton);
        QCOMPARE(offered, pdf);
    }
};

QTEST_MAIN(TestReports)
#include "test_reports.moc"
