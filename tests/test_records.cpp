// The Add New Vehicle and Add New User windows, opened from a manager's frame.

#include "TestSupport.h"

#include <QCheckBox>
#include <QMenu>

using namespace vantorel;
using namespace vantorel::test;

namespace {

const QStringList kUserBoxes = {"txtIDNumber", "txtLName", "txtFName", "txtAddress", "txtTelephone", "txtPassword"};

} // namespace

class TestRecords : public test::Suite {
    Q_OBJECT

private slots:
    void entriesAreRequiredInTheirOrder_data()
    {
        QTest::addColumn<QString>("opensWith");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("table");
        QTest::newRow("vehicle") << "Ctrl+N" << kVehicleBoxes
                                 << QStringList{"Please enter a Vehicle Number.", "Please enter a Contract Number.",
                                                "Please enter the vehicle's License Plate.",
                                                "Please enter the vehicle's Make.", "Please enter the vehicle's Model.",
                                                "Please enter the vehicle's Color.", "Please enter the vehicle's Year.",
                                                "Please enter the vehicle's Purchase Date."}
                                 << "Vehicle";
        QTest::newRow("user") << "Ctrl+A" << kUserBoxes
                              << QStringList{"Please enter an ID Number.", "Please enter a Last Name.",
                                             "Please enter a First Name.", "Please enter an Address.",
                                             "Please enter a Telephone Number.", "Please enter a Password."}
                              << "Person";
    }

    // For each box in turn: the earlier ones filled (some with blanks alone, which count as an
    // entry), that one empty: Enter tells which, puts the focus there, keeps the entries, stores nothing.
    void entriesAreRequiredInTheirOrder()
    {
        QFETCH(QString, opensWith);
        QFETCH(QStringList, boxes);
        QFETCH(QStringList, messages);
        QFETCH(QString, table);
        TestStore store;
        QWidget* window = openWindow(logInNew(store, true), QKeySequence(opensWith));
        QVERIFY(window);
        const int before = store.count(table);
        MessageWatcher watcher;
        for (int empty = 0; empty < boxes.size(); ++empty) {
            QStringList values;
            for (int i = 0; i < boxes.size(); ++i)
                values << (i >= empty ? QString() : i % 2 ? QStringLiteral("  ") : QStringLiteral("v%1").arg(i));
            fill(window, boxes, values);
            press(window, Qt::Key_Return);
            QCOMPARE(watcher.takeOnly(), messages[empty]);
            QCOMPARE(window->focusWidget(), box(window, boxes[empty]));
            QCOMPARE(texts(window, boxes), values);
        }
        QCOMPARE(store.count(table), before);
    }

    void vehicleIsStoredAsTypedAndTheWindowEmptied()
    {
        TestStore store;
        QWidget* window = openWindow(logInNew(store, true), QKeySequence(QStringLiteral("Ctrl+N")));
        MessageWatcher watcher;
        const QStringList values = {"A-17", " C'9 ", "O'Brien \"1\"", "Ford; drop table Vehicle; --",
                                    "select", "   ", "twenty", "11/11/11"};
        for (int twice = 1; twice <= 2; ++twice) { // the same number again is stored again
            fill(window, kVehicleBoxes, values);
            press(window, Qt::Key_Return);
            QCOMPARE(watcher.takeOnly(), QStringLiteral("Vehicle Added Successfully."));
            QCOMPARE(texts(window, kVehicleBoxes), QStringList(8, QString()));
            QCOMPARE(store.rows(QStringLiteral("select * from Vehicle")), QList<QStringList>(twice, values));
        }
        // Esc empties every box and leaves the focus where it was.
        fill(window, kVehicleBoxes, QStringList(8, QStringLiteral("x")));
        press(window, Qt::Key_Escape);
        QCOMPARE(texts(window, kVehicleBoxes), QStringList(8, QString()));
        QCOMPARE(window->focusWidget(), box(window, "txtDatePurchased"));
        QVERIFY(watcher.texts.isEmpty());
    }

    void newUsersAreStoredHashedAndLogInWithTheirRole()
    {
        TestStore store;
        QWidget* window = openWindow(logInNew(store, true), QKeySequence(QStringLiteral("Ctrl+A")));
        MessageWatcher watcher;
        auto* manager = child<QCheckBox>(window, "chkManager");
        const QStringList boss = {"M1234567890", "O'Neil", "Ann", "1 \"Quay\"", "(555) 123-4567", "  "};
        const QStringList mechanic = {"20000001", "Lee", "Kim", "2 Road", "phone", "Wrench pw"};
        for (const QStringList& values : {boss, mechanic, mechanic}) { // the same user again is stored again
            fill(window, kUserBoxes, values);
            manager->setChecked(values == boss);
            press(window, Qt::Key_Return);
            QCOMPARE(watcher.takeOnly(), QStringLiteral("New User Added Successfully."));
            QCOMPARE(texts(window, kUserBoxes), QStringList(6, QString()));
            QVERIFY(!manager->isChecked());
        }
        const QList<QStringList> people = store.rows(QStringLiteral("select * from Person where IDNumber <> '10000001'"));
        QCOMPARE(people.size(), 3);
        QCOMPARE(people[0].mid(0, 5) + people[0].mid(6), boss.mid(0, 5) + QStringList{"1"});
        QCOMPARE(people[1].mid(0, 5) + people[1].mid(6), mechanic.mid(0, 5) + QStringList{"0"});
        QCOMPARE(people[2].mid(0, 5), mechanic.mid(0, 5));
        for (const QStringList& person : people)
            QVERIFY2(person[5].startsWith(QStringLiteral("$argon2id$")), qPrintable(person[5]));

        for (const auto& [values, menu] : {std::pair{boss, "mnuManager"}, std::pair{mechanic, "mnuServicing"}}) {
            closeAllWindows();
            QWidget* frame = logIn(values[0], values[5]);
            QVERIFY(frame && watcher.texts.isEmpty());
            QVERIFY(frame->findChild<QMenu*>(QString::fromLatin1(menu))->menuAction()->isVisible());
        }
    }
};

QTEST_MAIN(TestRecords)
#include "test_records.moc"