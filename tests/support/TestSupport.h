#pragma once

#include "data/Records.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVariant>

namespace vantorel::test {

class ThrowawayCluster;

// Closes every top-level window and deletes those that go when closed.
void closeAllWindows();

// Whether this run uses the server engine (VANTOREL_TEST_ENGINE=postgresql) rather than the file.
bool onServer();

// The cluster of this test process, started on first use and stopped when the process ends.
ThrowawayCluster& cluster();

// A fresh store in a temporary folder that is the working directory while the object lives:
// Vantorel.mdb is the SQLite file, or a link file naming a new server database of its own.
class TestStore {
public:
    // What the new store holds: its tables, or nothing at all (no Vantorel.mdb, and on the server
    // an empty database), for a tool that makes the store.
    enum class Contents { Tables, Nothing };

    explicit TestStore(Contents contents = Contents::Tables);
    ~TestStore();
    TestStore(const TestStore&) = delete;
    TestStore& operator=(const TestStore&) = delete;

    QString folder() const { return m_folder.path(); }
    QString databasePath() const;
    QByteArray serverUri() const; // server engine only

    // A user put in by other means than the program: a clear password, or none at all.
    void addClearTextUser(const QString& id, const std::optional<QString>& password, bool manager);
    void addVehicle(const QString& vehicleNumber);
    void add(const data::Job& job);

    // Runs a statement through a connection of the test's own ("?" placeholders); rows as texts,
    // "<NULL>" for a field that holds no value.
    QList<QStringList> rows(const QString& sql, const QVariantList& values = {}) const;
    int count(const QString& table) const;
    // The column that keeps the order of the records, for "order by".
    static QString storedOrder();

    // Whether the store can be read but refuses every change, even to root: a folder stands
    // where SQLite puts its rollback journal, or the server makes new sessions read-only.
    void refuseWrites(bool refused) const;

private:
    QTemporaryDir m_folder;
    QString m_previousFolder;
    QByteArray m_serverDatabase;
};

// The base of every suite: a test closing its last window ends no run, and none leaves a window
// open for the next.
class Suite : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void cleanup() { closeAllWindows(); }
};

// Answers every message box the program opens while it lives, and keeps the texts in order.
class MessageWatcher : public QObject {
    Q_OBJECT

public:
    MessageWatcher();
    QStringList texts;

    // The one message shown since the last call, or a description of none or several; clears the list.
    QString takeOnly();

private:
    void answerOpenBox();
    QTimer m_timer;
};

// The visible top-level window of type Window, if any.
template <typename Window>
Window* visibleWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<Window*>(widget); window && window->isVisible())
            return window;
    }
    return nullptr;
}

// The named child; a missing one ends the run, since every later step would fail the same way.
template <typename T>
T* child(const QWidget* window, const QString& name)
{
    auto* found = window ? window->findChild<T*>(name) : nullptr;
    if (!found)
        qFatal("no %s in %s", qPrintable(name), window ? qPrintable(window->objectName()) : "no window");
    return found;
}

inline QLineEdit* box(const QWidget* window, const QString& name) { return child<QLineEdit>(window, name); }
inline QPushButton* button(const QWidget* window, const QString& name) { return child<QPushButton>(window, name); }
inline QLabel* label(const QWidget* window, const QString& name) { return child<QLabel>(window, name); }

// A vehicle's entry boxes and displays, in the order of the windows' rows.
inline const QStringList kVehicleBoxes = { "txtVehicleNumber", "txtContractNumber", "txtLicensePlate", "txtMake",
    "txtModel", "txtColor", "txtYear", "txtDatePurchased" };
inline const QStringList kVehicleLabels
    = { "lblContractNumber", "lblLicense", "lblMake", "lblModel", "lblColor", "lblYear", "lblDatePurchased" };

// The whole entries of report column `column` (from 1), and the first `columns` columns as rows.
QStringList reportEntries(const QWidget* results, int column);
QList<QStringList> reportRows(const QWidget* results, int columns);

// Repair History's list of dates, the dates it lists, and a date chosen as a click chooses it.
QAbstractItemView* dateList(const QWidget* history);
QStringList listedDates(const QWidget* history);
void selectDate(QWidget* history, int row);
// Puts the number into the vehicle number box and presses Show History.
void showHistory(QWidget* history, const QString& vehicleNumber);

// Types each value into its box as the user does: click in, empty it, type.
void fill(QWidget* window, const QStringList& boxes, const QStringList& values);
QStringList texts(const QWidget* window, const QStringList& controls);

// Logs in through a fresh log-in window (typed ID and password, Submit): the frame, or null.
QWidget* logIn(const QString& id, const QString& password);
// A user of the role added to `store` (the ID given, password "pw"), logged in.
QWidget* logInNew(TestStore& store, bool manager, const QString& id = QStringLiteral("10000001"));
// Presses the frame's keys (a menu shortcut): the child window then active, or null.
QWidget* openWindow(QWidget* frame, const QKeySequence& keys);
QWidget* activeChild(QWidget* frame);
// Steps separated by commas: keys to press, or a choice (a text with a blank) to type into the
// report generator's first row, e.g. "Ctrl+R,All Vehicles,Alt+G".
void pressSteps(QWidget* frame, const QString& steps);
// Opens a window from the frame by the steps, once it has come forward (an access key presses a
// button after a moment).
QWidget* openBySteps(QWidget* frame, const QString& steps, const QString& window);

void click(const QWidget* window, const QString& name);
// Presses `keys` where the keyboard focus is; while no window is active (offscreen, after a
// message box closed) `fallback`'s window is made active first.
void press(QWidget* fallback, const QKeySequence& keys);

void showActive(QWidget& window);

// The object names of the first `count` controls that Tab presses visit, starting at `first`,
// parted by ", ", and where Shift+Tab does not go back through them, where it goes.
QString tabOrder(QWidget* first, int count);

QString setupProgram();

// A file's bytes (none when it cannot be read), and a file made of `bytes`.
QByteArray readAll(const QString& path);
void writeAll(const QString& path, const QByteArray& bytes);
// `size` bytes of noise, the same for the same `seed`.
QByteArray randomBytes(qsizetype size, quint32 seed);

// What a program wrote to its standard output; a program that fails ends the run.
QString runTool(const QString& program, const QStringList& arguments);
// The text of each printed page of a PDF file, as laid out (pdftotext).
QStringList pageTexts(const QString& pdf);
// The records of a CSV file as Python's csv module reads them, its first row of names included.
QList<QStringList> csvRows(const QString& path);
// The names in the folder, links and hidden files included, in order.
QStringList namesIn(const QString& folder);
// Answers the dialog about to open, known by its class or its name (the print or the save
// dialog): cancels it, or puts `path` into its entry `entry` as the user types it and accepts.
void answerDialog(const char* dialogName, const char* entry, const QString& path);

struct ToolRun {
    int exitCode = -1; // -1 when it did not end by itself
    QByteArray shown;  // what the user saw: its output and errors, or its terminal
};

// Runs vantorel-setup in `folder`. With `terminal`, its standard input and error are a terminal
// of its own and each line is typed after a prompt; otherwise the lines go to standard input.
ToolRun runSetup(const QString& folder, const QStringList& arguments, const QStringList& lines = {},
                 bool terminal = false, qint64 diskBytes = 0);
data::Vehicle sampleVehicle(const QString& vehicleNumber); // every field derived from the number

} // namespace vantorel::test
