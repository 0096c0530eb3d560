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

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStringListModel>
#include <QTest>
#include <QTimer>

using namespace vantorel;
using vantorel::data::ReportCondition;
using vantorel::data::ReportField;
using vantorel::data::ReportTable;
using vantorel::test::MessageWatcher;
using vantorel::test::TestStore;

namespace {

template <typename T>
T* child(QWidget* window, const QString& name)
{
    auto* found = window->findChild<T*>(name);
    if (!found)
        qFatal("no %s in %s", qPrintable(name), qPrintable(window->objectName()));
    return found;
}

QString rowName(const char* prefix, int row)
{
    return QString::fromLatin1(prefix) + QString::number(row);
}

QComboBox* choiceBox(QWidget* generator, int row)
{
    return child<QComboBox>(generator, rowName("cboCriteria", row));
}

QLineEdit* valueBox(QWidget* generator, int row)
{
    return child<QLineEdit>(generator, rowName("txtCriteria", row));
}

QCheckBox* rowBox(QWidget* generator, int row)
{
    return child<QCheckBox>(generator, rowName("chkCriteria", row));
}

QStringList itemsOf(QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

// Types a choice and a value into a row the way a user does, ticking its box first.
void fillRow(QWidget* generator, int row, const QString& choice, const QString& value)
{
    if (row > 1 && !rowBox(generator, row)->isChecked())
        QTest::mouseClick(rowBox(generator, row), Qt::LeftButton, {}, QPoint(5, 5));
    QComboBox* combo = choiceBox(generator, row);
    combo->clearEditText();
    QTest::keyClicks(combo, choice);
    valueBox(generator, row)->clear();
    QTest::keyClicks(valueBox(generator, row), value);
    if (combo->currentText() != choice)
        qFatal("row %d shows \"%s\" after typing \"%s\"", row, qPrintable(combo->currentText()), qPrintable(choice));
}

// Which of the rows' combos, values and boxes can be used, as a string like "cvb" per row.
QString usableControls(QWidget* generator)
{
    QStringList rows;
    for (int row = 1; row <= 4; ++row) {
        QString row_;
        row_ += choiceBox(generator, row)->isEnabled() ? QLatin1Char('c') : QLatin1Char('-');
        row_ += valueBox(generator, row)->isEnabled() ? QLatin1Char('v') : QLatin1Char('-');
        if (row > 1) {
            row_ += rowBox(generator, row)->isEnabled() ? QLatin1Char('b') : QLatin1Char('-');
            row_ += rowBox(generator, row)->isChecked() ? QLatin1Char('x') : QLatin1Char('-');
        }
        rows << row_;
    }
    return rows.join(QLatin1Char(' '));
}

QStringList entries(QWidget* results, int column)
{
    auto* list = child<QListView>(results, rowName("lstField", column));
    return qobject_cast<QStringListModel*>(list->model())->stringList();
}

QStringList titles(QWidget* results)
{
    QStringList texts;
    for (int column = 1; column <= frmReportResults::kColumnCount; ++column)
        texts << child<QLabel>(results, rowName("lblTitle", column))->text();
    return texts;
}

// The report as rows of the store: record k is entry k of every filled column.
QList<QStringList> shownRows(QWidget* results, int columns)
{
    QList<QStringList> rows(entries(results, 1).size());
    for (int column = 1; column <= columns; ++column) {
        const QStringList values = entries(results, column);
        for (int row = 0; row < rows.size(); ++row)
            rows[row] << values.value(row, QStringLiteral("<missing>"));
    }
    return rows;
}

const QString kVehicleColumns =
    QStringLiteral("VNumber, ContractNumber, License, Make, Model, Color, Year, DatePurchased");

void addPerson(const QString& id, const QString& lastName, bool manager)
{
    data::Database().append(data::Person{id, lastName, QStringLiteral("Sam"), QStringLiteral("2 Main St"),
                                         QStringLiteral("(555) 010-") + id.right(4), QStringLiteral("pw"),
                                         manager});
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
    data::Database().append(data::Job{number, QStringLiteral("20000001"), location, date,
                                      QStringLiteral("8:00:00 AM"), QStringLiteral("9:00:00 AM"), QString()});
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
    const QString info = runTool(QStringLiteral("pdfinfo"), {pdf});
    return QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info).captured(1).toInt();
}

QString pageText(const QString& pdf, int page)
{
    const QString number = QString::number(page);
    return runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-f"), number,
                                                 QStringLiteral("-l"), number, pdf, QStringLiteral("-")});
}

QString printToPdf(const PrintedReport& report, const QString& path)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageOrientation(QPageLayout::Landscape);
    if (!ReportPrinter(report).print(printer))
        qFatal("the report could not be painted to %s", qPrintable(path));
    return path;
}

} // namespace

class TestReports : public QObject {
    Q_OBJECT

private:
    QPointer<frmMain> m_main;

    frmReportGen* openGenerator()
    {
        if (!m_main) {
            m_main = new frmMain(LoginIdentity{QStringLiteral("10000001"), true});
            m_main->show();
            if (!QTest::qWaitForWindowActive(m_main))
                qFatal("the main window did not become active");
        }
        child<QAction>(m_main, QStringLiteral("mnuCreateReport"))->trigger();
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
        QTest::mouseClick(child<QPushButton>(generator, QStringLiteral("cmdGenerate")), Qt::LeftButton);
        return openResults();
    }

    // A key typed into `target` with the frame active, as after the user clicked into it (a closed
    // message box leaves no window active offscreen).
    void pressKey(QWidget* target, Qt::Key key)
    {
        QApplication::setActiveWindow(m_main);
        target->setFocus();
        QTest::keyClick(target, key);
    }

    // OK on the results window; the closed window is gone before the next step, as it is once
    // the user's click has been handled.
    void pressOK(QWidget* results)
    {
        QTest::mouseClick(child<QPushButton>(results, QStringLiteral("cmdOK")), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QString activeChildName() const
    {
        return m_main->findChild<QMdiArea*>()->activeSubWindow()->widget()->objectName();
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
        frmReportGen* generator = openGenerator();
        QCOMPARE(generator->windowTitle(), QStringLiteral("Report Generator"));
        QCOMPARE(itemsOf(choiceBox(generator, 1)),
                 (QStringList{"All Vehicles", "All Employees", "ID Number", "Last Name", "Manager?",
                              "Vehicle Number", "Location", "Date", "Contract Number", "License", "Make",
                              "Model", "Year", "Date Purchased"}));
        const QStringList further = {"ID Number", "Last Name", "Vehicle Number", "Location", "Date",
                                     "Contract Number", "License", "Make", "Model", "Year",
                                     "Date Purchased", "Manager?"};
        for (int row = 1; row <= 4; ++row) {
            QComboBox* combo = choiceBox(generator, row);
            if (row > 1)
                QCOMPARE(itemsOf(combo), further);
            QVERIFY(combo->isEditable());
            QCOMPARE(combo->currentText(), QString());
            QCOMPARE(combo->currentIndex(), -1);
            QVERIFY(valueBox(generator, row)->text().isEmpty());
        }
        QCOMPARE(usableControls(generator), QStringLiteral("cv --b- ---- ----"));
        QCOMPARE(generator->focusWidget(), choiceBox(generator, 1));
        QCOMPARE(child<QPushButton>(generator, QStringLiteral("cmdGenerate"))->text(),
                 QStringLiteral("&Generate Report"));
        QCOMPARE(child<QPushButton>(generator, QStringLiteral("cmdReset"))->text(), QStringLiteral("&Reset"));

        // A typed choice stays typed: neither Enter nor leaving the box adds it or fixes its case.
        MessageWatcher messages;
        fillRow(generator, 1, QStringLiteral("make"), QStringLiteral("Ford"));
        pressKey(choiceBox(generator, 1), Qt::Key_Return);
        valueBox(generator, 1)->setFocus();
        QCOMPARE(choiceBox(generator, 1)->count(), 14);
        QCOMPARE(choiceBox(generator, 1)->currentText(), QStringLiteral("make"));
        QCOMPARE(messages.takeOnly(), QStringLiteral("Invalid Search Criteria."));
    }

    void checkBoxesKeepTheRowsInForceAnUnbrokenRun()
    {
        frmReportGen* generator = openGenerator();
        fillRow(generator, 2, QStringLiteral("Make"), QStringLiteral("Ford"));
        QCOMPARE(usableControls(generator), QStringLiteral("cv cvbx --b- ----"));
        fillRow(generator, 3, QStringLiteral("Model"), QStringLiteral("Transit"));
        fillRow(generator, 4, QStringLiteral("Year"), QStringLiteral("2020"));
        QCOMPARE(usableControls(generator), QStringLiteral("cv cvbx cvbx cvbx"));

        // Cleared by the program, box 2 takes rows 2 to 4 out of force just as a click would.
        rowBox(generator, 2)->setChecked(false);
        QCOMPARE(usableControls(generator), QStringLiteral("cv --b- ---- ----"));
        QCOMPARE(choiceBox(generator, 3)->currentText(), QStringLiteral("Model"));
        QCOMPARE(valueBox(generator, 4)->text(), QStringLiteral("2020"));

        QTest::mouseClick(rowBox(generator, 2), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(usableControls(generator), QStringLiteral("cv cvbx --b- ----"));
        rowBox(generator, 3)->setChecked(true);
        rowBox(generator, 4)->setChecked(true);
        QTest::mouseClick(rowBox(generator, 3), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(usableControls(generator), QStringLiteral("cv cvbx --b- ----"));
    }

    void generateTestsTheRowsInForceInOrder()
    {
        TestStore store;
        MessageWatcher messages;
        frmReportGen* generator = openGenerator();
        QSignalSpy requests(generator, &frmReportGen::reportRequested);

        generate(generator);
        QCOMPARE(messages.takeOnly(), QStringLiteral("Please enter search criteria 1."));
        QCOMPARE(generator->focusWidget(), valueBox(generator, 1));

        fillRow(generator, 1, QStringLiteral("Make"), QString());
        generate(generator);
        QCOMPARE(messages.takeOnly(), QStringLiteral("Please enter search criteria 1."));

        // Row 2 is reported first although row 3 is incomplete as well; blanks count as a value.
        fillRow(generator, 1, QStringLiteral("Make"), QStringLiteral(" "));
        fillRow(generator, 2, QStringLiteral("Model"), QString());
        fillRow(generator, 3, QStringLiteral("Year"), QString());
        generate(generator);
        QCOMPARE(messages.takeOnly(), QStringLiteral("Please enter search criteria 2."));
        QCOMPARE(generator->focusWidget(), valueBox(generator, 2));
        QTest::keyClicks(valueBox(generator, 2), QStringLiteral("Transit"));
        generate(generator);
        QCOMPARE(messages.takeOnly(), QStringLiteral("Please enter search criteria 3."));
        QCOMPARE(generator->focusWidget(), valueBox(generator, 3));
        fillRow(generator, 4, QStringLiteral("Color"), QString());
        QTest::keyClicks(valueBox(generator, 3), QStringLiteral("2020"));
        generate(generator);
        QCOMPARE(messages.takeOnly(), QStringLiteral("Please enter search criteria 4."));
        QCOMPARE(generator->focusWidget(), valueBox(generator, 4));
        QCOMPARE(requests.count(), 0);

        // A row out of force is not tested, whatever its box holds.
        rowBox(generator, 2)->setChecked(false);
        for (const QString& everything : {QStringLiteral("All Vehicles"), QStringLiteral("All Employees")}) {
            fillRow(generator, 1, everything, QString());
            generate(generator);
        }
        QCOMPARE(requests.count(), 2);
        QVERIFY(messages.texts.isEmpty());
        QCOMPARE(valueBox(generator, 3)->text(), QStringLiteral("2020"));
    }

    void resetEmptiesTheValuesAndKeepsTheChoices()
    {
        TestStore store;
        frmReportGen* generator = openGenerator();
        fillRow(generator, 1, QStringLiteral("Make"), QStringLiteral("Ford"));
        fillRow(generator, 2, QStringLiteral("my own words"), QStringLiteral("x"));
        fillRow(generator, 3, QStringLiteral("Year"), QStringLiteral("2020"));
        fillRow(generator, 4, QStringLiteral("Color"), QStringLiteral("Red"));
        valueBox(generator, 1)->setFocus();

        pressKey(valueBox(generator, 1), Qt::Key_Escape);
        QCOMPARE(usableControls(generator), QStringLiteral("cv --b- ---- ----"));
        for (int row = 1; row <= 4; ++row)
            QVERIFY(valueBox(generator, row)->text().isEmpty());
        QCOMPARE(choiceBox(generator, 1)->currentText(), QStringLiteral("Make"));
        QCOMPARE(choiceBox(generator, 2)->currentText(), QStringLiteral("my own words"));
        QCOMPARE(choiceBox(generator, 4)->currentText(), QStringLiteral("Color"));
        QCOMPARE(generator->focusWidget(), valueBox(generator, 1));

        // Enter in a value box generates the report, from the combo as well.
        MessageWatcher messages;
        QSignalSpy requests(generator, &frmReportGen::reportRequested);
        pressKey(valueBox(generator, 1), Qt::Key_Return);
        QCOMPARE(messages.takeOnly(), QStringLiteral("Please enter search criteria 1."));
        fillRow(generator, 1, QStringLiteral("All Vehicles"), QString());
        pressKey(choiceBox(generator, 1), Qt::Key_Return);
        QCOMPARE(requests.count(), 1);
    }

    void statementsBindEveryValueInRowOrder()
    {
        auto statement = data::reportStatement(ReportTable::Vehicle, {{ReportField::VNumber, "12"}});
        QCOMPARE(statement.sql, QStringLiteral("select * from Vehicle where VNumber = ?"));
        QCOMPARE(statement.values, (QVariantList{"12"}));

        statement = data::reportStatement(ReportTable::Person, {});
        QCOMPARE(statement.sql, QStringLiteral("select * from Person"));
        QVERIFY(statement.values.isEmpty());

        statement = data::reportStatement(ReportTable::Vehicle,
                                          {{ReportField::Make, "O'Hara's"}, {ReportField::Date, "6/1/24"},
                                           {ReportField::Location, "Bay 2"}, {ReportField::Year, ""}});
        QCOMPARE(statement.sql,
                 QStringLiteral("select * from Vehicle where Make = ? and VNumber in (select VNumber from "
                                "Servicing where \"Date\" = ?) and VNumber in (select VNumber from Servicing "
                                "where Location = ?) and Year = ?"));
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
            QCOMPARE(plan({{refused, "1"}}).refusal, QStringLiteral("Invalid Search Criteria."));
        QCOMPARE(plan({{"Make", "Ford"}, {"All Vehicles", "x"}}).refusal, QStringLiteral("Invalid Search Criteria."));
        // The first refused row decides, before any later row is looked at.
        QCOMPARE(plan({{"Make", "Ford"}, {"Bogus", "x"}, {"Last Name", "y"}}).refusal,
                 QStringLiteral("Invalid Search Criteria."));

        QString refusal = plan({{"Last Name", "Smith"}, {"Make", "Ford"}}).refusal;
        QVERIFY2(refusal.startsWith(QStringLiteral("Criteria 2, \"Make\", does not apply to an employee report.")),
                 qPrintable(refusal));
        refusal = plan({{"All Vehicles", ""}, {"Year", "2020"}, {"Last Name", "Smith"}}).refusal;
        QVERIFY2(refusal.startsWith(QStringLiteral("Criteria 3, \"Last Name\", does not apply to a vehicle report.")),
                 qPrintable(refusal));
        QVERIFY(plan({{"All Employees", ""}, {"Location", "Bay 1"}}).refusal.contains(QStringLiteral("employee")));

        refusal = plan({{"Manager?", "maybe"}}).refusal;
        QVERIFY2(refusal.contains(QStringLiteral("Yes or No")), qPrintable(refusal));
        QVERIFY(!plan({{"Manager?", " yes"}}).plan);

        // "All ..." with further rows searches by those rows alone; row 1's value is ignored.
        auto decision = plan({{"All Vehicles", "ignored"}, {"Make", "Ford"}, {"Year", "2020"}});
        QVERIFY(decision.plan);
        QCOMPARE(decision.plan->table, ReportTable::Vehicle);
        QCOMPARE(decision.plan->conditions.size(), 2);
        QCOMPARE(decision.plan->summary, QStringLiteral("All Vehicles where Make is \"Ford\" and Year is \"2020\""));

        for (const char* yes : {"Yes", "TRUE", "1", "-1"})
            QCOMPARE(plan({{"Manager?", yes}}).plan->conditions.first().manager, true);
        for (const char* no : {"no", "False", "0"})
            QCOMPARE(plan({{"Manager?", no}}).plan->conditions.first().manager, false);
        QCOMPARE(plan({{"Vehicle Number", "12"}}).plan->summary, QStringLiteral("Vehicle Number is \"12\""));
    }

    void reportsListTheRecordsTheStoreHolds()
    {
        TestStore store;
        for (const char* number : {"30", "4", "200", "4"})
            store.addVehicle(QString::fromLatin1(number));
        store.rows(QStringLiteral("insert into Vehicle (VNumber, Make) values ('77', 'Ford')"));
        MessageWatcher messages;
        frmReportGen* generator = openGenerator();

        fillRow(generator, 1, QStringLiteral("All Vehicles"), QStringLiteral("anything"));
        frmReportResults* results = generate(generator);
        QVERIFY(results);
        QCOMPARE(results->windowTitle(), QStringLiteral("Report Results"));
        QCOMPARE(titles(results), (QStringList{"Vehicle Number", "Contract Number", "License", "Make", "Model",
                                               "Color", "Year", "Date Purchased"}));
        QList<QStringList> expected = store.rows(QStringLiteral("select %1 from Vehicle").arg(kVehicleColumns));
        expected.last() = QStringList{"77", "", "", "Ford", "", "", "", ""}; // no value shows as empty text
        QCOMPARE(shownRows(results, 8), expected);
        QCOMPARE(entries(results, 1), (QStringList{"30", "4", "200", "4", "77"}));
        QCOMPARE(results->focusWidget(), child<QListView>(results, QStringLiteral("lstField1")));
        QVERIFY(messages.texts.isEmpty());

        // OK closes the window; the next Generate builds from the criteria as they now stand.
        pressOK(results);
        QVERIFY(!openResults());
        fillRow(generator, 1, QStringLiteral("Vehicle Number"), QStringLiteral("4"));
        results = generate(generator);
        QVERIFY(results);
        QCOMPARE(shownRows(results, 8),
                 store.rows(QStringLiteral("select %1 from Vehicle where VNumber = '4'").arg(kVehicleColumns)));
        QCOMPARE(entries(results, 1).size(), 2);
    }

    void employeeReportShowsSixColumnsAndManagerAsYesOrNo()
    {
        TestStore store;
        addPerson(QStringLiteral("10000001"), QStringLiteral("Smith"), true);
        addPerson(QStringLiteral("10000007"), QStringLiteral("O'Brien"), false);
        addPerson(QStringLiteral("7"), QStringLiteral("Smith"), false);
        addPerson(QStringLiteral("10000003"), QStringLiteral("Smith"), false);
        store.rows(QStringLiteral("insert into Person (IDNumber, LName, Manager) values ('20', 'Smith', 'True')"));
        store.rows(QStringLiteral("insert into Person (IDNumber, LName) values ('21', 'Nobody')"));
        MessageWatcher messages;
        frmReportGen* generator = openGenerator();

        fillRow(generator, 1, QStringLiteral("All Employees"), QString());
        frmReportResults* results = generate(generator);
        QVERIFY(results);
        QCOMPARE(titles(results),
                 (QStringList{"ID Number", "Last Name", "First Name", "Address", "Telephone", "Manager", "", ""}));
        QCOMPARE(entries(results, 1), (QStringList{"10000001", "10000007", "7", "10000003", "20", "21"}));
        QCOMPARE(entries(results, 6), (QStringList{"Yes", "No", "No", "No", "Yes", "No"}));
        QCOMPARE(entries(results, 5).first(), QStringLiteral("(555) 010-0001"));
        QVERIFY(entries(results, 7).isEmpty() && entries(results, 8).isEmpty());
        for (int column = 1; column <= 8; ++column)
            QVERIFY(!entries(results, column).contains(QStringLiteral("pw")));
        pressOK(results);

        fillRow(generator, 1, QStringLiteral("Last Name"), QStringLiteral("Smith"));
        fillRow(generator, 2, QStringLiteral("ID Number"), QStringLiteral("7"));
        results = generate(generator);
        QVERIFY(results);
        QCOMPARE(shownRows(results, 5),
                 store.rows(QStringLiteral("select IDNumber, LName, FName, Address, Telephone from Person "
                                           "where LName = 'Smith' and IDNumber = '7'")));
        pressOK(results);

        fillRow(generator, 1, QStringLiteral("Last Name"), QStringLiteral("O'Brien"));
        rowBox(generator, 2)->setChecked(false);
        results = generate(generator);
        QCOMPARE(entries(results, 1), QStringList{"10000007"});
        pressOK(results);

        // The manager criterion agrees with the column, stored words included.
        fillRow(generator, 1, QStringLiteral("Manager?"), QStringLiteral("yes"));
        QCOMPARE(entries(generate(generator), 1), (QStringList{"10000001", "20"}));
        pressOK(openResults());
        fillRow(generator, 1, QStringLiteral("Last Name"), QStringLiteral("Smith"));
        fillRow(generator, 2, QStringLiteral("Manager?"), QStringLiteral("NO"));
        QCOMPARE(entries(generate(generator), 1), (QStringList{"7", "10000003"}));
        QVERIFY(messages.texts.isEmpty());
    }

    void fourCriteriaAndServicingFieldsNarrowAVehicleReport()
    {
        TestStore store;
        addVehicle(QStringLiteral("1"), QStringLiteral("Ford"), QStringLiteral("2020"));
        addVehicle(QStringLiteral("2"), QStringLiteral("Ford"), QStringLiteral("2020"));
        addVehicle(QStringLiteral("3"), QStringLiteral("Ford"), QStringLiteral("2019"));
        addVehicle(QStringLiteral("4"), QStringLiteral("Iveco"), QStringLiteral("2020"));
        addJob(QStringLiteral("1"), QStringLiteral("Bay 1"), QStringLiteral("6/1/24"));
        addJob(QStringLiteral("1"), QStringLiteral("Bay 1"), QStringLiteral("6/2/24"));
        addJob(QStringLiteral("2"), QStringLiteral("Bay 2"), QStringLiteral("6/1/24"));
        addJob(QStringLiteral("4"), QStringLiteral("Bay 1"), QStringLiteral("6/1/24"));
        MessageWatcher messages;
        frmReportGen* generator = openGenerator();

        fillRow(generator, 1, QStringLiteral("Make"), QStringLiteral("Ford"));
        fillRow(generator, 2, QStringLiteral("Year"), QStringLiteral("2020"));
        fillRow(generator, 3, QStringLiteral("Location"), QStringLiteral("Bay 1"));
        fillRow(generator, 4, QStringLiteral("Date"), QStringLiteral("6/1/24"));
        frmReportResults* results = generate(generator);
        QVERIFY(results);
        QCOMPARE(shownRows(results, 8),
                 store.rows(QStringLiteral("select %1 from Vehicle where VNumber = '1'").arg(kVehicleColumns)));
        pressOK(results);

        // A row whose box is clear is no part of the report; no match gives titled, empty columns.
        rowBox(generator, 3)->setChecked(false);
        QCOMPARE(entries(generate(generator), 1), (QStringList{"1", "2"}));
        pressOK(openResults());
        fillRow(generator, 1, QStringLiteral("Location"), QStringLiteral("Bay 9"));
        results = generate(generator);
        QVERIFY(results);
        QCOMPARE(titles(results).first(), QStringLiteral("Vehicle Number"));
        QVERIFY(entries(results, 1).isEmpty());
        QVERIFY(messages.texts.isEmpty());
    }

    void refusedCriteriaOpenNoWindow()
    {
        TestStore store;
        store.addVehicle(QStringLiteral("1"));
        MessageWatcher messages;
        frmReportGen* generator = openGenerator();

        fillRow(generator, 1, QStringLiteral("id number"), QStringLiteral("1"));
        QVERIFY(!generate(generator));
        QCOMPARE(messages.takeOnly(), QStringLiteral("Invalid Search Criteria."));

        fillRow(generator, 1, QStringLiteral("Last Name"), QStringLiteral("Smith"));
        fillRow(generator, 2, QStringLiteral("Make"), QStringLiteral("Ford"));
        QVERIFY(!generate(generator));
        QVERIFY(messages.takeOnly().contains(QStringLiteral("does not apply to an employee report")));

        fillRow(generator, 1, QStringLiteral("Manager?"), QStringLiteral("boss"));
        rowBox(generator, 2)->setChecked(false);
        QVERIFY(!generate(generator));
        QVERIFY(messages.takeOnly().contains(QStringLiteral("Yes or No")));
        QCOMPARE(choiceBox(generator, 1)->currentText(), QStringLiteral("Manager?"));
        QCOMPARE(valueBox(generator, 1)->text(), QStringLiteral("boss"));

        QFile::remove(store.databasePath());
        fillRow(generator, 1, QStringLiteral("All Vehicles"), QString());
        QVERIFY(!generate(generator));
        QVERIFY(messages.takeOnly().startsWith(QStringLiteral("The database file Vantorel.mdb could not be opened")));
        QVERIFY(!QFile::exists(store.databasePath()));
    }

    void anOpenReportStaysAsBuilt()
    {
        TestStore store;
        store.addVehicle(QStringLiteral("1"));
        store.addVehicle(QStringLiteral("2"));
        frmReportGen* generator = openGenerator();
        fillRow(generator, 1, QStringLiteral("Vehicle Number"), QStringLiteral("1"));
        QPointer<frmReportResults> results = generate(generator);
        QVERIFY(results);

        fillRow(generator, 1, QStringLiteral("All Vehicles"), QString());
        QCOMPARE(generate(generator), results.data());
        QCOMPARE(activeChildName(), QStringLiteral("frmReportResults"));
        QCOMPARE(entries(results, 1), QStringList{"1"});
        QCOMPARE(m_main->findChild<QMdiArea*>()->subWindowList().size(), 2);

        // Without the generator the report stays on show; the menu makes a fresh generator.
        qobject_cast<QMdiSubWindow*>(generator->parentWidget())->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(results);
        QCOMPARE(entries(results, 1), QStringList{"1"});
        generator = openGenerator();
        QCOMPARE(choiceBox(generator, 1)->currentText(), QString());
        pressKey(child<QListView>(results, QStringLiteral("lstField3")), Qt::Key_Return); // Enter presses OK
        QVERIFY(!openResults());
    }

    void printedReportCarriesTitlesOnEveryPageAndEveryRow()
    {
        TestStore store;
        PrintedReport report{QStringLiteral("Vehicles"), QStringLiteral("All Vehicles"),
                             {QStringLiteral("Vehicle Number"), QStringLiteral("Contract Number"), QStringLiteral("Make")},
                             {{}, {}, {}}};
        const QString longMake = QStringLiteral("Extraordinarily-long-manufacturer-name-that-cannot-fit-%1")
                                     .arg(QStringLiteral("x").repeated(200));
        for (int record = 1; record <= 150; ++record) {
            report.columns[0] << QStringLiteral("V%1").arg(record, 4, 10, QLatin1Char('0'));
            report.columns[1] << QStringLiteral("C%1").arg(record);
            report.columns[2] << (record == 3 ? longMake : QStringLiteral("Ford"));
        }
        const QString pdf = printToPdf(report, store.folder() + QStringLiteral("/report.pdf"));
        const int pages = pageCount(pdf);
        QVERIFY2(pages >= 3, qPrintable(QString::number(pages)));

        QStringList printed;
        for (int page = 1; page <= pages; ++page) {
            const QString text = pageText(pdf, page);
            QVERIFY(text.contains(QStringLiteral("Vantorel report: Vehicles")));
            QVERIFY(text.contains(QStringLiteral("Criteria: All Vehicles")));
            QVERIFY(text.contains(QRegularExpression(QStringLiteral("Vehicle Number\\s+Contract Number\\s+Make"))));
            QVERIFY(text.contains(QStringLiteral("Page %1 of %2").arg(page).arg(pages)));
            for (const QRegularExpressionMatch& match :
                 QRegularExpression(QStringLiteral("V(\\d{4})\\s+C(\\d+)")).globalMatch(text)) {
                QCOMPARE(match.captured(1).toInt(), match.captured(2).toInt());
                printed << match.captured(1);
            }
        }
        QCOMPARE(printed.size(), 150);
        QCOMPARE(printed, report.columns[0].replaceInStrings(QStringLiteral("V"), QString()));
        const QString firstPage = pageText(pdf, 1);
        QVERIFY(firstPage.contains(QStringLiteral("Extraordinarily")));
        QVERIFY(!firstPage.contains(QStringLiteral("xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx")));
        QVERIFY(firstPage.contains(QStringLiteral("150 records")));

        // An empty report still prints its heading and titles, on one page.
        const QString empty = printToPdf(PrintedReport{QStringLiteral("Employees"), QStringLiteral("Last Name is \"X\""),
                                                       {QStringLiteral("ID Number"), QStringLiteral("Manager")},
                                                       {{}, {}}},
                                         store.folder() + QStringLiteral("/empty.pdf"));
        QCOMPARE(pageCount(empty), 1);
        const QString emptyText = pageText(empty, 1);
        QVERIFY(emptyText.contains(QRegularExpression(QStringLiteral("ID Number\\s+Manager"))));
        QVERIFY(emptyText.contains(QStringLiteral("No records match these criteria.")));
        QVERIFY(emptyText.contains(QStringLiteral("Page 1 of 1")));
    }

    void printButtonPrintsThroughTheDialogAndCancelPrintsNothing()
    {
        TestStore store;
        addPerson(QStringLiteral("10000001"), QStringLiteral("Smith"), true);
        MessageWatcher messages;
        frmReportGen* generator = openGenerator();
        fillRow(generator, 1, QStringLiteral("All Employees"), QString());
        frmReportResults* results = generate(generator);
        QVERIFY(results);
        auto* print = child<QPushButton>(results, QStringLiteral("cmdPrint"));

        const auto answerDialog = [](const QString& pdf) {
            QTimer::singleShot(50, [pdf] {
                auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
                if (!dialog)
                    qFatal("no print dialog open");
                if (pdf.isEmpty()) {
                    dialog->reject();
                    return;
                }
                child<QLineEdit>(dialog, QStringLiteral("filename"))->setText(pdf);
                dialog->accept();
            });
        };
        answerDialog(QString());
        QTest::mouseClick(print, Qt::LeftButton);
        QVERIFY(messages.texts.isEmpty());
        QVERIFY(QDir(store.folder()).entryList({QStringLiteral("*.pdf")}).isEmpty());

        const QString pdf = store.folder() + QStringLiteral("/printed.pdf");
        answerDialog(pdf);
        QTest::mouseClick(print, Qt::LeftButton);
        QCOMPARE(messages.takeOnly(), QStringLiteral("Report results have been sent to the printer."));
        const QString text = pageText(pdf, 1);
        QVERIFY(text.contains(QStringLiteral("Vantorel report: Employees")));
        QVERIFY(text.contains(QRegularExpression(QStringLiteral("10000001\\s+Smith\\s+Sam\\s+2 Main St\\s+\\(555\\) 010-0001\\s+Yes"))));
        QVERIFY(!text.contains(QStringLiteral("pw")));
        QVERIFY(results->isVisible());
    }
};

QTEST_MAIN(TestReports)
#include "test_reports.moc"
