// Log-in, the main frame, its menus and the keys of the windows opened from them.

#include "TestSupport.h"

#include "shell/frmLogin.h"
#include "shell/frmMain.h"

#include <QAbstractButton>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QSignalSpy>
#include <QMenu>

using namespace vantorel;
using namespace vantorel::test;
using namespace Qt::Literals::StringLiterals;

namespace {

QStringList visibleMenus(QWidget* frame)
{
    QStringList names;
    for (QAction* action : frame->findChild<QMenuBar*>()->actions()) {
        if (action->isVisible())
            names << action->objectName();
    }
    return names;
}

QString toText(const QRect& rect)
{
    return QStringLiteral("%1x%2+%3+%4").arg(rect.width()).arg(rect.height()).arg(rect.x()).arg(rect.y());
}

QStringList childWindowNames(QWidget* frame)
{
    QStringList names;
    for (QMdiSubWindow* sub : child<QMdiArea>(frame, "mdiWorkspace")->subWindowList())
        names << sub->widget()->objectName();
    return names;
}

} // namespace

class TestShell : public QObject {
    Q_OBJECT

private slots:
    void init() { QApplication::setQuitOnLastWindowClosed(false); }
    void cleanup() { closeAllWindows(); }

    // The role and the password come from the first Person record of the typed ID, compared exactly.
    void logInTellsWhichEntryIsWrongOrOpensTheRolesFrame_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("outcome"); // the message, or the role of the frame
        const QString quoted = QStringLiteral("it's \"quoted\"");
        QTest::newRow("manager") << "10000001" << "boss" << "manager";
        QTest::newRow("mechanic") << "20000001" << "Secret pw" << "mechanic";
        QTest::newRow("mechanic whose ID starts with M") << "M1234567" << "pw" << "mechanic";
        QTest::newRow("manager whose ID does not") << "1234567" << "pw" << "manager";
        QTest::newRow("unknown ID") << "20000009" << "Secret pw" << "Invalid ID Number.";
        for (const char* id : {" 20000001", "20000001 ", "", "x' or '1'='1", "2000000_", "%", "m1234567"})
            QTest::addRow("ID \"%s\"", id) << id << "Secret pw" << "Invalid ID Number.";
        for (const char* wrong : {"secret pw", "Secret pw ", " Secret pw", "", "' or ''='"})
            QTest::addRow("password \"%s\"", wrong) << "20000001" << wrong << "Invalid Password.";
        QTest::newRow("no password stored") << "30000002" << "" << "Invalid Password.";
        QTest::newRow("empty password stored") << "30000003" << "" << "mechanic";
        QTest::newRow("duplicate ID, second record") << "40000001" << "second" << "Invalid Password.";
        QTest::newRow("duplicate ID, first record") << "40000001" << "first" << "mechanic";
        QTest::newRow("quotes in the password") << "50000001" << quoted << "mechanic";
        QTest::newRow("dollar signs in a clear password") << "50000002" << "pay$day$now" << "mechanic";
    }

    void logInTellsWhichEntryIsWrongOrOpensTheRolesFrame()
    {
        QFETCH(QString, id);
        QFETCH(QString, password);
        QFETCH(QString, outcome);
        TestStore store;
        const QList<std::tuple<const char*, std::optional<QString>, bool>> people = {
            {"10000001", "boss", true}, {"20000001", "Secret pw", false}, {"M1234567", "pw", false},
            {"1234567", "pw", true}, {"30000002", std::nullopt, true}, {"30000003", "", false},
            {"40000001", "first", false}, {"40000001", "second", true}, {"50000001", "it's \"quoted\"", false},
            {"50000002", "pay$day$now", false}};
        for (const auto& [person, stored, manager] : people)
            store.addClearTextUser(QString::fromLatin1(person), stored, manager);
        MessageWatcher messages;
        QWidget* frame = logIn(id, password);
        if (outcome.endsWith(u'.')) {
            frmLogin* login = visibleWindow<frmLogin>();
            QCOMPARE(messages.takeOnly(), outcome);
            QVERIFY(!frame && login);
            QCOMPARE(login->focusWidget(), box(login, outcome.contains("ID") ? "txtEmpID" : "txtPassword"));
            QCOMPARE(texts(login, {"txtEmpID", "txtPassword"}), QStringList({id, password}));
            return;
        }
        QVERIFY(frame && messages.texts.isEmpty());
        QCOMPARE(frame->windowTitle(), QStringLiteral("Vantorel - User %1 logged in.").arg(id));
        const bool manager = outcome == QLatin1String("manager");
        QCOMPARE(visibleMenus(frame),
                 QStringList({"mnuControl", manager ? "mnuManager" : "mnuServicing", "mnuReports", "mnuHelp"}));
        // The other role's items and shortcuts stay out of reach.
        QVERIFY(!child<QAction>(frame, manager ? "mnuServiceVehicle" : "mnuAddUser")->isEnabled());
        for (const char* keys : {"Ctrl+A", "Ctrl+N", "Ctrl+S"})
            press(frame, QKeySequence(keys));
        QCOMPARE(childWindowNames(frame).size(), manager ? 2 : 1);
    }

    // Each window opened from the frame's menus, with the keys a user presses in a text box there:
    // its access keys press its own buttons ahead of the menu bar, Enter and Esc its default and
    // cancel buttons, and the frame's shortcuts act for the role that has them and do nothing for
    // the other.
    void keysOfEachWindowInsideTheFrame_data()
    {
        QTest::addColumn<bool>("manager");
        QTest::addColumn<QString>("opensWith");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("textBox");
        QTest::addColumn<QStringList>("buttonKeys"); // "keys=button"
        QTest::addColumn<QStringList>("otherRoleKeys");
        QTest::addColumn<QString>("ownKey");
        QTest::addColumn<QString>("ownKeyOpens");

        QTest::addColumn<QStringList>("tabOrder");
        const QStringList managerOnly = {"Ctrl+A", "Ctrl+N"};
        QTest::newRow("servicing") << false << "Ctrl+S" << "frmServicing" << "txtLocation"
                                   << QStringList{"Alt+C=cmdClear", "Alt+R=cmdViewHistory", "Alt+M=cmdComplete",
                                                  "Alt+S=cmdStart", "Esc=cmdClear"}
                                   << managerOnly << "Ctrl+U" << "frmLogin"
                                   << QStringList{"txtVehicleNumber", "txtLocation", "cboPartsList", "lstPartsUsed",
                                                  "txtComments", "cmdStart", "cmdComplete", "cmdViewHistory", "cmdClear"};
        QTest::newRow("repair history") << false << "Ctrl+H" << "frmRepairHistory" << "txtVehicleNumber"
                                        << QStringList{"Alt+C=cmdClear", "Alt+H=cmdShowHistory", "Return=cmdShowHistory",
                                                       "Enter=cmdShowHistory", "Return@cmdClear=cmdClear", "Esc=cmdClear"}
                                        << managerOnly << "Ctrl+R" << "frmReportGen"
                                        << QStringList{"txtVehicleNumber", "cmdShowHistory", "cmdClear", "lstRepairDates"};
        QTest::newRow("add vehicle") << true << "Ctrl+N" << "frmAddVehicle" << "txtMake"
                                     << QStringList{"Alt+S=cmdSubmit", "Alt+C=cmdClear", "Return=cmdSubmit", "Enter=cmdSubmit",
                                                    "Return@cmdClear=cmdClear", "Esc=cmdClear"}
                                     << QStringList{"Ctrl+S"} << "Ctrl+A" << "frmAddUser"
                                     << QStringList{"txtVehicleNumber", "txtContractNumber", "txtLicensePlate", "txtMake", "txtModel",
                                                    "txtColor", "txtYear", "txtDatePurchased", "cmdSubmit", "cmdClear"};
        QTest::newRow("add user") << true << "Ctrl+A" << "frmAddUser" << "txtLName"
                                  << QStringList{"Alt+S=cmdSumbit", "Alt+C=cmdClear", "Return=cmdSumbit", "Enter=cmdSumbit",
                                                 "Return@cmdClear=cmdClear", "Esc=cmdClear"}
                                  << QStringList{"Ctrl+S"} << "Ctrl+U" << "frmLogin"
                                  << QStringList{"txtIDNumber", "txtLName", "txtFName", "txtAddress", "txtTelephone",
                                                 "txtPassword", "chkManager", "cmdSumbit", "cmdClear"};
        QTest::newRow("report generator") << true << "Ctrl+R" << "frmReportGen" << "txtCriteria1"
                                          << QStringList{"Alt+R=cmdReset", "Alt+G=cmdGenerate", "Return=cmdGenerate",
                                                         "Enter=cmdGenerate", "Return@cmdReset=cmdReset", "Esc=cmdReset"}
                                          << QStringList{"Ctrl+S"} << "Ctrl+H" << "frmRepairHistory"
                                          << QStringList{"cboCriteria1", "txtCriteria1", "chkCriteria2", "cmdGenerate", "cmdReset"};
    }

    void keysOfEachWindowInsideTheFrame()
    {
        QFETCH(bool, manager);
        QFETCH(QString, window);
        QFETCH(QString, opensWith);
        TestStore store;
        MessageWatcher messages;
        QWidget* frame = logInNew(store, manager);
        QWidget* opened = openWindow(frame, QKeySequence(opensWith));
        QVERIFY(opened);
        QCOMPARE(opened->objectName(), window);

        const auto expectClick = [&](const QString& buttonName, const QKeySequence& keys) {
            QSignalSpy clicks(button(opened, buttonName), &QAbstractButton::clicked);
            press(opened, keys);
            // An access key clicks after the button's short pressed-down look.
            QTRY_COMPARE_WITH_TIMEOUT(clicks.count(), 1, 1000);
            QVERIFY2(!QApplication::activePopupWidget(), "a menu opened");
        };
        // A disabled or hidden button takes no key: its access key goes on to the frame's menu of
        // that letter, where the frame shows one, as any key no control of the window takes.
        const auto expectNoClick = [&](const QString& buttonName, const QKeySequence& keys) {
            QSignalSpy clicks(button(opened, buttonName), &QAbstractButton::clicked);
            press(opened, keys);
            QTest::qWait(300);
            QCOMPARE(clicks.count(), 0);
            QString menuOfLetter;
            for (const QAction* menu : frame->findChild<QMenuBar*>()->actions()) {
                if (menu->isVisible() && QKeySequence::mnemonic(menu->text()) == keys)
                    menuOfLetter = menu->text();
            }
            auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QCOMPARE(open ? open->title() : QString(), menuOfLetter);
            if (open)
                open->close();
        };
        QFETCH(QString, textBox);
        QFETCH(QStringList, buttonKeys);
        for (const QString& keys : buttonKeys) {
            // "keys=button", or "keys@focused=button" for a key pressed with another control focused.
            const QString pressed = keys.section(u'=', 0, 0);
            const QString name = keys.section(u'=', 1);
            const QKeySequence sequence(pressed.section(u'@', 0, 0));
            const auto focus = [&] {
                box(opened, textBox)->setFocus();
                if (pressed.contains(u'@'))
                    child<QWidget>(opened, pressed.section(u'@', 1))->setFocus();
            };
            focus();
            expectClick(name, sequence);
            for (const bool hidden : {false, true}) {
                hidden ? button(opened, name)->hide() : button(opened, name)->setEnabled(false);
                focus();
                expectNoClick(name, sequence);
                hidden ? button(opened, name)->show() : button(opened, name)->setEnabled(true);
            }
        }
        QFETCH(QStringList, tabOrder);
        QCOMPARE(test::tabOrder(child<QWidget>(opened, tabOrder.first()), int(tabOrder.size()) + 1),
                 (tabOrder + tabOrder.mid(0, 1)).join(u", "_s));

        QLineEdit* typing = box(opened, textBox);
        typing->setFocus();
        QTest::keyClicks(typing, QStringLiteral("kept as typed"));
        QFETCH(QStringList, otherRoleKeys);
        for (const QString& keys : otherRoleKeys) {
            typing->deselect();
            press(typing, QKeySequence(keys));
            QCOMPARE(typing->text(), QStringLiteral("kept as typed"));
            QCOMPARE(activeChild(frame), opened);
            QVERIFY2(typing->selectedText().isEmpty(), "the box took the keys (Ctrl+A selects all there)");
        }
        QFETCH(QString, ownKey);
        QFETCH(QString, ownKeyOpens);
        QPointer<QWidget> frameAlive = frame;
        press(typing, QKeySequence(ownKey));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (ownKeyOpens == QLatin1String("frmLogin")) {
            QVERIFY(!frameAlive);
            QVERIFY(visibleWindow<frmLogin>());
        } else {
            QCOMPARE(activeChild(frame)->objectName(), ownKeyOpens);
        }
        QCOMPARE(messages.texts.filter(QStringLiteral("Vantorel.mdb")), QStringList());
    }

    // Every window opened from the frame at its starting size, in the usual text size and in large
    // text (and, run again by the test list, at larger scales of the whole screen): no two controls
    // overlap, every caption and the title show whole, and the frame's starting size holds it.
    void windowsOpenAtASizeThatShowsEveryControl_data()
    {
        QTest::addColumn<bool>("manager");
        QTest::addColumn<QString>("opensWith");
        QTest::addColumn<int>("pointSize"); // of the application's font; 0 for the usual
        const QList<std::tuple<const char*, bool, const char*>> windows = {{"frmAddUser", true, "Ctrl+A"},
            {"frmAddVehicle", true, "Ctrl+N"}, {"frmServicing", false, "Ctrl+S"},
            {"frmRepairHistory", false, "Ctrl+H"}, {"frmReportGen", false, "Ctrl+R"}, {"frmHelp", false, "F1"},
            {"frmReportResults", false, "Ctrl+R,All Vehicles,Alt+G"}};
        for (int pointSize : {0, 14}) {
            for (const auto& [window, manager, opensWith] : windows)
                QTest::addRow("%s %d", window, pointSize) << manager << opensWith << pointSize;
        }
    }

    void windowsOpenAtASizeThatShowsEveryControl()
    {
        QFETCH(bool, manager);
        QFETCH(QString, opensWith);
        QFETCH(int, pointSize);
        const QFont usualFont = QApplication::font();
        const auto restoreFont = qScopeGuard([&] { QApplication::setFont(usualFont); });
        if (pointSize) {
            QFont large = usualFont;
            large.setPointSize(pointSize);
            QApplication::setFont(large);
        }
        TestStore store;
        store.addVehicle(QStringLiteral("1001"));
        MessageWatcher messages;
        QWidget* frame = logInNew(store, manager);
        QWidget* window = openBySteps(frame, opensWith, QString::fromLatin1(QTest::currentDataTag()).section(u' ', 0, 0));
        auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget());
        const QRect workspace = child<QMdiArea>(frame, "mdiWorkspace")->viewport()->rect();
        QVERIFY2(workspace.contains(sub->geometry()),
                 qPrintable(QStringLiteral("%1 in %2").arg(toText(sub->geometry()), toText(workspace))));
        QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
        titleFont.setBold(true);
        const QFontMetrics title(titleFont);
        // The title shares its bar with the window's icon and three buttons.
        QVERIFY2(title.horizontalAdvance(sub->windowTitle()) + 4 * title.height() <= sub->width(), "the title is cut");

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

    // Each child window opens once; Change User and Exit close them all with the frame. The log-in
    // window Change User opens is empty, and Esc there leaves.
    void eachChildWindowOpensOnceAndGoesWithTheFrame()
    {
        TestStore store;
        QPointer<QWidget> frame = logInNew(store, true);
        for (int twice = 0; twice < 2; ++twice) {
            for (const char* keys : {"Ctrl+A", "Ctrl+N", "Ctrl+H", "Ctrl+R", "F1"})
                press(frame, QKeySequence(keys));
        }
        QCOMPARE(childWindowNames(frame),
                 (QStringList{"frmAddUser", "frmAddVehicle", "frmRepairHistory", "frmReportGen", "frmHelp"}));
        // A minimised window comes back by its command, at its size, in front, as it was left.
        QWidget* vehicle = openWindow(frame, QKeySequence(QStringLiteral("Ctrl+N")));
        box(vehicle, "txtMake")->setText(QStringLiteral("Ford"));
        auto* vehicleFrame = qobject_cast<QMdiSubWindow*>(vehicle->parentWidget());
        const QRect place = vehicleFrame->geometry();
        vehicleFrame->showMinimized();
        openWindow(frame, QKeySequence(QStringLiteral("F1"))); // another window in front meanwhile
        QCOMPARE(openWindow(frame, QKeySequence(QStringLiteral("Ctrl+N"))), vehicle);
        QVERIFY(!vehicleFrame->isMinimized());
        QCOMPARE(vehicleFrame->geometry(), place);
        QCOMPARE(box(vehicle, "txtMake")->text(), QStringLiteral("Ford"));

        QWidget* window = openWindow(frame, QKeySequence(QStringLiteral("Ctrl+A")));
        auto* addUser = qobject_cast<QMdiSubWindow*>(window->parentWidget());
        QVERIFY(addUser);

        // Closed and asked for again before the closed one is deleted: a fresh window opens.
        addUser->close();
        QPointer<QWidget> reopened = openWindow(frame, QKeySequence(QStringLiteral("Ctrl+A")));
        QVERIFY(reopened && reopened->parentWidget() != addUser && reopened->isVisible());

        press(frame, QKeySequence(QStringLiteral("Ctrl+U")));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QPointer<frmLogin> login = visibleWindow<frmLogin>();
        QVERIFY(!frame && !reopened && login);
        const QStringList entries = {"txtEmpID", "txtPassword"};
        QCOMPARE(texts(login, entries), QStringList(2, QString()));
        QCOMPARE(login->focusWidget(), box(login, "txtEmpID"));
        QCOMPARE(box(login, "txtPassword")->echoMode(), QLineEdit::Password);
        QCOMPARE(tabOrder(box(login, "txtEmpID"), 6), u"txtEmpID, txtPassword, cmdSubmit, cmdClear, cmdExit, txtEmpID"_s);
        fill(login, entries, {"abc", "def"});
        click(login, "cmdClear");
        QCOMPARE(texts(login, entries), QStringList(2, QString()));
        fill(login, entries, {"10000001", "pw"});
        press(login, Qt::Key_Return);
        frame = visibleWindow<frmMain>();
        QVERIFY(frame && !(login && login->isVisible()) && childWindowNames(frame).isEmpty());
        press(frame, QKeySequence(QStringLiteral("Ctrl+Q")));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!frame && !visibleWindow<frmLogin>());

        login = new frmLogin;
        showActive(*login);
        press(login, Qt::Key_Escape);
        QTest::qWait(1);
        QVERIFY(!login || !login->isVisible());
    }
};

QTEST_MAIN(TestShell)
#include "test_shell.moc"
