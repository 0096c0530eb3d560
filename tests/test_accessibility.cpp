// What a screen reader finds in every window opened from the frame, read through Qt's
// accessibility interfaces: a name for every control a user can reach, the captions linked to
// what they label, value labels with their caption, lists with their entries, alerts.

#include "TestSupport.h"

#include "common/ValueLabel.h"
#include "shell/frmLogin.h"

#include <QAbstractButton>
#include <QAccessible>

using namespace vantorel;
using namespace vantorel::test;

namespace {

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

class TestAccessibility : public QObject {
    Q_OBJECT

private slots:
    void init() { QApplication::setQuitOnLastWindowClosed(false); }
    void cleanup() { closeAllWindows(); }

    // Every window of both roles: every control a user can reach has a name; a caption beside a
    // control is its label, and the control is named by it; a button tells its access key; every
    // value display reads its caption and its whole value.
    void everyControlSpeaks_data()
    {
        QTest::addColumn<int>("role"); // 0 before log-in, 1 a manager, 2 a mechanic
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("fill"); // typed into the window's first box, then Enter
        QTest::newRow("frmLogin") << 0 << "" << "";
        for (int role : {1, 2}) {
            const char* who = role == 1 ? "manager" : "mechanic";
            if (role == 1) {
                QTest::addRow("%s frmAddUser", who) << role << "Ctrl+A" << "";
                QTest::addRow("%s frmAddVehicle", who) << role << "Ctrl+N" << "";
            } else {
                QTest::addRow("%s frmServicing", who) << role << "Ctrl+S" << "1001,Alt+R";
            }
            QTest::addRow("%s frmRepairHistory", who) << role << "Ctrl+H" << "1001,Return";
            QTest::addRow("%s frmReportGen", who) << role << "Ctrl+R" << "";
            QTest::addRow("%s frmReportResults", who) << role << "Ctrl+R,All Vehicles,Alt+G" << "";
            QTest::addRow("%s frmHelp", who) << role << "F1" << "";
        }
    }

    void everyControlSpeaks()
    {
        QFETCH(int, role);
        QFETCH(QString, steps);
        QFETCH(QString, fill);
        TestStore store;
        const QString longMake = QStringLiteral("Mercedes-Benz Sprinter Crew Cab High Roof Extended");
        store.rows(QStringLiteral("insert into Vehicle (VNumber, ContractNumber, License, Make, Model, Color, Year, "
                                  "DatePurchased) values ('1001', 'C-1', 'FLT 1', ?, 'Van', 'White', '2020', '1/1/2020')"),
                   {longMake});
        MessageWatcher messages;
        QWidget* window = nullptr;
        if (role == 0) {
            window = new frmLogin;
            showActive(*window);
        } else {
            QWidget* frame = logInNew(store, role == 1);
            window = openBySteps(frame, steps, QString::fromLatin1(QTest::currentDataTag()).section(u' ', -1));
        }
        QVERIFY(window);
        if (!fill.isEmpty()) {
            box(window, "txtVehicleNumber")->setFocus();
            QTest::keyClicks(box(window, "txtVehicleNumber"), fill.section(u',', 0, 0));
            press(window, QKeySequence(fill.section(u',', 1)));
            QTRY_COMPARE(label(window, "lblMake")->text(), longMake); // an access key clicks after a moment
        }

        const QList<QWidget*> controls = reachableControls(window);
        QVERIFY(!controls.isEmpty());
        for (QWidget* control : controls) {
            QAccessibleInterface* speaks = accessible(control);
            const QString name = speaks->text(QAccessible::Name);
            QVERIFY2(!name.isEmpty(), qPrintable(control->objectName() + " has no name"));
            if (QLabel* caption = captionOf(window, control)) {
                const auto labels = speaks->relations(QAccessible::Label);
                QVERIFY2(std::ranges::any_of(labels, [&](const auto& label) { return label.first->text(QAccessible::Name) == caption->text(); }),
                         qPrintable(control->objectName() + " has no label"));
                // On this desktop a combo box is named by its text, its caption by the label relation.
                QVERIFY2(name.contains(caption->text()) || speaks->role() == QAccessible::ComboBox,
                         qPrintable(control->objectName() + " is named " + name));
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

    // A list is named by its caption, counts and reads its entries, follows the current one as the
    // keys move it, and chooses the one a screen reader asks for.
    void listsOfferTheirEntries_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("name");
        QTest::newRow("report column") << "Ctrl+R,All Vehicles,Alt+G" << "lstField1" << "Vehicle Number";
        QTest::newRow("repair dates") << "Ctrl+H" << "lstRepairDates" << "Repair Dates";
    }

    void listsOfferTheirEntries()
    {
        QFETCH(QString, steps);
        QFETCH(QString, list);
        TestStore store;
        const QStringList numbers = {"1001", "1002", "1003"};
        for (const QString& number : numbers) {
            store.addVehicle(number);
            store.add(data::Job{"1001", "20000001", "Bay", number, "9:00:00 AM", "9:30:00 AM", "oil"});
        }
        QWidget* window = openBySteps(logInNew(store, false), steps, list == QLatin1String("lstField1")
                ? QStringLiteral("frmReportResults") : QStringLiteral("frmRepairHistory"));
        if (window->objectName() == QLatin1String("frmRepairHistory")) {
            QTest::keyClicks(box(window, "txtVehicleNumber"), QStringLiteral("1001"));
            press(window, Qt::Key_Return);
        }
        auto* view = child<QAbstractItemView>(window, list);
        QAccessibleInterface* speaks = accessible(view);
        QCOMPARE(speaks->role(), QAccessible::List);
        QTEST(speaks->text(QAccessible::Name), "name");
        QAccessibleTableInterface* table = speaks->tableInterface();
        QVERIFY(table);
        QCOMPARE(speaks->childCount(), 3);
        QCOMPARE(table->rowCount(), 3);
        QCOMPARE(table->columnCount(), 1);
        for (int row = 0; row < 3; ++row) {
            QAccessibleInterface* entry = table->cellAt(row, 0);
            QVERIFY(entry);
            QCOMPARE(entry->text(QAccessible::Name), numbers[row]);
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
};

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
