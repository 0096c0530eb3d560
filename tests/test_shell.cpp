// Log-in, the main frame, its menus and the windows opened from them: their keys, their sizes,
// and what a screen reader finds in them through Qt's accessibility interfaces.

#include "TestSupport.h"

#include "common/ValueLabel.h"
#include "data/Database.h"
#include "shell/frmLogin.h"
#include "shell/frmMain.h"

#include <QAbstractButton>
#include <QAccessible>
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

// The windows opened from the frame: whether a manager's, the steps that open them, and for a
// window that shows a vehicle the key that retrieves the number typed.
struct FrameWindow {
    const char* name;
    bool manager;
    const char* steps;
    const char* retrieveWith = nullptr;
};

const QList<FrameWindow> kFrameWindows = {{"frmAddUser", true, "Ctrl+A"}, {"frmAddVehicle", true, "Ctrl+N"},
    {"frmServicing", false, "Ctrl+S", "Alt+R"}, {"frmRepairHistory", false, "Ctrl+H", "Return"},
    {"frmReportGen", false, "Ctrl+R"}, {"frmHelp", false, "F1"}, {"frmReportResults", false, "Ctrl+R,All Vehicles,Alt+G"}};

// A make too long for its display, which shows it cut with "…".
const QString kLongMake = QStringLiteral("Mercedes-Benz Sprinter Crew Cab High Roof Extended");
// A vehicle number longer than a report list shows of an entry.
const QString kLongNumber = QStringLiteral("1003") + QString(600, u'3');

// Rows of the windows opened from the frame, by the window's name, in each application font size.
void frameWindowRows(const QList<int>& pointSizes)
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("pointSize"); // of the application's font; 0 for the usual
    for (int pointSize : pointSizes) {
        for (const FrameWindow& window : kFrameWindows)
            QTest::addRow("%s %d", window.name, pointSize) << QString::fromLatin1(window.name) << pointSize;
    }
}

const FrameWindow& frameWindow(const QString& name)
{
    return *std::ranges::find_if(kFrameWindows, [&](const FrameWindow& window) { return name == QLatin1String(window.name); });
}

// Logs a user of its role in and opens the window from the frame; where it shows a vehicle, with
// `retrieved` it shows vehicle 1001, of the long make.
QWidget* openFromTheFrame(TestStore& store, const QString& name, bool retrieved = true)
{
    const FrameWindow& window = frameWindow(name);
    data::Vehicle vehicle = sampleVehicle(QStringLiteral("1001"));
    vehicle.make = kLongMake;
    data::Database().append(vehicle);
    QWidget* opened = openBySteps(logInNew(store, window.manager), QString::fromLatin1(window.steps), name);
    if (window.retrieveWith && retrieved) {
        box(opened, "txtVehicleNumber")->setFocus();
        QTest::keyClicks(box(opened, "txtVehicleNumber"), QStringLiteral("1001"));
        press(opened, QKeySequence(QString::fromLatin1(window.retrieveWith)));
        // An access key clicks after a moment.
        if (!QTest::qWaitFor([&] { return label(opened, "lblMake")->text() == kLongMake; }))
            qFatal("%s shows no vehicle", qPrintable(name));
    }
    return opened;
}

QAccessibleInterface* accessible(QObject* object)
{
    return QAccessible::queryAccessibleInterface(object);
}

// The controls Tab can reach once enabled, the text part of a combo box too: a screen reader
// meets it as a control of its own.
QList<QWidget*> reachableControls(QWidget* window)
{
    QList<QWidget*> controls;
    for (QWidget* control : window->findChildren<QWidget*>()) {
        if ((control->focusPolicy() & Qt::TabFocus) && control->isVisibleTo(window)
            && !control->objectName().startsWith(QLatin1String("qt_")))
            controls << control;
    }
    return controls;
}

// The caption whose buddy `control` is, if any.
QLabel* captionOf(QWidget* window, const QWidget* control)
{
    for (QLabel* caption : window->findChildren<QLabel*>()) {
        if (caption->buddy() == control)
            return caption;
    }
    return nullptr;
}

} // namespace

class TestShell : public test::Suite {
    Q_OBJECT

private slots:
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
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("textBox");
        QTest::addColumn<QStringList>("buttonKeys"); // "keys=button"
        QTest::addColumn<QString>("ownKey");
        QTest::addColumn<QString>("ownKeyOpens");
        QTest::addColumn<QStringList>("tabOrder");
        QTest::newRow("servicing") << "frmServicing" << "txtLocation"
                                   << QStringList{"Alt+C=cmdClear", "Alt+R=cmdViewHistory", "Alt+M=cmdComplete",
                                                  "Alt+S=cmdStart", "Esc=cmdClear"}
                                   << "Ctrl+U" << "frmLogin"
                                   << QStringList{"txtVehicleNumber", "txtLocation", "cboPartsList", "lstPartsUsed",
                                                  "txtComments", "cmdStart", "cmdComplete", "cmdViewHistory", "cmdClear"};
        QTest::newRow("repair history") << "frmRepairHistory" << "txtVehicleNumber"
                                        << QStringList{"Alt+C=cmdClear", "Alt+H=cmdShowHistory", "Return=cmdShowHistory",
                                                       "Enter=cmdShowHistory", "Return@cmdClear=cmdClear", "Esc=cmdClear"}
                                        << "Ctrl+R" << "frmReportGen"
                                        << QStringList{"txtVehicleNumber", "cmdShowHistory", "cmdClear", "lstRepairDates"};
        QTest::newRow("add vehicle") << "frmAddVehicle" << "txtMake"
                                     << QStringList{"Alt+S=cmdSubmit", "Alt+C=cmdClear", "Return=cmdSubmit", "Enter=cmdSubmit",
                                                    "Return@cmdClear=cmdClear", "Esc=cmdClear"}
                                     << "Ctrl+A" << "frmAddUser"
                                     << QStringList{"txtVehicleNumber", "txtContractNumber", "txtLicensePlate", "txtMake", "txtModel",
                                                    "txtColor", "txtYear", "txtDatePurchased", "cmdSubmit", "cmdClear"};
        QTest::newRow("add user") << "frmAddUser" << "txtLName"
                                  << QStringList{"Alt+S=cmdSumbit", "Alt+C=cmdClear", "Return=cmdSumbit", "Enter=cmdSumbit",
                                                 "Return@cmdClear=cmdClear", "Esc=cmdClear"}
                                  << "Ctrl+U" << "frmLogin"
                                  << QStringList{"txtIDNumber", "txtLName", "txtFName", "txtAddress", "txtTelephone",
                                                 "txtPassword", "chkManager", "cmdSumbit", "cmdClear"};
        QTest::newRow("report generator") << "frmReportGen" << "txtCriteria1"
                                          << QStringList{"Alt+R=cmdReset", "Alt+G=cmdGenerate", "Return=cmdGenerate",
                                                         "Enter=cmdGenerate", "Return@cmdReset=cmdReset", "Esc=cmdReset"}
                                          << "Ctrl+H" << "frmRepairHistory"
                                          << QStringList{"cboCriteria1", "txtCriteria1", "chkCriteria2", "cmdGenerate", "cmdReset"};
    }

    void keysOfEachWindowInsideTheFrame()
    {
        QFETCH(QString, window);
        TestStore store;
        MessageWatcher messages;
        QWidget* opened = openFromTheFrame(store, window, false);
        QWidget* frame = opened->window();

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
        const QStringList otherRoleKeys = frameWindow(window).manager ? QStringList{"Ctrl+S"} : QStringList{"Ctrl+A", "Ctrl+N"};
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
    void windowsOpenAtASizeThatShowsEveryControl_data() { frameWindowRows({0, 14}); }

    void windowsOpenAtASizeThatShowsEveryControl()
    {
        QFETCH(QString, name);
        QFETCH(int, pointSize);
        const QFont usualFont = QApplication::font();
        const auto restoreFont = qScopeGuard([&] { QApplication::setFont(usualFont); });
        if (pointSize) {
            QFont large = usualFont;
            large.setPointSize(pointSize);
            QApplication::setFont(large);
        }
        TestStore store;
        MessageWatcher messages;
        QWidget* window = openFromTheFrame(store, name);
        QWidget* frame = window->window();
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

    // Every window: every control a user can reach has a name; a caption beside a control is its
    // label, and the control is named by it; a button tells its access key; every value display
    // reads its caption and its whole value, also where it shows it cut.
    void everyControlSpeaks_data()
    {
        frameWindowRows({0});
        QTest::newRow("frmLogin") << u"frmLogin"_s << 0;
    }

    void everyControlSpeaks()
    {
        QFETCH(QString, name);
        TestStore store;
        MessageWatcher messages;
        QWidget* window = nullptr;
        if (name == QLatin1String("frmLogin")) {
            window = new frmLogin;
            showActive(*window);
        } else {
            window = openFromTheFrame(store, name);
        }
        const QList<QWidget*> controls = reachableControls(window);
        QVERIFY(!controls.isEmpty());
        for (QWidget* control : controls) {
            QAccessibleInterface* speaks = accessible(control);
            const QString controlName = speaks->text(QAccessible::Name);
            QVERIFY2(!controlName.isEmpty(), qPrintable(control->objectName() + " has no name"));
            if (QLabel* caption = captionOf(window, control)) {
                const auto labels = speaks->relations(QAccessible::Label);
                QVERIFY2(std::ranges::any_of(labels, [&](const auto& label) { return label.first->text(QAccessible::Name) == caption->text(); }),
                         qPrintable(control->objectName() + " has no label"));
                // On this desktop a combo box is named by its text, its caption by the label relation.
                QVERIFY2(controlName.contains(caption->text()) || speaks->role() == QAccessible::ComboBox,
                         qPrintable(control->objectName() + " is named " + controlName));
            }
            if (auto* pressable = qobject_cast<QAbstractButton*>(control); pressable && pressable->isEnabled()) {
                const QKeySequence key = QKeySequence::mnemonic(pressable->text());
                QAccessibleActionInterface* actions = speaks->actionInterface();
                QVERIFY2(actions && !actions->actionNames().isEmpty(), qPrintable(control->objectName()));
                if (!key.isEmpty())
                    QCOMPARE(actions->keyBindingsForAction(actions->actionNames().first()), QStringList{key.toString()});
            }
        }
        // Every caption names what it stands beside.
        for (QLabel* caption : window->findChildren<QLabel*>()) {
            if (caption->objectName().startsWith(QLatin1String("Label")) || caption->objectName().startsWith(QLatin1String("lblTitle")))
                QVERIFY2(caption->buddy(), qPrintable(caption->objectName() + " labels nothing"));
        }
        for (QWidget* display : window->findChildren<QWidget*>()) {
            if (!qobject_cast<ValueLabel*>(display) && !qobject_cast<ValueView*>(display))
                continue;
            QAccessibleInterface* speaks = accessible(display);
            const QString caption = captionOf(window, display)->text();
            const QString value = texts(window, {display->objectName()}).first();
            QCOMPARE(speaks->role(), QAccessible::StaticText);
            QCOMPARE(speaks->text(QAccessible::Name), value.isEmpty() ? caption : caption + QStringLiteral(": ") + value);
        }
        QCOMPARE(messages.texts, QStringList());
    }

    // A list is named by its caption, counts and reads its entries (whole where the list cuts
    // them), follows the current one as the keys move it, and chooses the one a screen reader
    // asks for.
    void listsOfferTheirEntries_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("report column") << u"frmReportResults"_s << u"lstField1"_s << u"Vehicle Number"_s
                                       << QStringList{u"1002"_s, kLongNumber, u"1001"_s};
        QTest::newRow("repair dates") << u"frmRepairHistory"_s << u"lstRepairDates"_s << u"Repair Dates"_s
                                      << QStringList{u"1/1/2001"_s, u"1/1/2002"_s, u"1/1/2003"_s};
    }

    void listsOfferTheirEntries()
    {
        QFETCH(QString, name);
        QFETCH(QString, list);
        QFETCH(QStringList, entries);
        TestStore store;
        for (const QString& number : {u"1002"_s, kLongNumber})
            store.addVehicle(number);
        for (const char* date : {"1/1/2001", "1/1/2002", "1/1/2003"})
            store.add(data::Job{"1001", "20000001", "Bay", date, "9:00:00 AM", "9:30:00 AM", "oil"});
        auto* view = child<QAbstractItemView>(openFromTheFrame(store, name), list);
        QAccessibleInterface* speaks = accessible(view);
        QCOMPARE(speaks->role(), QAccessible::List);
        QTEST(speaks->text(QAccessible::Name), "caption");
        QAccessibleTableInterface* table = speaks->tableInterface();
        QVERIFY(table);
        QCOMPARE(speaks->childCount(), 3);
        QCOMPARE(table->rowCount(), 3);
        QCOMPARE(table->columnCount(), 1);
        for (int row = 0; row < 3; ++row) {
            QAccessibleInterface* entry = table->cellAt(row, 0);
            QVERIFY(entry);
            QCOMPARE(entry->text(QAccessible::Name), entries[row]);
            QCOMPARE(entry->role(), QAccessible::ListItem);
            QCOMPARE(speaks->indexOfChild(entry), row);
            QCOMPARE(entry->tableCellInterface()->rowIndex(), row);
        }
        QVERIFY(!table->cellAt(3, 0) && !table->cellAt(0, 1));

        view->setFocus();
        press(view, Qt::Key_Down);
        press(view, Qt::Key_Down);
        const int current = view->currentIndex().row();
        QVERIFY(current >= 1);
        QCOMPARE(speaks->focusChild(), table->cellAt(current, 0));
        QVERIFY(speaks->focusChild()->state().focused);
        // What a screen reader chooses is chosen in the window, and shown as chosen.
        QVERIFY(table->selectRow(0));
        QCOMPARE(view->selectionModel()->selectedIndexes().value(0).row(), 0);
        QCOMPARE(table->selectedRows(), QList<int>{0});
        QVERIFY(table->cellAt(0, 0)->state().selected && !table->cellAt(1, 0)->state().selected);
    }

    // A message box is an alert that carries its text, so it is read as it opens.
    void aMessageIsAnAlertThatCarriesItsText()
    {
        TestStore store;
        QString role;
        QString said;
        QTimer reader; // reads the box once it is open, then closes it as the user would
        connect(&reader, &QTimer::timeout, [&] {
            QWidget* box = QApplication::activeModalWidget();
            if (!box)
                return;
            QAccessibleInterface* speaks = accessible(box);
            role = speaks->role() == QAccessible::AlertMessage ? QStringLiteral("alert") : QStringLiteral("not an alert");
            said = speaks->text(QAccessible::Name) + u' ' + speaks->text(QAccessible::Description);
            box->close();
        });
        reader.start(10);
        QVERIFY(!logIn(QStringLiteral("nobody"), QStringLiteral("pw")));
        QCOMPARE(role, QStringLiteral("alert"));
        QCOMPARE(said, QStringLiteral("Vantorel Invalid ID Number."));
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
