// Log-in, the main frame and its menus, About and Help, driven through the real windows.

#include "TestSupport.h"

#include "common/MessageBox.h"
#include "shell/frmAbout.h"
#include "shell/frmHelp.h"
#include "shell/frmLogin.h"
#include "shell/frmMain.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QSignalSpy>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

using namespace vantorel;
using vantorel::test::MessageWatcher;
using vantorel::test::TestStore;
using vantorel::test::child;

namespace {

frmMain* openMainWindow()
{
    return test::visibleWindow<frmMain>();
}

frmLogin* openLoginWindow()
{
    return test::visibleWindow<frmLogin>();
}

QStringList visibleMenus(QMainWindow* main)
{
    QStringList names;
    for (QAction* action : main->menuBar()->actions()) {
        if (action->isVisible())
            names << action->objectName();
    }
    return names;
}

QStringList childWindowNames(frmMain* main)
{
    QStringList names;
    for (QMdiSubWindow* sub : main->findChild<QMdiArea*>()->subWindowList())
        names << sub->widget()->objectName();
    return names;
}

void closeEverything()
{
    test::closeAllWindows();
}

} // namespace

class TestShell : public QObject {
    Q_OBJECT

private:
    // Opens a log-in window, types the ID and password, presses Submit.
    QPointer<frmLogin> attemptLogin(const QString& id, const QString& password)
    {
        QPointer<frmLogin> login = openLoginWindow();
        if (!login) {
            login = new frmLogin;
            login->show();
        }
        QApplication::setActiveWindow(login);
        [&] { QVERIFY(QTest::qWaitForWindowActive(login)); }();
        auto* idBox = child<QLineEdit>(login, "txtEmpID");
        auto* passwordBox = child<QLineEdit>(login, "txtPassword");
        idBox->clear();
        passwordBox->clear();
        QTest::keyClicks(idBox, id);
        QTest::keyClicks(passwordBox, password);
        QTest::mouseClick(child<QPushButton>(login, "cmdSubmit"), Qt::LeftButton);
        return login;
    }

    frmMain* loginAs(const QString& id, const QString& password)
    {
        attemptLogin(id, password);
        return openMainWindow();
    }

private slots:
    void init() { QApplication::setQuitOnLastWindowClosed(false); }
    void cleanup() { closeEverything(); }

    void loginWindowStartsEmptyWithItsControls()
    {
        TestStore store;
        frmLogin login;
        login.show();
        QVERIFY(QTest::qWaitForWindowActive(&login));
        QCOMPARE(login.windowTitle(), QStringLiteral("Enter your Employee ID and Password"));
        QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(&login, "txtEmpID"));
        QCOMPARE(child<QLineEdit>(&login, "txtPassword")->echoMode(), QLineEdit::Password);
        QCOMPARE(child<QPushButton>(&login, "cmdExit")->text(), QStringLiteral("E&xit"));
        QCOMPARE(child<QPushButton>(&login, "cmdClear")->text(), QStringLiteral("Clear"));
        QCOMPARE(child<QPushButton>(&login, "cmdSubmit")->text(), QStringLiteral("Submit"));

        QStringList order;
        QWidget* widget = child<QLineEdit>(&login, "txtEmpID");
        for (int i = 0; i < 5; ++i, widget = widget->nextInFocusChain())
            order << widget->objectName();
        QCOMPARE(order, (QStringList{"txtEmpID", "txtPassword", "cmdSubmit", "cmdClear", "cmdExit"}));
    }

    void managerAndMechanicGetTheirMenusAndTitle()
    {
        TestStore store;
        store.addUser(QStringLiteral("10000001"), QStringLiteral("boss"), true);
        store.addUser(QStringLiteral("20000001"), QStringLiteral("wrench"), false);
        MessageWatcher messages;

        frmMain* main = loginAs(QStringLiteral("10000001"), QStringLiteral("boss"));
        QVERIFY(main);
        QCOMPARE(main->windowTitle(), QStringLiteral("Vantorel - User 10000001 logged in."));
        QCOMPARE(visibleMenus(main), (QStringList{"mnuControl", "mnuManager", "mnuReports", "mnuHelp"}));
        QVERIFY(!openLoginWindow());

        child<QAction>(main, "mnuChangeUser")->trigger();
        QTest::qWait(1);
        main = loginAs(QStringLiteral("20000001"), QStringLiteral("wrench"));
        QVERIFY(main);
        QCOMPARE(main->windowTitle(), QStringLiteral("Vantorel - User 20000001 logged in."));
        QCOMPARE(visibleMenus(main), (QStringList{"mnuControl", "mnuServicing", "mnuReports", "mnuHelp"}));
        QVERIFY(messages.texts.isEmpty());
    }

    void roleComesFromTheRecordNotTheId()
    {
        TestStore store;
        store.addUser(QStringLiteral("M1234567"), QStringLiteral("pw"), false);
        store.addUser(QStringLiteral("1234567"), QStringLiteral("pw"), true);

        frmMain* main = loginAs(QStringLiteral("M1234567"), QStringLiteral("pw"));
        QVERIFY(main);
        QVERIFY(visibleMenus(main).contains("mnuServicing"));
        QVERIFY(!visibleMenus(main).contains("mnuManager"));
        // The manager's items and shortcuts stay out of reach for a mechanic.
        QVERIFY(!child<QAction>(main, "mnuAddUser")->isEnabled());
        QVERIFY(!child<QAction>(main, "mnuAddVehicle")->isEnabled());
        QTest::keyClick(main, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(main, Qt::Key_N, Qt::ControlModifier);
        QVERIFY(childWindowNames(main).isEmpty());
        main->close();

        main = loginAs(QStringLiteral("1234567"), QStringLiteral("pw"));
        QVERIFY(main);
        QCOMPARE(main->windowTitle(), QStringLiteral("Vantorel - User 1234567 logged in."));
        QVERIFY(visibleMenus(main).contains("mnuManager"));
        QVERIFY(!child<QAction>(main, "mnuServiceVehicle")->isEnabled());
    }

    void refusalsTellWhichEntryIsWrongAndKeepBoth()
    {
        TestStore store;
        store.addUser(QStringLiteral("20000001"), QStringLiteral("Secret pw"), false);
        MessageWatcher messages;

        QPointer<frmLogin> login = attemptLogin(QStringLiteral("20000009"), QStringLiteral("Secret pw"));
        QCOMPARE(messages.takeOnly(), QStringLiteral("Invalid ID Number."));
        QCOMPARE(login->focusWidget(), child<QLineEdit>(login, "txtEmpID"));
        QCOMPARE(child<QLineEdit>(login, "txtEmpID")->text(), QStringLiteral("20000009"));
        QCOMPARE(child<QLineEdit>(login, "txtPassword")->text(), QStringLiteral("Secret pw"));

        for (const QString& wrong : {QStringLiteral("secret pw"), QStringLiteral("Secret pw "),
                                     QStringLiteral(" Secret pw"), QString()}) {
            login = attemptLogin(QStringLiteral("20000001"), wrong);
            QCOMPARE(messages.takeOnly(), QStringLiteral("Invalid Password."));
            QCOMPARE(login->focusWidget(), child<QLineEdit>(login, "txtPassword"));
            QCOMPARE(child<QLineEdit>(login, "txtPassword")->text(), wrong);
        }
        for (const QString& id : {QStringLiteral(" 20000001"), QStringLiteral("20000001 "), QString()}) {
            attemptLogin(id, QStringLiteral("Secret pw"));
            QCOMPARE(messages.takeOnly(), QStringLiteral("Invalid ID Number."));
        }
        QVERIFY(!openMainWindow());
    }

    void clearTextAndNullPasswordsFromOtherPrograms()
    {
        TestStore store;
        store.addClearTextUser(QStringLiteral("30000001"), QStringLiteral("Plain"), false);
        store.addClearTextUser(QStringLiteral("30000002"), std::nullopt, true);
        store.addClearTextUser(QStringLiteral("30000003"), QStringLiteral(""), false);
        MessageWatcher messages;

        attemptLogin(QStringLiteral("30000001"), QStringLiteral("plain"));
        QCOMPARE(messages.takeOnly(), QStringLiteral("Invalid Password."));
        attemptLogin(QStringLiteral("30000002"), QString());
        QCOMPARE(messages.takeOnly(), QStringLiteral("Invalid Password."));
        QVERIFY(loginAs(QStringLiteral("30000003"), QString()));
        closeEverything();
        QVERIFY(loginAs(QStringLiteral("30000001"), QStringLiteral("Plain")));
    }

    void duplicateIdsUseTheFirstRecord()
    {
        TestStore store;
        store.addClearTextUser(QStringLiteral("40000001"), QStringLiteral("first"), false);
        store.addClearTextUser(QStringLiteral("40000001"), QStringLiteral("second"), true);
        MessageWatcher messages;

        attemptLogin(QStringLiteral("40000001"), QStringLiteral("second"));
        QCOMPARE(messages.takeOnly(), QStringLiteral("Invalid Password."));
        frmMain* main = loginAs(QStringLiteral("40000001"), QStringLiteral("first"));
        QVERIFY(main);
        QVERIFY(visibleMenus(main).contains("mnuServicing"));
    }

    void quotesAndSqlInEntriesLogNobodyIn()
    {
        TestStore store;
        store.addClearTextUser(QStringLiteral("50000001"), QStringLiteral("it's \"quoted\""), false);
        MessageWatcher messages;

        attemptLogin(QStringLiteral("x' or '1'='1"), QStringLiteral("x' or '1'='1"));
        QCOMPARE(messages.takeOnly(), QStringLiteral("Invalid ID Number."));
        attemptLogin(QStringLiteral("50000001"), QStringLiteral("' or ''='"));
        QCOMPARE(messages.takeOnly(), QStringLiteral("Invalid Password."));
        QVERIFY(loginAs(QStringLiteral("50000001"), QStringLiteral("it's \"quoted\"")));
        QCOMPARE(store.count(QStringLiteral("Person")), 1);
    }

    void missingDatabaseIsReportedAndNotCreated()
    {
        TestStore store;
        QVERIFY(QFile::remove(store.databasePath()));
        MessageWatcher messages;

        QPointer<frmLogin> login = attemptLogin(QStringLiteral("10000001"), QStringLiteral("pw"));
        const QString text = messages.takeOnly();
        QVERIFY2(text.startsWith(QStringLiteral("The database file Vantorel.mdb could not be opened")),
                 qPrintable(text));
        QVERIFY(!QFile::exists(store.databasePath()));
        QVERIFY(login && login->isVisible());
        QVERIFY(!openMainWindow());
    }

    void clearAndExitOnTheLoginWindow()
    {
        TestStore store;
        QPointer<frmLogin> login = new frmLogin;
        login->show();
        QVERIFY(QTest::qWaitForWindowActive(login));
        QTest::keyClicks(child<QLineEdit>(login, "txtEmpID"), QStringLiteral("abc"));
        QTest::keyClicks(child<QLineEdit>(login, "txtPassword"), QStringLiteral("def"));
        QTest::mouseClick(child<QPushButton>(login, "cmdClear"), Qt::LeftButton);
        QVERIFY(child<QLineEdit>(login, "txtEmpID")->text().isEmpty());
        QVERIFY(child<QLineEdit>(login, "txtPassword")->text().isEmpty());

        QTest::keyClick(child<QLineEdit>(login, "txtPassword"), Qt::Key_Escape);
        QTest::qWait(1);
        QVERIFY(!login || !login->isVisible());
    }

    void enterSubmitsFromTheBoxes()
    {
        TestStore store;
        store.addClearTextUser(QStringLiteral("60000001"), QStringLiteral("pw"), false);
        auto* login = new frmLogin;
        login->show();
        QVERIFY(QTest::qWaitForWindowActive(login));
        QTest::keyClicks(child<QLineEdit>(login, "txtEmpID"), QStringLiteral("60000001"));
        QTest::keyClicks(child<QLineEdit>(login, "txtPassword"), QStringLiteral("pw"));
        QTest::keyClick(child<QLineEdit>(login, "txtPassword"), Qt::Key_Return);
        QVERIFY(openMainWindow());
    }

    void changeUserAndExitCloseEveryChildWindow()
    {
        TestStore store;
        store.addClearTextUser(QStringLiteral("10000001"), QStringLiteral("pw"), true);
        QPointer<frmMain> main = loginAs(QStringLiteral("10000001"), QStringLiteral("pw"));
        QVERIFY(main);
        child<QAction>(main, "mnuAddUser")->trigger();
        child<QAction>(main, "mnuVRHelp")->trigger();
        QPointer<QWidget> help = main->findChild<QWidget*>(QStringLiteral("frmHelp"));
        QVERIFY(help);

        child<QAction>(main, "mnuChangeUser")->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!main);
        QVERIFY(!help);
        frmLogin* login = openLoginWindow();
        QVERIFY(login);
        QVERIFY(child<QLineEdit>(login, "txtEmpID")->text().isEmpty());
        QVERIFY(child<QLineEdit>(login, "txtPassword")->text().isEmpty());

        main = loginAs(QStringLiteral("10000001"), QStringLiteral("pw"));
        QVERIFY(main);
        QVERIFY(childWindowNames(main).isEmpty());
        child<QAction>(main, "mnuExit")->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!main);
        QVERIFY(!openLoginWindow());
    }

    // Each window opened from the frame's menus, with the keys a user presses there: its access
    // keys press its own buttons ahead of the menu bar, Enter and Esc its default and cancel
    // buttons, and from a text box the frame's shortcuts act for the role that has them and do
    // nothing for the other.
    void keysOfEachWindowInsideTheFrame_data()
    {
        QTest::addColumn<bool>("manager");
        QTest::addColumn<QString>("opensWith");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("textBox");
        QTest::addColumn<QStringList>("accessKeys"); // "Alt+letter=button"
        QTest::addColumn<QString>("enterPresses");
        QTest::addColumn<QString>("escPresses");
        QTest::addColumn<QStringList>("otherRoleKeys");
        QTest::addColumn<QString>("ownKey");
        QTest::addColumn<QString>("ownKeyOpens");

        const QStringList managerOnly = {"Ctrl+A", "Ctrl+N"};
        QTest::newRow("servicing") << false << "Ctrl+S" << "frmServicing" << "txtLocation"
                                   << QStringList{"Alt+C=cmdClear", "Alt+R=cmdViewHistory", "Alt+M=cmdComplete",
                                                  "Alt+S=cmdStart"}
                                   << "" << "cmdClear" << managerOnly << "Ctrl+U" << "frmLogin";
        QTest::newRow("repair history") << false << "Ctrl+H" << "frmRepairHistory" << "txtVehicleNumber"
                                        << QStringList{"Alt+C=cmdClear", "Alt+H=cmdShowHistory"}
                                        << "cmdShowHistory" << "cmdClear" << managerOnly << "Ctrl+R"
                                        << "frmReportGen";
        QTest::newRow("add vehicle") << true << "Ctrl+N" << "frmAddVehicle" << "txtMake"
                                     << QStringList{"Alt+S=cmdSubmit", "Alt+C=cmdClear"} << "cmdSubmit" << "cmdClear"
                                     << QStringList{"Ctrl+S"} << "Ctrl+A" << "frmAddUser";
        QTest::newRow("add user") << true << "Ctrl+A" << "frmAddUser" << "txtLName"
                                  << QStringList{"Alt+S=cmdSumbit", "Alt+C=cmdClear"} << "cmdSumbit" << "cmdClear"
                                  << QStringList{"Ctrl+S"} << "Ctrl+U" << "frmLogin";
        QTest::newRow("report generator") << true << "Ctrl+R" << "frmReportGen" << "txtCriteria1"
                                          << QStringList{"Alt+R=cmdReset", "Alt+G=cmdGenerate"} << "cmdGenerate"
                                          << "cmdReset" << QStringList{"Ctrl+S"} << "Ctrl+H" << "frmRepairHistory";
    }

    void keysOfEachWindowInsideTheFrame()
    {
        QFETCH(bool, manager);
        QFETCH(QString, window);
        TestStore store;
        store.addClearTextUser(QStringLiteral("10000001"), QStringLiteral("pw"), manager);
        MessageWatcher messages;
        QWidget* frame = test::logIn(QStringLiteral("10000001"), QStringLiteral("pw"));
        QVERIFY(frame);
        QFETCH(QString, opensWith);
        test::press(frame, QKeySequence(opensWith));
        QWidget* opened = test::activeChild(frame);
        QVERIFY(opened);
        QCOMPARE(opened->objectName(), window);

        const auto expectClick = [&](const QString& buttonName, const QKeySequence& keys) {
            QSignalSpy clicks(test::button(opened, buttonName), &QAbstractButton::clicked);
            test::press(opened, keys);
            // An access key clicks after the button's short pressed-down look.
            QTRY_COMPARE_WITH_TIMEOUT(clicks.count(), 1, 1000);
            QVERIFY2(!QApplication::activePopupWidget(), "a menu opened");
        };
        QFETCH(QStringList, accessKeys);
        for (const QString& access : accessKeys)
            expectClick(access.section(u'=', 1), QKeySequence(access.section(u'=', 0, 0)));
        QFETCH(QString, enterPresses);
        QFETCH(QString, escPresses);
        QFETCH(QString, textBox);
        if (!enterPresses.isEmpty()) {
            test::box(opened, textBox)->setFocus();
            expectClick(enterPresses, QKeySequence(Qt::Key_Return));
        }
        test::box(opened, textBox)->setFocus();
        expectClick(escPresses, QKeySequence(Qt::Key_Escape));

        QLineEdit* typing = test::box(opened, textBox);
        typing->setFocus();
        QTest::keyClicks(typing, QStringLiteral("kept as typed"));
        QFETCH(QStringList, otherRoleKeys);
        for (const QString& keys : otherRoleKeys) {
            test::press(typing, QKeySequence(keys));
            QCOMPARE(typing->text(), QStringLiteral("kept as typed"));
            QCOMPARE(test::activeChild(frame), opened);
        }
        QFETCH(QString, ownKey);
        QFETCH(QString, ownKeyOpens);
        QPointer<QWidget> frameAlive = frame;
        test::press(typing, QKeySequence(ownKey));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (ownKeyOpens == QLatin1String("frmLogin")) {
            QVERIFY(!frameAlive);
            QVERIFY(openLoginWindow());
        } else {
            QCOMPARE(test::activeChild(frame)->objectName(), ownKeyOpens);
        }
        QCOMPARE(messages.texts.filter(QStringLiteral("Vantorel.mdb")), QStringList());
    }

    // Every window opened from the frame at its starting size: no two controls overlap and every
    // caption shows whole.
    void windowsOpenAtASizeThatShowsEveryControl_data()
    {
        QTest::addColumn<bool>("manager");
        QTest::addColumn<QString>("opensWith");
        QTest::newRow("frmAddUser") << true << "Ctrl+A";
        QTest::newRow("frmAddVehicle") << true << "Ctrl+N";
        QTest::newRow("frmServicing") << false << "Ctrl+S";
        QTest::newRow("frmRepairHistory") << false << "Ctrl+H";
        QTest::newRow("frmReportGen") << false << "Ctrl+R";
        QTest::newRow("frmHelp") << false << "F1";
        QTest::newRow("frmReportResults") << false << "Ctrl+R,All Vehicles,Alt+G";
    }

    void windowsOpenAtASizeThatShowsEveryControl()
    {
        QFETCH(bool, manager);
        QFETCH(QString, opensWith);
        TestStore store;
        store.addClearTextUser(QStringLiteral("10000001"), QStringLiteral("pw"), manager);
        store.addVehicle(QStringLiteral("1001"));
        MessageWatcher messages;
        QWidget* frame = test::logIn(QStringLiteral("10000001"), QStringLiteral("pw"));
        QVERIFY(frame);
        // Keys to press, or a choice to type into the generator's first row.
        for (const QString& step : opensWith.split(u',')) {
            if (step.contains(u' '))
                QTest::keyClicks(child<QComboBox>(frame, "cboCriteria1"), step);
            else
                test::press(frame, QKeySequence(step));
        }
        QTRY_VERIFY(test::activeChild(frame)
                    && test::activeChild(frame)->objectName() == QString::fromLatin1(QTest::currentDataTag()));
        QWidget* window = test::activeChild(frame);

        QList<QWidget*> controls;
        for (QWidget* control : window->findChildren<QWidget*>()) {
            if (!control->objectName().isEmpty() && !control->objectName().startsWith(QLatin1String("qt_"))
                && control->isVisibleTo(window))
                controls << control;
        }
        QVERIFY(!controls.isEmpty());
        for (QWidget* control : controls) {
            const QRect place(control->mapTo(window, QPoint()), control->size());
            QVERIFY2(window->rect().contains(place), qPrintable(control->objectName() + " lies outside"));
            for (QWidget* other : controls) {
                if (other != control && !control->isAncestorOf(other) && !other->isAncestorOf(control)) {
                    const QRect otherPlace(other->mapTo(window, QPoint()), other->size());
                    QVERIFY2(!place.intersects(otherPlace),
                             qPrintable(control->objectName() + " overlaps " + other->objectName()));
                }
            }
            QString caption;
            if (auto* text = qobject_cast<QLabel*>(control); text && text->objectName().startsWith("Label"))
                caption = text->text();
            else if (auto* pressable = qobject_cast<QAbstractButton*>(control))
                caption = pressable->text().remove(u'&');
            QVERIFY2(control->fontMetrics().horizontalAdvance(caption) <= control->contentsRect().width(),
                     qPrintable(control->objectName() + " is cut"));
        }
    }

    // A message quoting a 20 KB entry: a plain modal box titled "Vantorel" with OK alone and no
    // icon, no taller than the screen, the entry cut to one line with "…".
    void messageBoxIsPlainAndBounded()
    {
        TestStore store;
        store.addClearTextUser(QStringLiteral("10000001"), QStringLiteral("pw"), true);
        QWidget* frame = test::logIn(QStringLiteral("10000001"), QStringLiteral("pw"));
        QVERIFY(frame);
        test::press(frame, QKeySequence(QStringLiteral("Ctrl+R")));
        QTest::keyClicks(child<QComboBox>(frame, "cboCriteria1"), QStringLiteral("Manager?"));
        child<QLineEdit>(frame, "txtCriteria1")->setText(QString(20000, u'y') + QStringLiteral("\nsecond line"));
        QString seen;
        std::function<void()> inspect = [&seen, &inspect] {
            QWidget* box = QApplication::activeModalWidget();
            if (!box || box->objectName() != QLatin1String(kMessageBoxObjectName))
                return QTimer::singleShot(10, inspect); // the access key clicks after a moment
            const QList<QPushButton*> buttons = box->findChildren<QPushButton*>();
            const auto* text = box->findChild<QLabel*>(QString::fromLatin1(kMessageTextObjectName));
            seen = box->windowTitle() + u'|' + text->text();
            QVERIFY(box->isModal());
            QCOMPARE(buttons.size(), 1);
            QCOMPARE(buttons.first()->text(), QStringLiteral("OK"));
            QVERIFY(buttons.first()->icon().isNull());
            QVERIFY(!(box->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
            QVERIFY(box->height() < box->screen()->availableGeometry().height() / 2);
            QVERIFY(text->width() <= 61 * text->fontMetrics().averageCharWidth());
            buttons.first()->click();
        };
        inspect();
        test::press(frame, QKeySequence(QStringLiteral("Alt+G")));
        QTRY_VERIFY(!seen.isEmpty());
        QVERIFY2(seen.startsWith(QStringLiteral("Vantorel|Criteria 1")), qPrintable(seen.left(80)));
        QVERIFY(seen.endsWith(QString(59, u'y') + QStringLiteral("…\".")));
    }

    void menuTreeHasItsCaptionsAndShortcuts()
    {
        TestStore store;
        store.addClearTextUser(QStringLiteral("10000001"), QStringLiteral("pw"), true);
        frmMain* main = loginAs(QStringLiteral("10000001"), QStringLiteral("pw"));
        QVERIFY(main);
        const QList<std::tuple<const char*, const char*, QKeySequence>> items = {
            {"mnuChangeUser", "Change &User", QKeySequence(QStringLiteral("Ctrl+U"))},
            {"mnuExit", "E&xit", QKeySequence(QStringLiteral("Ctrl+Q"))},
            {"mnuAddUser", "Add &New User", QKeySequence(QStringLiteral("Ctrl+A"))},
            {"mnuAddVehicle", "Add New &Vehicle", QKeySequence(QStringLiteral("Ctrl+N"))},
            {"mnuServiceVehicle", "&Service Vehicle", QKeySequence(QStringLiteral("Ctrl+S"))},
            {"mnuRepairHistory", "View Repair &History", QKeySequence(QStringLiteral("Ctrl+H"))},
            {"mnuCreateReport", "Create &Report", QKeySequence(QStringLiteral("Ctrl+R"))},
            {"mnuVRHelp", "Vantorel &Help", QKeySequence(Qt::Key_F1)},
            {"mnuAbout", "&About Vantorel", QKeySequence()},
        };
        for (const auto& [name, caption, keys] : items) {
            auto* item = child<QAction>(main, name);
            QCOMPARE(item->text(), QString::fromLatin1(caption));
            QCOMPARE(item->shortcut(), keys);
        }
        QStringList menuCaptions;
        for (QAction* menu : main->menuBar()->actions())
            menuCaptions << menu->text();
        QCOMPARE(menuCaptions, (QStringList{"&Control", "&Manager", "&Servicing", "&Reports", "&Help"}));
        QVERIFY(child<QMenu>(main, "mnuControl")->actions().at(1)->isSeparator());
    }

    void eachChildWindowOpensOnce()
    {
        TestStore store;
        store.addClearTextUser(QStringLiteral("10000001"), QStringLiteral("pw"), true);
        frmMain* main = loginAs(QStringLiteral("10000001"), QStringLiteral("pw"));
        QVERIFY(main);
        for (const char* item : {"mnuAddUser", "mnuAddVehicle", "mnuRepairHistory", "mnuCreateReport",
                                 "mnuVRHelp"}) {
            child<QAction>(main, item)->trigger();
            child<QAction>(main, item)->trigger();
        }
        QCOMPARE(childWindowNames(main),
                 (QStringList{"frmAddUser", "frmAddVehicle", "frmRepairHistory", "frmReportGen", "frmHelp"}));
        child<QAction>(main, "mnuAddUser")->trigger();
        QMdiSubWindow* addUser = main->findChild<QMdiArea*>()->activeSubWindow();
        QCOMPARE(addUser->widget()->objectName(), QStringLiteral("frmAddUser"));

        // Closed and asked for again before the closed one is deleted: a fresh window opens.
        addUser->close();
        child<QAction>(main, "mnuAddUser")->trigger();
        QMdiSubWindow* reopened = main->findChild<QMdiArea*>()->activeSubWindow();
        QVERIFY(reopened != addUser);
        QVERIFY(reopened->isVisible());
    }

    void helpWindowKeepsItsPlaceAndForgetsTypingWhenClosed()
    {
        TestStore store;
        store.addClearTextUser(QStringLiteral("20000001"), QStringLiteral("pw"), false);
        frmMain* main = loginAs(QStringLiteral("20000001"), QStringLiteral("pw"));
        QVERIFY(main);
        QVERIFY(QTest::qWaitForWindowActive(main));
        QTest::keyClick(main, Qt::Key_F1);
        auto* help = main->findChild<QWidget*>(QStringLiteral("frmHelp"));
        QVERIFY(help);
        QCOMPARE(help->windowTitle(), QStringLiteral("Vantorel Help"));
        auto* text = child<QPlainTextEdit>(help, "Text1");
        QVERIFY(!text->isReadOnly());
        const QString original = text->toPlainText();
        QVERIFY(original.startsWith(QStringLiteral("Logon\n1. ")));
        QVERIFY(original.contains(QStringLiteral("\nReportGenerator\n")));

        QScrollBar* scroll = text->verticalScrollBar();
        scroll->setValue(scroll->maximum() / 2);
        const int place = scroll->value();
        QVERIFY(place > 0);
        text->moveCursor(QTextCursor::Start);
        text->insertPlainText(QStringLiteral("my notes "));
        scroll->setValue(place);
        child<QAction>(main, "mnuVRHelp")->trigger();
        QCOMPARE(main->findChild<QWidget*>(QStringLiteral("frmHelp")), help);
        QCOMPARE(scroll->value(), place);

        main->findChild<QMdiArea*>()->activeSubWindow()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        child<QAction>(main, "mnuVRHelp")->trigger();
        auto* reopened = main->findChild<QWidget*>(QStringLiteral("frmHelp"));
        QCOMPARE(child<QPlainTextEdit>(reopened, "Text1")->toPlainText(), original);
    }

    void helpTextHasEightSectionsWithCrLfLines()
    {
        const QString text = frmHelp::helpText();
        QVERIFY(text.size() > 5000 && text.size() < 6200);
        QCOMPARE(text.count(QStringLiteral("\r\n")), text.count(QLatin1Char('\n')));
        QStringList titles;
        const QStringList sections = text.split(QStringLiteral("\r\n\r\n"));
        for (const QString& section : sections)
            titles << section.section(QStringLiteral("\r\n"), 0, 0);
        QCOMPARE(titles, (QStringList{"Logon", "Main", "AddUser", "AddVehicle", "Servicing",
                                      "VehicleHistory", "ReportGenerator", "About"}));
        QVERIFY(sections.at(5).contains(QStringLiteral("\r\n1 ")));
        QVERIFY(sections.at(4).contains(QStringLiteral("\r\n1. ")));
    }

    void aboutClosesOnEnterButNotOnEscape()
    {
        frmAbout about;
        about.show();
        QVERIFY(QTest::qWaitForWindowActive(&about));
        QCOMPARE(about.windowTitle(), QStringLiteral("About Vantorel"));
        QCOMPARE(child<QLabel>(&about, "Label3")->text(), QStringLiteral("Version: 1.0.0.177"));
        QCOMPARE(child<QLabel>(&about, "Image1")->pixmap().size(), QSize(352, 155));
        QCOMPARE(child<QPushButton>(&about, "cmdOK")->text(), QStringLiteral("&OK"));

        QTest::keyClick(&about, Qt::Key_Escape);
        QVERIFY(about.isVisible());
        QTest::keyClick(&about, Qt::Key_Return);
        QVERIFY(!about.isVisible());
        QCOMPARE(about.result(), int(QDialog::Accepted));
    }

    void setupToolMakesAUsableFileAndRefusesToOverwrite()
    {
        TestStore scratch;
        QVERIFY(QFile::remove(scratch.databasePath()));
        const QString setup = qEnvironmentVariable("VANTOREL_SETUP",
                                                    QCoreApplication::applicationDirPath() + "/../vantorel-setup");

        QProcess tool;
        tool.setWorkingDirectory(scratch.folder());
        tool.start(setup, {QStringLiteral("--manager-id"), QStringLiteral("99000001"), QStringLiteral("--password-stdin")});
        tool.write("first one\n");
        tool.closeWriteChannel();
        QVERIFY(tool.waitForFinished(30000));
        QCOMPARE(tool.exitCode(), 0);
        const QList<QStringList> people = scratch.rows(QStringLiteral("select IDNumber, Password, Manager from Person"));
        QCOMPARE(people.size(), 1);
        QCOMPARE(people[0][0], QStringLiteral("99000001"));
        QVERIFY(people[0][1].startsWith(QStringLiteral("$argon2id$")));
        QCOMPARE(people[0][2], QStringLiteral("1"));
        QVERIFY(loginAs(QStringLiteral("99000001"), QStringLiteral("first one")));

        tool.start(setup, {QStringLiteral("--demo")});
        QVERIFY(tool.waitForFinished(30000));
        QVERIFY(tool.exitCode() != 0);
        QVERIFY(tool.readAllStandardError().contains("exists already"));
        QCOMPARE(scratch.count(QStringLiteral("Person")), 1);

        tool.start(setup, {QStringLiteral("--demo"), QStringLiteral("--force")});
        QVERIFY(tool.waitForFinished(30000));
        QCOMPARE(tool.exitCode(), 0);
        QVERIFY(scratch.count(QStringLiteral("Vehicle")) > 20);
        QVERIFY(scratch.count(QStringLiteral("Servicing")) > 20);

        tool.start(setup, {QStringLiteral("--force")});
        QVERIFY(tool.waitForFinished(30000));
        QVERIFY(tool.exitCode() != 0);
        QVERIFY(tool.readAllStandardError().contains("nobody could log in"));
    }
};

QTEST_MAIN(TestShell)
#include "test_shell.moc"
