// The Add New Vehicle and Add New User windows, driven through their controls on a real file.

#include "TestSupport.h"

#include "records/frmAddUser.h"
#include "records/frmAddVehicle.h"
#include "shell/frmLogin.h"
#include "shell/frmMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

using namespace vantorel;
using vantorel::test::MessageWatcher;
using vantorel::test::TestStore;
using namespace vantorel::test;

namespace {

const QStringList kVehicleMessages = {
    "Please enter a Vehicle Number.",        "Please enter a Contract Number.",
    "Please enter the vehicle's License Plate.", "Please enter the vehicle's Make.",
    "Please enter the vehicle's Model.",     "Please enter the vehicle's Color.",
    "Please enter the vehicle's Year.",      "Please enter the vehicle's Purchase Date."};
const QStringList kUserBoxes = {"txtIDNumber", "txtLName", "txtFName", "txtAddress", "txtTelephone", "txtPassword"};
const QStringList kUserMessages = {"Please enter an ID Number.", "Please enter a Last Name.",
                                   "Please enter a First Name.", "Please enter an Address.",
                                   "Please enter a Telephone Number.", "Please enter a Password."};

// For each row in turn: every earlier row filled, that row empty, its message and focus, nothing stored.
void checkValidationOrder(QWidget* window, const char* submit, const QStringList& boxes,
                          const QStringList& messages, const TestStore& store, const QString& table)
{
    MessageWatcher watcher;
    for (int empty = 0; empty < boxes.size(); ++empty) {
        QStringList values;
        for (int i = 0; i < boxes.size(); ++i)
            values << (i < empty ? QStringLiteral("v%1").arg(i) : QString());
        fill(window, boxes, values);
        QTest::mouseClick(button(window, submit), Qt::LeftButton);
        QCOMPARE(watcher.takeOnly(), messages[empty]);
        QCOMPARE(window->focusWidget(), box(window, boxes[empty]));
        QCOMPARE(texts(window, boxes), values);
    }
    QCOMPARE(store.count(table), 0);
}

} // namespace

class TestRecords : public QObject {
    Q_OBJECT

private slots:
    void init() { QApplication::setQuitOnLastWindowClosed(false); }

    void vehicleWindowControlsAndValidation()
    {
        TestStore store;
        frmAddVehicle window;
        showActive(window);
        QCOMPARE(window.windowTitle(), QStringLiteral("Enter New Vehicle Information"));
        QCOMPARE(window.focusWidget(), box(&window, "txtVehicleNumber"));
        QCOMPARE(button(&window, "cmdSubmit")->text(), QStringLiteral("&Submit"));
        QCOMPARE(button(&window, "cmdClear")->text(), QStringLiteral("&Clear"));
        QCOMPARE(test::tabOrder(box(&window, "txtVehicleNumber"), 10), kVehicleBoxes + QStringList({"cmdSubmit", "cmdClear"}));
        checkValidationOrder(&window, "cmdSubmit", kVehicleBoxes, kVehicleMessages, store, QStringLiteral("Vehicle"));
    }

    void vehicleIsStoredAsTypedAndTheWindowEmptied()
    {
        TestStore store;
        MessageWatcher watcher;
        frmAddVehicle window;
        showActive(window);
        const QStringList values = {"A-17", " C'9 ", "O'Brien \"1\"", "Ford; drop table Vehicle; --",
                                    "select", "   ", "twenty", "11/11/11"};
        fill(&window, kVehicleBoxes, values);
        QTest::mouseClick(button(&window, "cmdSubmit"), Qt::LeftButton);
        QCOMPARE(watcher.takeOnly(), QStringLiteral("Vehicle Added Successfully."));
        QCOMPARE(texts(&window, kVehicleBoxes), QStringList(8, QString()));
        QCOMPARE(window.focusWidget(), button(&window, "cmdSubmit"));
        QCOMPARE(store.rows(QStringLiteral("select * from Vehicle")), QList<QStringList>{values});

        // The same number again is stored again; Enter in a box submits.
        fill(&window, kVehicleBoxes, values);
        showActive(window); // the closed message box leaves no window active offscreen
        box(&window, "txtYear")->setFocus();
        QTest::keyClick(box(&window, "txtYear"), Qt::Key_Return);
        QCOMPARE(watcher.takeOnly(), QStringLiteral("Vehicle Added Successfully."));
        QCOMPARE(store.count(QStringLiteral("Vehicle")), 2);
    }

    void escapeAndClearEmptyEveryBox()
    {
        TestStore store;
        MessageWatcher watcher;
        frmAddVehicle window;
        showActive(window);
        fill(&window, kVehicleBoxes, QStringList(8, QStringLiteral("x")));
        box(&window, "txtMake")->setFocus();
        QTest::keyClick(box(&window, "txtMake"), Qt::Key_Escape);
        QCOMPARE(texts(&window, kVehicleBoxes), QStringList(8, QString()));
        QCOMPARE(window.focusWidget(), box(&window, "txtMake"));
        QTest::mouseClick(button(&window, "cmdClear"), Qt::LeftButton);
        QVERIFY(watcher.texts.isEmpty());
        QCOMPARE(store.count(QStringLiteral("Vehicle")), 0);
    }

    void storeFailureKeepsEntriesAndShowsNoSuccess()
    {
        TestStore store;
        MessageWatcher watcher;
        frmAddVehicle vehicles;
        frmAddUser users;
        showActive(vehicles);
        store.rows(QStringLiteral("drop table Vehicle"));
        store.rows(QStringLiteral("drop table Person"));
        const QStringList values = {"1", "2", "3", "4", "5", "6", "7", "8"};
        fill(&vehicles, kVehicleBoxes, values);
        QTest::mouseClick(button(&vehicles, "cmdSubmit"), Qt::LeftButton);
        QString text = watcher.takeOnly();
        QVERIFY2(text.startsWith(QStringLiteral("The vehicle could not be saved")), qPrintable(text));
        QCOMPARE(texts(&vehicles, kVehicleBoxes), values);

        showActive(users);
        fill(&users, kUserBoxes, values.mid(0, 6));
        users.findChild<QCheckBox*>(QStringLiteral("chkManager"))->setChecked(true);
        QTest::mouseClick(button(&users, "cmdSumbit"), Qt::LeftButton);
        text = watcher.takeOnly();
        QVERIFY2(text.startsWith(QStringLiteral("The new user could not be saved")), qPrintable(text));
        QCOMPARE(texts(&users, kUserBoxes), values.mid(0, 6));
        QVERIFY(users.findChild<QCheckBox*>(QStringLiteral("chkManager"))->isChecked());
    }

    void userWindowControlsAndValidation()
    {
        TestStore store;
        frmAddUser window;
        showActive(window);
        QCOMPARE(window.windowTitle(), QStringLiteral("Add a new User"));
        QCOMPARE(box(&window, "txtPassword")->echoMode(), QLineEdit::Normal);
        QCOMPARE(test::tabOrder(box(&window, "txtIDNumber"), 9), kUserBoxes + QStringList({"chkManager", "cmdSumbit", "cmdClear"}));
        auto* manager = window.findChild<QCheckBox*>(QStringLiteral("chkManager"));
        manager->setChecked(true);
        checkValidationOrder(&window, "cmdSumbit", kUserBoxes, kUserMessages, store, QStringLiteral("Person"));
        QVERIFY(manager->isChecked());
    }

    void newUsersAreStoredHashedAndCanLogInWithTheirRole()
    {
        TestStore store;
        MessageWatcher watcher;
        frmAddUser window;
        showActive(window);
        const QStringList manager = {"M1234567890", "O'Neil", "Ann", "1 \"Quay\"", "(555) 123-4567", "  "};
        fill(&window, kUserBoxes, manager);
        window.findChild<QCheckBox*>(QStringLiteral("chkManager"))->setChecked(true);
        QTest::mouseClick(button(&window, "cmdSumbit"), Qt::LeftButton);
        QCOMPARE(watcher.takeOnly(), QStringLiteral("New User Added Successfully."));
        QCOMPARE(texts(&window, kUserBoxes), QStringList(6, QString()));
        QVERIFY(!window.findChild<QCheckBox*>(QStringLiteral("chkManager"))->isChecked());

        const QStringList mechanic = {"20000001", "Lee", "Kim", "2 Road", "phone", "Wrench pw"};
        fill(&window, kUserBoxes, mechanic);
        showActive(window);
        QTest::keyClick(box(&window, "txtPassword"), Qt::Key_Return);
        QCOMPARE(watcher.takeOnly(), QStringLiteral("New User Added Successfully."));

        const QList<QStringList> people = store.rows(QStringLiteral("select * from Person"));
        QCOMPARE(people.size(), 2);
        QCOMPARE(people[0].mid(0, 5), manager.mid(0, 5));
        QCOMPARE(people[0][6], QStringLiteral("1"));
        QCOMPARE(people[1].mid(0, 5), mechanic.mid(0, 5));
        QCOMPARE(people[1][6], QStringLiteral("0"));
        for (const QStringList& person : people)
            QVERIFY2(person[5].startsWith(QStringLiteral("$argon2id$")), qPrintable(person[5]));
        QVERIFY(!people[1][5].contains(QStringLiteral("Wrench")));

        for (const auto& [id, password, menu] : {std::tuple{manager[0], manager[5], "mnuManager"},
                                                 std::tuple{mechanic[0], mechanic[5], "mnuServicing"}}) {
            auto* login = new frmLogin;
            login->show();
            box(login, "txtEmpID")->setText(id);
            box(login, "txtPassword")->setText(password);
            button(login, "cmdSubmit")->click();
            QVERIFY(watcher.texts.isEmpty());
            frmMain* main = test::visibleWindow<frmMain>();
            QVERIFY(main);
            QCOMPARE(main->windowTitle(), QStringLiteral("Vantorel - User %1 logged in.").arg(id));
            QVERIFY(main->menuBar()->findChild<QMenu*>(QString::fromLatin1(menu))->menuAction()->isVisible());
            main->close();
        }
    }
};

QTEST_MAIN(TestRecords)
#include "test_records.moc"
