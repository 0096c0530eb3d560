#include "TestSupport.h"

#include "common/MessageBox.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "data/Tables.h"
#include "data/StoreError.h"
#include "shell/frmLogin.h"
#include "shell/frmMain.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QRandomGenerator>

#include <csignal>
#include <limits>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include "ThrowawayCluster.h"
#include "data/LinkFile.h"
#include "data/PostgresConnection.h"
#include "data/ServerStore.h"

namespace vantorel::test {

namespace {

// Runs one statement on the cluster's maintenance database.
void onCluster(const QString& sql)
{
    data::PostgresConnection(cluster().uri("postgres")).run(sql, {}, QStringLiteral("test cluster"));
}

// Reads the terminal until it has shown `prompts` prompts or is closed; a guard, not a measure,
// ends a wait that would never end.
void awaitPrompts(int terminal, QByteArray& shown, int prompts)
{
    const QDeadlineTimer guard(10000);
    while (shown.count(": ") < prompts && !guard.hasExpired()) {
        pollfd ready{terminal, POLLIN, 0};
        char bytes[256];
        if (poll(&ready, 1, 50) > 0) {
            const ssize_t size = read(terminal, bytes, sizeof bytes);
            if (size <= 0)
                return;
            shown.append(bytes, size);
        }
    }
}

// Gives `window` the keyboard, as a click on it would; false when the platform never made it active.
bool activate(QWidget* window)
{
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window);
}

} // namespace

bool onServer()
{
    return qEnvironmentVariable("VANTOREL_TEST_ENGINE") == QLatin1String("postgresql");
}

ThrowawayCluster& cluster()
{
    static ThrowawayCluster running;
    return running;
}

TestStore::TestStore(Contents contents)
    : m_previousFolder(QDir::currentPath())
{
    QDir::setCurrent(m_folder.path());
    if (!onServer()) {
        if (contents == Contents::Tables)
            data::createDatabaseFile(databasePath());
        return;
    }
    m_serverDatabase = "store_" + QByteArray::number(QRandomGenerator::global()->generate64(), 16);
    onCluster(QStringLiteral("create database ") + QString::fromLatin1(m_serverDatabase));
    if (contents == Contents::Nothing)
        return;
    // As a shop runs it: the tables the administrator's, the program a workstation.
    const data::ServerTarget target{serverUri()};
    data::createServerStore(target, {});
    data::writeLinkFile(databasePath(), target.workstationUri());
}

TestStore::~TestStore()
{
    QDir::setCurrent(m_previousFolder);
    if (m_serverDatabase.isEmpty())
        return;
    try {
        onCluster(QStringLiteral("drop database %1 with (force)").arg(QString::fromLatin1(m_serverDatabase)));
    } catch (const data::StoreError& error) {
        // A test that failed with its server stopped; the cluster goes with the process anyway.
        qWarning("test store: %s", qPrintable(error.message()));
    }
}

QByteArray TestStore::serverUri() const
{
    return cluster().uri(m_serverDatabase);
}

QString TestStore::databasePath() const
{
    return m_folder.filePath(QString::fromLatin1(data::kDatabaseFileName));
}

void TestStore::addClearTextUser(const QString& id, const std::optional<QString>& password, bool manager)
{
    data::Database().append(data::Person{id, QStringLiteral("Last"), QStringLiteral("First"),
                                         QStringLiteral("1 Road"), QStringLiteral("(555) 555-5555"),
                                         password, manager});
}

void TestStore::addVehicle(const QString& vehicleNumber)
{
    data::Database().append(sampleVehicle(vehicleNumber));
}

void TestStore::add(const data::Job& job)
{
    data::Database().append(job);
}

QList<QStringList> TestStore::rows(const QString& sql, const QVariantList& values) const
{
    QList<QStringList> result;
    try {
        // On the server as its administrator, who may do what the test needs and a workstation may not.
        data::Database store = onServer() ? data::Database(std::make_unique<data::PostgresConnection>(serverUri()))
                                          : data::Database(databasePath());
        const auto scan = store.connection().select(sql, values, sql);
        // The server's identity column keeps the order of the records and the append identity
        // tells one append from another; neither is a field of theirs.
        const auto position = [&scan](const QString& column) {
            try {
                return scan->field(QString(), column);
            } catch (const data::StoreError&) {
                return -1;
            }
        };
        const int storedOrder = position(store.connection().orderColumn());
        const int appendKey = position(QLatin1String(data::kAppendKeyColumn));
        while (scan->next()) {
            QStringList row;
            for (int i = 0; i < scan->fieldCount(); ++i) {
                if (i != storedOrder && i != appendKey)
                    row << (scan->isNull(i) ? QStringLiteral("<NULL>") : scan->text(i));
            }
            result << row;
        }
    } catch (const data::StoreError& error) {
        qFatal("test store: %s", qPrintable(error.message()));
    }
    return result;
}

QString TestStore::storedOrder()
{
    return onServer() ? QStringLiteral("StoredOrder") : QStringLiteral("rowid");
}

int TestStore::count(const QString& table) const
{
    return rows(QStringLiteral("select count(*) from ") + table).value(0).value(0).toInt();
}

void TestStore::refuseWrites(bool refused) const
{
    const QString journal = m_folder.filePath(QStringLiteral("Vantorel.mdb-journal"));
    if (m_serverDatabase.isEmpty())
        refused ? QDir().mkdir(journal) : QDir().rmdir(journal);
    else // from the maintenance database, where the setting of the store's database does not apply
        onCluster(QStringLiteral("alter database %1 %2")
                      .arg(QString::fromLatin1(m_serverDatabase), refused ? QStringLiteral("set default_transaction_read_only = on")
                                                                          : QStringLiteral("reset default_transaction_read_only")));
}

MessageWatcher::MessageWatcher()
{
    connect(&m_timer, &QTimer::timeout, this, &MessageWatcher::answerOpenBox);
    m_timer.start(5);
}

void MessageWatcher::answerOpenBox()
{
    QWidget* box = QApplication::activeModalWidget();
    if (!box || box->objectName() != QLatin1String(kMessageBoxObjectName) || !box->isVisible())
        return;
    texts << child<QLabel>(box, QString::fromLatin1(kMessageTextObjectName))->text();
    child<QPushButton>(box, QString::fromLatin1(kMessageOkObjectName))->click();
}

QString MessageWatcher::takeOnly()
{
    const QStringList shown = std::exchange(texts, {});
    if (shown.size() == 1)
        return shown.first();
    return QStringLiteral("<%1 messages: %2>").arg(shown.size()).arg(shown.join(QStringLiteral(" | ")));
}

void closeAllWindows()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        widget->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QString tabOrder(QWidget* first, int count)
{
    // The control with the focus; the text part of an editable combo box counts as the box.
    const auto focused = [] {
        const QWidget* widget = QApplication::focusWidget();
        if (!widget)
            return QStringLiteral("(nothing)");
        return widget->objectName().isEmpty() && widget->parentWidget() ? widget->parentWidget()->objectName()
                                                                         : widget->objectName();
    };
    if (QApplication::activeWindow() != first->window())
        activate(first->window());
    first->setFocus();
    QStringList forward{focused()};
    for (int step = 1; step < count; ++step) {
        press(first, Qt::Key_Tab);
        forward << focused();
    }
    // Shift+Tab goes back the same way.
    QStringList back{forward.last()};
    for (int step = 1; step < count; ++step) {
        press(first, QKeySequence(Qt::SHIFT | Qt::Key_Tab));
        back.prepend(focused());
    }
    const QString order = forward.join(QStringLiteral(", "));
    return back == forward ? order : order + QStringLiteral("; back with Shift+Tab: ") + back.join(QStringLiteral(", "));
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray randomBytes(qsizetype size, quint32 seed)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator generator(seed);
    for (char& byte : bytes)
        byte = char(generator.bounded(256));
    return bytes;
}

QString runTool(const QString& program, const QStringList& arguments)
{
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0)
        qFatal("%s failed: %s", qPrintable(program), tool.readAllStandardError().constData());
    return QString::fromUtf8(tool.readAllStandardOutput());
}

QList<QStringList> csvRows(const QString& path)
{
    const QString json = runTool(QStringLiteral("python3"), {QStringLiteral("-c"), QStringLiteral(
        "import csv, json, sys\n"
        "with open(sys.argv[1], newline='', encoding='utf-8-sig') as f:\n"
        "    print(json.dumps(list(csv.reader(f))))"), path});
    QList<QStringList> rows;
    for (const QJsonValue& row : QJsonDocument::fromJson(json.toUtf8()).array())
        rows << row.toVariant().toStringList();
    return rows;
}

QStringList namesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

QStringList pageTexts(const QString& pdf)
{
    QStringList pages = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")})
                            .split(u'\f');
    pages.removeLast(); // after the last page's form feed
    return pages;
}

void answerDialog(const char* dialogName, const char* entry, const QString& path)
{
    // Looked for until it opens: the action may read the store first, for a while.
    auto* waiting = new QTimer;
    auto* deadline = new QDeadlineTimer(20000);
    QObject::connect(waiting, &QTimer::timeout, [waiting, deadline, dialogName, entry, path] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !(dialog->inherits(dialogName) || dialog->objectName() == QLatin1String(dialogName))) {
            if (deadline->hasExpired())
                qFatal("no %s open", dialogName);
            return;
        }
        waiting->deleteLater();
        delete deadline;
        waiting->stop();
        if (path.isEmpty())
            return dialog->reject();
        child<QLineEdit>(dialog, entry)->setText(path);
        dialog->accept();
    });
    waiting->start(20);
}

QString setupProgram()
{
    return qEnvironmentVariable("VANTOREL_SETUP", QCoreApplication::applicationDirPath() + "/../vantorel-setup");
}

ToolRun runSetup(const QString& folder, const QStringList& arguments, const QStringList& lines, bool terminal,
                 qint64 diskBytes)
{
    QProcess tool;
    tool.setWorkingDirectory(folder);
    int controller = -1;
    int device = -1;
    if (terminal)
        openpty(&controller, &device, nullptr, nullptr, nullptr);
    tool.setChildProcessModifier([device, diskBytes] {
        if (device >= 0) {
            setsid();
            ioctl(device, TIOCSCTTY, 0);
            dup2(device, STDIN_FILENO);
            dup2(device, STDERR_FILENO);
        }
        if (diskBytes > 0) { // past the limit a write fails, as on a full disk
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{rlim_t(diskBytes), rlim_t(diskBytes)};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
    });
    tool.start(setupProgram(), arguments);
    if (terminal)
        close(device); // the tool's own now: the terminal closes when the tool ends
    ToolRun run;
    for (int line = 0; line < lines.size(); ++line) {
        const QByteArray typed = lines[line].toUtf8() + '\n';
        if (terminal) {
            awaitPrompts(controller, run.shown, line + 1);
            write(controller, typed.constData(), size_t(typed.size()));
        } else {
            tool.write(typed);
        }
    }
    tool.closeWriteChannel();
    tool.waitForFinished(30000);
    if (terminal) {
        awaitPrompts(controller, run.shown, std::numeric_limits<int>::max());
        close(controller);
    }
    run.shown += tool.readAllStandardOutput() + tool.readAllStandardError();
    run.exitCode = tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    return run;
}

data::Vehicle sampleVehicle(const QString& vehicleNumber)
{
    return data::Vehicle{vehicleNumber,           QStringLiteral("C-") + vehicleNumber,
                         QStringLiteral("L-") + vehicleNumber, QStringLiteral("Ford"),
                         QStringLiteral("Transit"), QStringLiteral("White"),
                         QStringLiteral("2020"),    QStringLiteral("11/11/11")};
}

void fill(QWidget* window, const QStringList& boxes, const QStringList& values)
{
    for (int i = 0; i < boxes.size(); ++i) {
        QLineEdit* entry = box(window, boxes[i]);
        entry->setFocus();
        entry->clear();
        QTest::keyClicks(entry, values[i]);
    }
}

QStringList texts(const QWidget* window, const QStringList& controls)
{
    QStringList result;
    for (const QString& name : controls) {
        if (auto* entry = window->findChild<QLineEdit*>(name))
            result << entry->text();
        else if (auto* view = window->findChild<QPlainTextEdit*>(name))
            result << view->toPlainText();
        else
            result << label(window, name)->text();
    }
    return result;
}

QStringList reportEntries(const QWidget* results, int column)
{
    const QAbstractItemModel* entries = child<QAbstractItemView>(results, QStringLiteral("lstField%1").arg(column))->model();
    QStringList texts;
    for (int row = 0; row < entries->rowCount(); ++row)
        texts << entries->index(row, 0).data(Qt::UserRole).toString(); // the whole text
    return texts;
}

QList<QStringList> reportRows(const QWidget* results, int columns)
{
    QList<QStringList> rows(reportEntries(results, 1).size());
    for (int column = 1; column <= columns; ++column) {
        const QStringList values = reportEntries(results, column);
        for (int row = 0; row < rows.size(); ++row)
            rows[row] << values.value(row, QStringLiteral("<missing>"));
    }
    return rows;
}

QAbstractItemView* dateList(const QWidget* history)
{
    return child<QAbstractItemView>(history, QStringLiteral("lstRepairDates"));
}

QStringList listedDates(const QWidget* history)
{
    QStringList dates;
    for (int row = 0; row < dateList(history)->model()->rowCount(); ++row)
        dates << dateList(history)->model()->index(row, 0).data().toString();
    return dates;
}

void selectDate(QWidget* history, int row)
{
    dateList(history)->setCurrentIndex(dateList(history)->model()->index(row, 0));
}

void showHistory(QWidget* history, const QString& vehicleNumber)
{
    box(history, QStringLiteral("txtVehicleNumber"))->setText(vehicleNumber);
    click(history, QStringLiteral("cmdShowHistory"));
}

QWidget* logIn(const QString& id, const QString& password)
{
    auto* login = new frmLogin;
    showActive(*login);
    QTest::keyClicks(box(login, QStringLiteral("txtEmpID")), id);
    QTest::keyClicks(box(login, QStringLiteral("txtPassword")), password);
    QTest::mouseClick(button(login, QStringLiteral("cmdSubmit")), Qt::LeftButton);
    QWidget* frame = visibleWindow<frmMain>();
    if (frame)
        showActive(*frame);
    return frame;
}

QWidget* logInNew(TestStore& store, bool manager, const QString& id)
{
    store.addClearTextUser(id, QStringLiteral("pw"), manager);
    return logIn(id, QStringLiteral("pw"));
}

QWidget* openWindow(QWidget* frame, const QKeySequence& keys)
{
    press(frame, keys);
    return activeChild(frame);
}

void click(const QWidget* window, const QString& name)
{
    button(window, name)->click();
}

void press(QWidget* fallback, const QKeySequence& keys)
{
    if (!QApplication::activeWindow() && !activate(fallback->window()))
        qWarning("%s did not become active", qPrintable(fallback->window()->objectName()));
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
    QTest::keySequence(target, keys);
}

void pressSteps(QWidget* frame, const QString& steps)
{
    for (const QString& step : steps.split(u',')) {
        if (step.contains(u' '))
            QTest::keyClicks(child<QComboBox>(frame, QStringLiteral("cboCriteria1")), step);
        else
            press(frame, QKeySequence(step));
    }
}

QWidget* openBySteps(QWidget* frame, const QString& steps, const QString& window)
{
    pressSteps(frame, steps);
    if (!QTest::qWaitFor([&] { return activeChild(frame) && activeChild(frame)->objectName() == window; }))
        qFatal("%s did not open", qPrintable(window));
    return activeChild(frame);
}

QWidget* activeChild(QWidget* frame)
{
    const QMdiSubWindow* active = child<QMdiArea>(frame, QStringLiteral("mdiWorkspace"))->activeSubWindow();
    return active ? active->widget() : nullptr;
}

void showActive(QWidget& window)
{
    window.show();
    QVERIFY(activate(&window));
}

} // namespace vantorel::test
