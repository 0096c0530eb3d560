// The report generator, the report results window and the printed report, opened from a manager's
// frame; printed pages are read back with pdftotext and pdfinfo.

#include "TestSupport.h"

#include "data/Database.h"
#include "reports/ReportPrinter.h"
#include "reports/frmReportGen.h"
#include "reports/frmReportResults.h"

#include <QCheckBox>
#include <QClipboard>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QSignalSpy>

using namespace vantorel;
using namespace vantorel::test;
using namespace Qt::Literals::StringLiterals;

namespace {

template <typename T>
T* child(QWidget* window, const char* prefix, int number = 0)
{
    return test::child<T>(window, QString::fromLatin1(prefix) + (number ? QString::number(number) : QString()));
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

void addPerson(const QString& id, const QString& lastName, bool manager)
{
    data::Database().append(data::Person{id, lastName, "Sam", "2 Main St", "(555) 010-" + id.right(4), "pw", manager});
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

class TestReports : public test::Suite {
    Q_OBJECT

private:
    QPointer<QWidget> m_frame;

    // The generator from a manager's frame: the first record of ID 10000001 (password "pw"), added
    // as a manager when the test put none in.
    frmReportGen* openGenerator(TestStore& store)
    {
        if (!m_frame) {
            if (store.rows(u"select 1 from Person where IDNumber = '10000001'"_s).isEmpty())
                store.addClearTextUser(u"10000001"_s, u"pw"_s, true);
            m_frame = test::logIn(u"10000001"_s, u"pw"_s);
        }
        return qobject_cast<frmReportGen*>(test::openWindow(m_frame, QKeySequence(u"Ctrl+R"_s)));
    }

    frmReportResults* openResults() const
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return m_frame->findChild<frmReportResults*>();
    }

    // Generate Report, then the results window it opened (or none).
    frmReportResults* generate(frmReportGen* generator)
    {
        QTest::mouseClick(child<QPushButton>(generator, "cmdGenerate"), Qt::LeftButton);
        return openResults();
    }

    void pressKey(QWidget* target, Qt::Key key)
    {
        target->setFocus();
        test::press(target, key);
    }

    // OK, and the closed window gone, as it is once the event loop has handled the click.
    void pressOK(QWidget* results)
    {
        QTest::mouseClick(child<QPushButton>(results, "cmdOK"), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

private slots:
    // The rows in force are row 1 and an unbroken run of ticked rows after it; Esc empties the
    // values, keeps the choices as typed and takes rows 2 to 4 out of force.
    void checkBoxesKeepTheRowsInForceAnUnbrokenRun()
    {
        TestStore store;
        frmReportGen* generator = openGenerator(store);
        QCOMPARE(usableControls(generator), u"cv --b- ---- ----"_s);
        QCOMPARE(generator->focusWidget(), choiceBox(generator, 1));
        QCOMPARE(choiceBox(generator, 1)->currentIndex(), -1);
        fillRows(generator, {{"Make", "Ford"}, {"my own words", "x"}, {"Model", "Transit"}, {"Year", "2020"}});
        QCOMPARE(usableControls(generator), u"cv cvbx cvbx cvbx"_s);

        // Cleared by the program, box 2 takes rows 2 to 4 out of force just as a click would.
        rowBox(generator, 2)->setChecked(false);
        QCOMPARE(usableControls(generator), u"cv --b- ---- ----"_s);
        QCOMPARE(choiceBox(generator, 3)->currentText(), u"Model"_s);
        QTest::mouseClick(rowBox(generator, 2), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(usableControls(generator), u"cv cvbx --b- ----"_s);
        rowBox(generator, 3)->setChecked(true);
        rowBox(generator, 4)->setChecked(true);
        QTest::mouseClick(rowBox(generator, 3), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(usableControls(generator), u"cv cvbx --b- ----"_s);

        pressKey(valueBox(generator, 1), Qt::Key_Escape);
        QCOMPARE(usableControls(generator), u"cv --b- ---- ----"_s);
        for (int row = 1; row <= 4; ++row)
            QVERIFY(valueBox(generator, row)->text().isEmpty());
        QCOMPARE(choiceBox(generator, 2)->currentText(), u"my own words"_s);
        QCOMPARE(valueBox(generator, 1), generator->focusWidget());
    }

    void generateTestsTheRowsInForceInOrder()
    {
        TestStore store;
        MessageWatcher messages;
        frmReportGen* generator = openGenerator(store);
        QSignalSpy requests(generator, &frmReportGen::reportRequested);
        pressKey(valueBox(generator, 1), Qt::Key_Return); // Enter generates
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
            pressKey(choiceBox(generator, 1), Qt::Key_Return);
            pressOK(openResults());
        }
        QCOMPARE(requests.count(), 2);
    }

    void criteriaSelectTheRecords_data()
    {
        QTest::addColumn<QString>("criteria");     // rows "choice=value", separated by "|"
        QTest::addColumn<QStringList>("selected"); // the report's first column, or the refusal
        QTest::addColumn<QString>("heading");       // the criteria as the printed report names them, if checked
        const QString invalid = u"Invalid Search Criteria."_s;
        QTest::newRow("all vehicles") << "All Vehicles=anything" << QStringList{"1", "2", "3", "4", "77"} << QString();
        QTest::newRow("vehicle number") << "Vehicle Number=4" << QStringList{"4"} << QString();
        QTest::newRow("four rows") << "Make=Ford|Year=2020|Location=Bay 1|Date=6/1/24" << QStringList{"1"}
                                   << u"Make is \"Ford\" and Year is \"2020\" and Location is \"Bay 1\" and Date is \"6/1/24\""_s;
        QTest::newRow("servicing date") << "Make=Ford|Year=2020|Date=6/1/24" << QStringList{"1", "2"} << QString();
        QTest::newRow("all, then rows") << "All Vehicles=ignored|Make=Ford|Year=2020" << QStringList{"1", "2"}
                                        << u"All Vehicles where Make is \"Ford\" and Year is \"2020\""_s;
        QTest::newRow("no match") << "Location=Bay 9" << QStringList{} << QString();
        QTest::newRow("all employees") << "All Employees=" << QStringList{"10000001", "10000007", "7", "20", "21"} << QString();
        QTest::newRow("two employee rows") << "Last Name=Smith|ID Number=7" << QStringList{"7"} << QString();
        QTest::newRow("a quote") << "Last Name=O'Brien" << QStringList{"10000007"} << QString();
        for (const char* yes : {"yes", "TRUE", "1", "-1"})
            QTest::addRow("Manager? %s", yes) << u"Manager?="_s + yes << QStringList{"10000001", "20"} << QString();
        for (const char* no : {"NO", "False", "0"})
            QTest::addRow("Manager? %s", no) << u"Last Name=Smith|Manager?="_s + no << QStringList{"7"} << QString();
        QTest::newRow("Manager? maybe") << "Manager?=maybe" << QStringList{"Yes or No"} << QString();
        QTest::newRow("Manager? with a blank") << "Manager?= yes" << QStringList{"Yes or No"} << QString();
        for (const char* refused : {"id number", "Make ", "All vehicles", "Make=Ford|All Vehicles"})
            QTest::addRow("choice \"%s\"", refused) << u"%1=x"_s.arg(refused) << QStringList{invalid} << QString();
        QTest::newRow("vehicle field, employee report")
            << "Last Name=Smith|Make=Ford"
            << QStringList{u"Criteria 2, \"Make\", does not apply to an employee report, which can search by ID "
                           u"Number, Last Name or Manager? only."_s} << QString();
        QTest::newRow("employee field, vehicle report")
            << "All Vehicles=|Year=2020|Last Name=Smith"
            << QStringList{u"Criteria 3, \"Last Name\", does not apply to a vehicle report"_s} << QString();
    }

    void criteriaSelectTheRecords()
    {
        QFETCH(QString, criteria);
        QFETCH(QStringList, selected);
        TestStore store;
        addPerson("10000001", "Smith", true);
        addPerson("10000007", "O'Brien", false);
        addPerson("7", "Smith", false);
        store.rows(u"insert into Person (IDNumber, LName, Manager) values ('20', 'Smith', -1)"_s);
        store.rows(u"insert into Person (IDNumber, LName) values ('21', 'Nobody')"_s);
        store.rows(u"insert into Vehicle (VNumber, Make, Year) values ('1', 'Ford', '2020'), ('2', 'Ford', '2020'), "
                   "('3', 'Ford', '2019'), ('4', 'Iveco', '2020'), ('77', 'Ford', null)"_s);
        store.rows(u"insert into Servicing (VNumber, Location, \"Date\") values ('1', 'Bay 1', '6/1/24'), "
                   "('1', 'Bay 1', '6/2/24'), ('2', 'Bay 2', '6/1/24'), ('4', 'Bay 1', '6/1/24')"_s);
        QList<std::pair<QString, QString>> rows;
        for (const QString& row : criteria.split(u'|'))
            rows << std::pair{row.section(u'=', 0, 0), row.section(u'=', 1)};
        MessageWatcher messages;
        frmReportGen* generator = openGenerator(store);
        fillRows(generator, rows);
        frmReportResults* results = generate(generator);
        if (selected.size() == 1 && !selected[0].front().isDigit()) {
            QVERIFY(!results);
            QVERIFY2(messages.texts.size() == 1 && messages.texts[0].contains(selected[0]),
                     qPrintable(messages.texts.join('|')));
            return;
        }
        QVERIFY(results && messages.texts.isEmpty());
        QCOMPARE(reportEntries(results, 1), selected);
        QFETCH(QString, heading);
        if (heading.isEmpty())
            return;
        const QString pdf = store.folder() + "/report.pdf";
        answerDialog("QPrintDialog", "filename", pdf);
        QTest::mouseClick(child<QPushButton>(results, "cmdPrint"), Qt::LeftButton);
        QVERIFY2(pageTexts(pdf).value(0).contains(u"Criteria: "_s + heading), qPrintable(pageTexts(pdf).value(0)));
    }

    // Every field shows as text, one with no value as empty text; Manager as Yes or No.
    void reportColumnsShowEveryField()
    {
        TestStore store;
        store.rows(u"insert into Person (IDNumber, LName, Manager) values ('20', 'Smith', -1)"_s);
        store.addVehicle("4");
        store.rows(u"insert into Vehicle (VNumber, Make) values ('77', 'Ford')"_s);
        MessageWatcher messages;
        frmReportGen* generator = openGenerator(store);
        fillRows(generator, {{"All Vehicles", ""}});
        frmReportResults* results = generate(generator);
        QCOMPARE(titles(results), (QStringList{"Vehicle Number", "Contract Number", "License", "Make", "Model",
                                               "Color", "Year", "Date Purchased"}));
        QCOMPARE(reportRows(results, 8), (QList<QStringList>{{"4", "C-4", "L-4", "Ford", "Transit", "White", "2020",
                                                              "11/11/11"},
                                                             {"77", "", "", "Ford", "", "", "", ""}}));
        QCOMPARE(results->focusWidget(), child<QAbstractItemView>(results, "lstField", 1));
        pressOK(results);
        QVERIFY(!openResults());

        fillRows(generator, {{"All Employees", ""}});
        results = generate(generator);
        QCOMPARE(titles(results),
                 (QStringList{"ID Number", "Last Name", "First Name", "Address", "Telephone", "Manager", "", ""}));
        QCOMPARE(reportRows(results, 6)[0], (QStringList{"20", "Smith", "", "", "", "Yes"}));
        QVERIFY(reportEntries(results, 7).isEmpty() && messages.texts.isEmpty());
    }

    // Past one batch of the server's rows and one block of a column's text: every record once, in
    // stored order. Each list moves and selects on its own, by keys and by the mouse.
    void longReportListsEveryRecordAndEachListMovesOnItsOwn()
    {
        TestStore store;
        store.rows(u"with recursive n(i) as (select 1 union all select i + 1 from n where i < 25000) "
                   "insert into Vehicle (VNumber, Make) select 'V' || i, 'Make ' || i from n"_s);
        QStringList numbers;
        for (int i = 1; i <= 25000; ++i)
            numbers << u"V%1"_s.arg(i);
        frmReportGen* generator = openGenerator(store);
        fillRows(generator, {{"All Vehicles", ""}});
        frmReportResults* results = generate(generator);
        QCOMPARE(reportEntries(results, 1), numbers);
        auto* first = child<QAbstractItemView>(results, "lstField", 1);
        auto* make = child<QAbstractItemView>(results, "lstField", 4);
        const auto chosen = [](QAbstractItemView* list) {
            const QModelIndexList rows = list->selectionModel()->selectedIndexes();
            return rows.size() == 1 ? rows[0].data().toString() : u"%1 chosen"_s.arg(rows.size());
        };
        // A page is as many whole lines as the list shows.
        const int page = first->viewport()->height() / first->visualRect(first->model()->index(0, 0)).height();
        const auto v = [](int n) { return u"V%1"_s.arg(n); };
        // Each key, the entry it chooses and the line at the top: the list scrolls no more than it must.
        for (const auto& [key, entry, top] :
             {std::tuple{Qt::Key_Down, v(2), v(1)}, {Qt::Key_End, v(25000), v(25001 - page)}, {Qt::Key_Home, v(1), v(1)},
              {Qt::Key_PageDown, v(1 + page), v(2)}, {Qt::Key_PageDown, v(1 + 2 * page), v(2 + page)},
              {Qt::Key_PageUp, v(1 + page), v(1 + page)}, {Qt::Key_Up, v(page), v(page)},
              {Qt::Key_End, v(25000), v(25001 - page)}, {Qt::Key_PageDown, v(25000), v(25001 - page)},
              {Qt::Key_Home, v(1), v(1)}, {Qt::Key_PageUp, v(1), v(1)}}) {
            pressKey(first, key);
            QCOMPARE(chosen(first), entry);
            QCOMPARE(first->indexAt(QPoint(1, 1)).data().toString(), top);
        }
        QTest::mouseClick(make->viewport(), Qt::LeftButton, {}, make->visualRect(make->model()->index(2, 0)).center());
        QCOMPARE(chosen(make), u"Make 3"_s);
        QCOMPARE(chosen(first), u"V1"_s);
    }

    // A choice box completes what is typed with the first choice it begins, letter case counting,
    // and otherwise keeps the typed text, which the report then refuses: Enter adds no choice.
    void typedChoicesCompleteOrStayAsTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("choice"); // the box's text after the keys
        QTest::addColumn<QString>("message"); // after Enter; none when the report opens
        QTest::newRow("Ve, Enter") << "Ve" << "Return" << "Vehicle Number" << "";
        QTest::newRow("Ma, Tab") << "Ma" << "Tab" << "Manager?" << "";
        QTest::newRow("Date, Tab") << "Date" << "Tab" << "Date" << "";
        QTest::newRow("Ve, Backspace") << "Ve" << "Backspace" << "Ve" << "";
        QTest::newRow("lower case, Enter") << "ve" << "Return" << "ve" << "Invalid Search Criteria.";
        QTest::newRow("no such choice, Enter") << "Vehicles" << "Return" << "Vehicles" << "Invalid Search Criteria.";
    }

    void typedChoicesCompleteOrStayAsTyped()
    {
        QFETCH(QString, typed);
        QFETCH(QString, keys);
        TestStore store;
        store.addVehicle(u"1"_s);
        frmReportGen* generator = openGenerator(store);
        QTest::keyClicks(valueBox(generator, 1), u"1"_s);
        QComboBox* choice = choiceBox(generator, 1);
        choice->setFocus();
        QTest::keyClicks(choice, typed);
        MessageWatcher messages;
        test::press(choice, QKeySequence(keys));
        QTEST(choice->currentText(), "choice");
        QCOMPARE(choice->count(), 14);
        if (keys != QLatin1String("Return"))
            return;
        QFETCH(QString, message);
        frmReportResults* results = openResults();
        if (message.isEmpty()) {
            QVERIFY(results && messages.texts.isEmpty());
            QCOMPARE(reportEntries(results, 1), QStringList{u"1"_s});
        } else {
            QCOMPARE(messages.takeOnly(), message);
            QVERIFY(!results);
        }
    }

    void anOpenReportStaysAsBuilt()
    {
        TestStore store;
        store.addVehicle("1");
        store.addVehicle("2");
        qobject_cast<QMdiSubWindow*>(openGenerator(store)->parentWidget())->close();
        test::openWindow(m_frame, QKeySequence(u"Ctrl+H"_s)); // now the first window open
        frmReportGen* generator = openGenerator(store);
        fillRows(generator, {{"Vehicle Number", "1"}});
        QPointer<frmReportResults> results = generate(generator);

        fillRows(generator, {{"All Vehicles", ""}});
        QCOMPARE(generate(generator), results.data());
        QCOMPARE(test::activeChild(m_frame), results.data());
        QCOMPARE(reportEntries(results, 1), QStringList{"1"});

        // Without the generator the report stays on show; the menu makes a fresh generator.
        qobject_cast<QMdiSubWindow*>(generator->parentWidget())->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(reportEntries(results, 1), QStringList{"1"});
        QCOMPARE(choiceBox(openGenerator(store), 1)->currentText(), QString());
        pressKey(child<QAbstractItemView>(results, "lstField", 3), Qt::Key_Return); // Enter presses OK
        QVERIFY(!openResults());

        // After OK typing goes on where the report was asked for, not in the first window opened.
        auto* freshGenerator = qobject_cast<frmReportGen*>(test::activeChild(m_frame));
        fillRows(freshGenerator, {{"All Vehicles", ""}});
        pressOK(generate(freshGenerator));
        QCOMPARE(test::activeChild(m_frame), freshGenerator);
    }

    void printedReportCarriesTitlesOnEveryPageAndEveryRow()
    {
        TestStore store;
        PrintedReport report{"Vehicles", "All Vehicles", {"Vehicle Number", "Contract Number", "Make"}, {{}, {}, {}}};
        const QString longMake = "Extraordinarily-long-make-" + QString(400, u'x');
        for (int record = 1; record <= 151; ++record) { // the last page holds fewer than the others
            report.columns[0] << u"V%1"_s.arg(record, 4, 10, QLatin1Char('0'));
            report.columns[1] << u"C%1"_s.arg(record);
            report.columns[2] << (record == 3 ? longMake : u"Ford"_s);
        }
        const QString pdf = store.folder() + "/report.pdf";
        QVERIFY(printToPdf(report, pdf));
        const QStringList texts = pageTexts(pdf);
        const int pages = int(texts.size());
        QVERIFY(pages >= 3);

        QStringList printed;
        for (int page = 1; page <= pages; ++page) {
            const QString& text = texts[page - 1];
            QVERIFY(text.contains(u"Vantorel report: Vehicles"_s) && text.contains(u"Criteria: All Vehicles"_s));
            QVERIFY(text.contains(QRegularExpression(u"Vehicle Number\\s+Contract Number\\s+Make"_s)));
            QVERIFY(text.contains(u"Page %1 of %2"_s.arg(page).arg(pages)));
            for (const auto& match : QRegularExpression(u"V(\\d{4})\\s+C(\\d+)\\s"_s).globalMatch(text)) {
                QCOMPARE(match.captured(1).toInt(), match.captured(2).toInt());
                printed << "V" + match.captured(1);
            }
        }
        QCOMPARE(printed, report.columns[0]);
        const QString& firstPage = texts[0];
        // The short columns keep to their content and leave the long one the rest of the page,
        // where it is cut only at the margin, at least 10 mm from every edge.
        QVERIFY(firstPage.contains(u"Extraordinarily"_s) && firstPage.contains(QString(60, u'x')));
        QVERIFY(!firstPage.contains(QString(400, u'x')));
        QVERIFY(narrowestMarginMm(pdf) >= 9.5); // less a glyph's own bearing
        QVERIFY(firstPage.contains(u"151 records"_s));

        QPageRanges secondOnly;
        secondOnly.addPage(2);
        QVERIFY(printToPdf(report, store.folder() + "/second.pdf", secondOnly));
        const QStringList second = pageTexts(store.folder() + "/second.pdf");
        QVERIFY(second.size() == 1 && second[0].contains(u"Page 2 of %1"_s.arg(pages)));

        // An empty report still prints its heading and titles; a printer that fails says so.
        const QString empty = store.folder() + "/empty.pdf";
        QVERIFY(printToPdf({"Employees", "Last Name is \"X\"", {"ID Number", "Manager"}, {{}, {}}}, empty));
        const QStringList emptyPages = pageTexts(empty);
        QVERIFY(emptyPages.size() == 1 && emptyPages[0].contains(QRegularExpression(u"ID Number\\s+Manager"_s)));
        QVERIFY(!printToPdf(report, store.folder() + "/no such folder/report.pdf"));
    }

    // An employee report leaves through the print dialog (Cancel prints nothing), as CSV from a
    // column's context menu (read back by Python's csv module) and by Ctrl+C on the chosen entry.
    void reportLeavesByPrinterCsvAndClipboard()
    {
        TestStore store;
        const QStringList names = {u"Smith"_s, u"Quote \"and\", comma"_s, u"two\r\nlines"_s, u"Ünïcödé 🚐 مرحبا"_s,
                                   u"=SUM(A1:A9)"_s, u"+1"_s, u"-2"_s, u"@cmd"_s, u"\ttab"_s, u"lone\rreturn"_s};
        for (int person = 0; person < names.size(); ++person)
            addPerson(QString::number(10000001 + person), names[person], person == 0);
        MessageWatcher messages;
        frmReportGen* generator = openGenerator(store);
        fillRows(generator, {{"All Employees", ""}});
        frmReportResults* results = generate(generator);
        QVERIFY(results);

        answerDialog("QPrintDialog", "filename", QString());
        QTest::mouseClick(child<QPushButton>(results, "cmdPrint"), Qt::LeftButton);
        QVERIFY(messages.texts.isEmpty() && QDir(store.folder()).entryList({"*.pdf"}).isEmpty());
        const QString pdf = store.folder() + "/printed.pdf";
        answerDialog("QPrintDialog", "filename", pdf);
        QTest::mouseClick(child<QPushButton>(results, "cmdPrint"), Qt::LeftButton);
        QCOMPARE(messages.takeOnly(), u"Report results have been sent to the printer."_s);
        QVERIFY(pageTexts(pdf)[0].contains(
            QRegularExpression(u"10000001\\s+Smith\\s+Sam\\s+2 Main St\\s+\\(555\\) 010-0001\\s+Yes"_s)));

        const QString csv = store.folder() + "/report.csv";
        answerDialog("dlgSaveCsv", "fileNameEdit", csv);
        child<QAction>(child<QAbstractItemView>(results, "lstField", 2), "mnuSaveCsv")->trigger();
        QCOMPARE(messages.takeOnly(), u"The report has been saved as %1."_s.arg(csv));
        const QByteArray bytes = test::readAll(csv);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QVERIFY(bytes.count("\r\n") > names.size()); // every record ends in CR LF
        const QList<QStringList> rows = test::csvRows(csv);
        QCOMPARE(rows.size(), names.size() + 1);
        QCOMPARE(rows.at(0).last(), u"Manager"_s);
        for (int person = 0; person < names.size(); ++person) {
            const QStringList& row = rows.at(person + 1);
            QCOMPARE(row.size(), 6);
            QCOMPARE(row.at(0), QString::number(10000001 + person));
            const bool formula = u"=+-@\t"_s.contains(names[person].front());
            QCOMPARE(row.at(1), formula ? "'" + names[person] : names[person]);
            QCOMPARE(row.at(5), person == 0 ? u"Yes"_s : u"No"_s);
        }

        auto* nameList = child<QAbstractItemView>(results, "lstField", 2);
        nameList->setFocus();
        nameList->setCurrentIndex(nameList->model()->index(3, 0));
        QTest::keySequence(nameList, QKeySequence::Copy);
        QCOMPARE(QGuiApplication::clipboard()->text(), names[3]);
    }

    // A vehicle report saved as CSV goes back into an empty store through vantorel-setup
    // --import-csv as the same records: their report saved again is the same file, byte for byte,
    // values that look like formulas or begin with an apostrophe included.
    void savedVehicleReportImportsBackToTheSameRecords()
    {
        const QStringList odd = {u"'quoted'"_s, u"'=1+1"_s, u"=1+1"_s, u"-3"_s, u"Quote \"and\", comma"_s,
                                 u"two\r\nlines"_s, u"Ünïcödé 🚐"_s, u""_s, u"  spaced  "_s};
        QTemporaryDir saves;
        QByteArray saved[2];
        for (int round = 0; round < 2; ++round) {
            TestStore store;
            const QString first = saves.filePath(u"first.csv"_s);
            if (round == 0) {
                for (int i = 0; i < odd.size(); ++i) {
                    const auto value = [&](int offset) { return odd[(i + offset) % odd.size()]; };
                    data::Database().append(data::Vehicle{QString::number(5000 + i), value(0), value(1), value(2),
                                                          value(3), value(4), value(5), value(6)});
                }
            } else {
                const test::ToolRun imported = test::runSetup(store.folder(), {u"--import-csv"_s, u"Vehicle"_s, first});
                QVERIFY2(imported.exitCode == 0, imported.shown.constData());
            }
            MessageWatcher messages;
            frmReportGen* generator = openGenerator(store);
            fillRows(generator, {{"All Vehicles", ""}});
            frmReportResults* results = generate(generator);
            QVERIFY(results);
            const QString csv = saves.filePath(round == 0 ? u"first.csv"_s : u"second.csv"_s);
            answerDialog("dlgSaveCsv", "fileNameEdit", csv);
            child<QAction>(child<QAbstractItemView>(results, "lstField", 1), "mnuSaveCsv")->trigger();
            QCOMPARE(messages.takeOnly(), u"The report has been saved as %1."_s.arg(csv));
            saved[round] = test::readAll(csv);
        }
        QVERIFY(saved[0].contains("\"''=1+1\"") || saved[0].contains(",''=1+1,"));
        QCOMPARE(saved[1], saved[0]);
    }
};

QTEST_MAIN(TestReports)
#include "test_reports.moc"
