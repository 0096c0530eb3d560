#pragma once

#include "data/Records.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <QVariant>

namespace vantorel::test {

class ThrowawayCluster;

// Whether this run of a suite uses the server engine: VANTOREL_TEST_ENGINE=postgresql; otherwise
// the embedded file. ctest runs every store-touching suite once with each.
bool onServer();

// The cluster of this test process, started on first use and stopped when the process ends.
ThrowawayCluster& cluster();

// A fresh store in a temporary folder that is the working directory while the object lives:
// Vantorel.mdb is the SQLite file, or, on the server engine, a link file naming a new database of
// its own (dropped at the end). With ways to put records in and read the store back.
class TestStore {
public:
    TestStore();
    ~TestStore();
    TestStore(const TestStore&) = delete;
    TestStore& operator=(const TestStore&) = delete;

    QString folder() const { return m_folder.path(); }
    QString databasePath() const;

    // A user as the program adds it (hashed password), or as put in by other means (clear text,
    // or no password at all).
    void addUser(const QString& id, const QString& password, bool manager);
    void addClearTextUser(const QString& id, const std::optional<QString>& password, bool manager);
    void addVehicle(const QString& vehicleNumber);
    void add(const data::Vehicle& vehicle);
    void add(const data::Job& job);

    // Runs a statement on the store through a connection of the test's own ("?" placeholders);
    // rows as texts, with "<NULL>" for a field that holds no value.
    QList<QStringList> rows(const QString& sql, const QVariantList& values = {}) const;
    int count(const QString& table) const;

    // The server's URI for this store's database (server engine only).
    QByteArray serverUri() const;

private:
    QTemporaryDir m_folder;
    QString m_previousFolder;
    QByteArray m_serverDatabase;
};

// While it lives, the store of the working folder can be read but refuses every change, whoever
// runs the test (root passes file permissions by): a folder stands where SQLite puts its rollback
// journal, or the server makes every new session read-only.
class WritesRefused {
public:
    WritesRefused();
    ~WritesRefused();
    WritesRefused(const WritesRefused&) = delete;
    WritesRefused& operator=(const WritesRefused&) = delete;

private:
    void setServerReadOnly(bool readOnly);
    QByteArray m_serverUri;
};

// Answers every message box the program opens while it lives, and remembers the texts in order.
// Tests read `texts` to learn what the user was told.
class MessageWatcher : public QObject {
    Q_OBJECT

public:
    MessageWatcher();
    QStringList texts;

    // The one message shown since the last call, or a failure description when there were none
    // or several; clears the list.
    QString takeOnly();

private:
    void answerOpenBox();
    QTimer m_timer;
};

// The visible top-level window of type Window (the log-in window, the main frame), if any.
template <typename Window>
Window* visibleWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<Window*>(widget); window && window->isVisible())
            return window;
    }
    return nullptr;
}

// The child of `window` with this object name; a missing one ends the test run, since every
// later step would only report the same fault again.
template <typename T>
T* child(const QWidget* window, const QString& name)
{
    auto* found = window->findChild<T*>(name);
    if (!found)
        qFatal("no %s in %s", qPrintable(name), qPrintable(window->objectName()));
    return found;
}

inline QLineEdit* box(const QWidget* window, const QString& name) { return child<QLineEdit>(window, name); }
inline QPushButton* button(const QWidget* window, const QString& name) { return child<QPushButton>(window, name); }
inline QLabel* label(const QWidget* window, const QString& name) { return child<QLabel>(window, name); }

// The entry and display names of a vehicle's fields, in the order of the windows' rows.
inline const QStringList kVehicleBoxes = { "txtVehicleNumber", "txtContractNumber", "txtLicensePlate", "txtMake",
    "txtModel", "txtColor", "txtYear", "txtDatePurchased" };
inline const QStringList kVehicleLabels
    = { "lblContractNumber", "lblLicense", "lblMake", "lblModel", "lblColor", "lblYear", "lblDatePurchased" };

// The entries of report column `column` (from 1) of a results window, and its first `columns`
// columns read as rows.
QStringList reportEntries(const QWidget* results, int column);
QList<QStringList> reportRows(const QWidget* results, int columns);

// Types each value into its box, as the user does: click into the box, empty it, type.
void fill(QWidget* window, const QStringList& boxes, const QStringList& values);
QStringList texts(const QWidget* window, const QStringList& controls);

// Logs in through a fresh log-in window as the user does (typed ID and password, Submit) and
// returns the frame it opens, or null when none opened.
QWidget* logIn(const QString& id, const QString& password);

// Presses `keys` where the keyboard focus is, as the user does; while no window has the focus
// (offscreen, after a message box closed) the keys go to `fallback`'s window, made active first.
void press(QWidget* fallback, const QKeySequence& keys);

// The widget of the frame's active child window, or null.
QWidget* activeChild(QWidget* frame);

// Shows the window and waits until it takes the keyboard. Offscreen, a closed message box leaves
// no window active, so tests call this again before they press keys.
void showActive(QWidget& window);

// Closes every top-level window and lets their deletion run, so a test leaves none behind.
void closeAllWindows();

// The object names of the first `count` widgets that Tab visits, starting at `first`.
QStringList tabOrder(QWidget* first, int count);

// The setup tool of this build.
QString setupProgram();

// A vehicle with every field derived from its number, for tests that need a plausible record.
data::Vehicle sampleVehicle(const QString& vehicleNumber);

} // namespace vantorel::test
