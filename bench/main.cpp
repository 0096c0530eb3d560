// vantorel-bench: times every user action of Vantorel through its real windows, offscreen, on a
// synthetic fleet far beyond one shop, next to the bare cost of the same statements on the same
// file through the SQLite C API, or, with --server, on a PostgreSQL database through libpq.
// Prints a table and one machine-readable line per action.

#include "BareStore.h"
#include "ImportBench.h"
#include "SyntheticFleet.h"
#include "WindowDriver.h"

#include "data/Credentials.h"
#include "data/Database.h"
#include "data/ReportQuery.h"
#include "data/Schema.h"
#include "data/ServerStore.h"
#include "transfer/Moves.h"
#include "transfer/Progress.h"
#include "maintenance/HistoryPrinter.h"
#include "reports/ReportPrinter.h"
#include "shell/frmLogin.h"
#include "shell/frmMain.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <sodium.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace {

using bench::BareStore;
using bench::FleetFacts;
using bench::WindowDriver;
using vantorel::frmMain;
using vantorel::LoginIdentity;

// How a row is judged: an interactive action against its bare query, or an absolute limit.
struct Target {
    double maxRatio = 0;     // 0: no ratio target
    double maxMs = 0;        // 0: no absolute target
    QString unit = QStringLiteral("ms");
    double maxOverBareMs = 0; // 0: no limit on the time spent beyond the bare store work
};

struct Row {
    QString action;
    double vantorel = 0;
    std::optional<double> bare;
    Target target;
    QString note;

    // None when it cannot be measured, and then a ratio target is missed.
    std::optional<double> ratio() const
    {
        if (!bare || *bare <= 0 || vantorel <= 0)
            return std::nullopt;
        return vantorel / *bare;
    }
    bool hasTarget() const { return target.maxRatio > 0 || target.maxMs > 0 || target.maxOverBareMs > 0; }
    bool meetsTarget() const
    {
        const bool ratioOk = target.maxRatio == 0 || (ratio() && *ratio() <= target.maxRatio);
        const bool absoluteOk = target.maxMs == 0 || vantorel <= target.maxMs;
        const bool overBareOk = target.maxOverBareMs == 0 || (bare && vantorel - *bare <= target.maxOverBareMs);
        return ratioOk && absoluteOk && overBareOk;
    }
};

const Target kInteractive{2.0, 50.0};

// Whether `group` is among the comma-separated groups of --only (all of them when it is empty).
bool wanted(const QString& only, const QString& group)
{
    return only.isEmpty() || only.split(QLatin1Char(',')).contains(group);
}
// A value of megabytes may cost its store work, and at most 0.2 s more on the screen.
const Target kBigValue{0, 0, QStringLiteral("ms"), 200.0};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The page count a PDF file declares, read from its page-tree root.
int QPdfPageCount(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray bytes = file.readAll();
    const qsizetype at = bytes.indexOf("/Type /Pages");
    const qsizetype count = bytes.indexOf("/Count ", at);
    return at < 0 || count < 0 ? 0 : bytes.mid(count + 7, 12).split(' ').first().split('\n').first().toInt();
}

double timeBare(const std::function<void()>& action)
{
    QElapsedTimer clock;
    clock.start();
    action();
    return double(clock.nsecsElapsed()) / 1e6;
}

long peakMemoryKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return 0;
}

// A new append identity, as the program gives each record it appends.
QString bareIdentity()
{
    return QString::number(QRandomGenerator::global()->generate64(), 16);
}

// From now on the peak resident size counts again from what is resident now.
bool resetPeakMemory()
{
    QFile peak(QStringLiteral("/proc/self/clear_refs"));
    return peak.open(QIODevice::WriteOnly) && peak.write("5") == 1;
}

class Bench {
public:
    Bench(const QString& path, FleetFacts facts, int runs)
        : m_bare(BareStore::of(path))
        , m_facts(std::move(facts))
        , m_runs(runs)
    {
    }

    // Every group of actions, or only the one named `only`.
    std::vector<Row> runAll(const QString& only)
    {
        for (const auto& [group, measureGroup] : std::initializer_list<std::pair<const char*, void (Bench::*)()>>{
                 {"log-in", &Bench::measureLogin},
                 {"servicing", &Bench::measureServicing},
                 {"repair history", &Bench::measureHistory},
                 {"records", &Bench::measureRecords},
                 {"reports", &Bench::measureReports},
                 {"printing", &Bench::measurePrint},
                 {"big values", &Bench::measureBigValues}}) {
            if (!wanted(only, QLatin1String(group)))
                continue;
            try {
                (this->*measureGroup)();
            } catch (const std::exception& error) {
                QTextStream(stderr) << "vantorel-bench: " << group << " not measured: " << error.what() << '\n';
                closeAll();
            }
        }
        return m_rows;
    }

private:
    // Runs `prepare` (untimed) and `action` (timed) m_runs times, and the bare counterpart as often.
    Row measure(const QString& name, const std::function<void()>& prepare,
                const std::function<void()>& action, const std::function<void()>& bare, Target target)
    {
        std::vector<double> ours;
        std::vector<double> theirs;
        for (int run = 0; run < m_runs; ++run) {
            prepare();
            WindowDriver::settle();
            ours.push_back(m_driver.time(action));
            m_lastMessages = m_driver.takeMessages();
            WindowDriver::settle();
            if (bare)
                theirs.push_back(timeBare(bare));
        }
        Row row{name, median(ours), std::nullopt, target, m_lastMessages.join(QStringLiteral(" / "))};
        if (!theirs.empty())
            row.bare = median(theirs);
        m_rows.push_back(row);
        return row;
    }

    // The deliberate argon2id work an action does, timed on its own.
    void measureHash(const QString& name, const std::function<void()>& hashing)
    {
        std::vector<double> runs;
        for (int run = 0; run < m_runs; ++run)
            runs.push_back(timeBare(hashing));
        m_rows.push_back(Row{name, median(runs), std::nullopt, Target{}, QStringLiteral("the argon2id work alone")});
    }

    static void closeAll()
    {
        for (QWidget* top : QApplication::topLevelWidgets())
            top->close();
        WindowDriver::settle();
    }

    frmMain* openFrame(bool manager)
    {
        auto* frame = new frmMain(LoginIdentity{manager ? m_facts.managerId : m_facts.mechanicId, manager});
        frame->show();
        WindowDriver::settle();
        return frame;
    }

    static QWidget* openChild(frmMain* frame, const char* menuItem, const char* window)
    {
        auto* item = frame->findChild<QAction*>(QString::fromLatin1(menuItem));
        if (!item)
            throw std::runtime_error(std::string("no menu item ") + menuItem);
        item->trigger();
        WindowDriver::settle();
        return WindowDriver::find(frame, window);
    }

    // A password hash with the least cost argon2id allows: verifying it is next to no work.
    static QString cheapHash(const QString& password)
    {
        const QByteArray bytes = password.toUtf8();
        char hash[crypto_pwhash_STRBYTES];
        if (crypto_pwhash_str_alg(hash, bytes.constData(), static_cast<unsigned long long>(bytes.size()),
                                  crypto_pwhash_OPSLIMIT_MIN, crypto_pwhash_MEMLIMIT_MIN, crypto_pwhash_ALG_ARGON2ID13)
            != 0)
            throw std::runtime_error("no cheap hash");
        return QString::fromLatin1(hash);
    }

    // Log-in whole, with its deliberate hash, and log-in of a user whose stored hash costs next
    // to nothing: the same work less the hash, measured directly. (A clear-text password would
    // not do: its check spends a hash's time on purpose, so no ID can be told apart by timing.)
    void measureLogin()
    {
        const QString cheapId = QStringLiteral("cheap-") + QString::number(QDateTime::currentMSecsSinceEpoch());
        vantorel::data::Database().append(vantorel::data::Person{cheapId, QStringLiteral("Bench"), QStringLiteral("Cheap"),
                                                                 QString(), QString(), cheapHash(m_facts.password), true});
        QPointer<vantorel::frmLogin> login;
        const auto logIn = [&](const QString& id, const QString& name, Target target) {
            measure(
                name,
                [&] {
                    closeAll();
                    login = new vantorel::frmLogin;
                    login->show();
                    WindowDriver::type(login, "txtEmpID", id);
                    WindowDriver::type(login, "txtPassword", m_facts.password);
                },
                [&] { WindowDriver::click(login, "cmdSubmit"); },
                [&] { m_bare->run("select * from Person where IDNumber = ?", {id}); }, target);
        };
        logIn(m_facts.managerId, QStringLiteral("login"), Target{});
        const QString hash = vantorel::data::hashPassword(m_facts.password);
        measureHash(QStringLiteral("login_hash_alone"), [&] { vantorel::data::passwordMatches(hash, m_facts.password); });
        logIn(cheapId, QStringLiteral("login_without_hash"), kInteractive);
        m_rows.back().note = QStringLiteral("a user whose stored hash costs next to nothing");
        // An unknown ID must cost what a wrong password costs, or timing would tell which IDs exist.
        measure(QStringLiteral("login_unknown_id"), [] {}, [] { vantorel::data::spendVerificationTime(QStringLiteral("x")); },
                [&] { vantorel::data::passwordMatches(hash, QStringLiteral("wrong")); }, Target{1.5, 0});
        m_rows.back().note = QStringLiteral("its hashing beside a wrong password's: the two should match");
        closeAll();
        // What log-in spends outside the store: building and showing the main window.
        measure(
            QStringLiteral("main_window_open"), [] { closeAll(); },
            [&] { (new frmMain(LoginIdentity{m_facts.managerId, true}))->show(); }, {}, Target{});
        m_rows.back().note = QStringLiteral("part of log-in: the frame with its menus, no store work");
        closeAll();
    }

    void measureServicing()
    {
        frmMain* frame = openFrame(false);
        QWidget* servicing = openChild(frame, "mnuServiceVehicle", "frmServicing");
        WindowDriver::type(servicing, "txtVehicleNumber", m_facts.plainVehicle);
        measure(QStringLiteral("retrieve_vehicle"), [] {}, [&] { WindowDriver::click(servicing, "cmdViewHistory"); },
                [&] { m_bare->run("select * from Vehicle where VNumber = ? order by rowid", {m_facts.plainVehicle}); },
                kInteractive);
        WindowDriver::type(servicing, "txtLocation", QStringLiteral("Bay 7"));
        measure(
            QStringLiteral("start_and_complete"), [] {},
            [&] {
                WindowDriver::click(servicing, "cmdStart");
                WindowDriver::click(servicing, "cmdComplete");
            },
            [&] {
                m_bare->run("insert into Servicing values (?, ?, ?, ?, ?, ?, ?, ?)",
                           {m_facts.plainVehicle, m_facts.mechanicId, QStringLiteral("Bay 7"), QStringLiteral("1/1/26"),
                            QStringLiteral("08:00:00"), QStringLiteral("08:40:00"), QString(), bareIdentity()});
            },
            kInteractive);
        frame->close();
    }

    void measureHistory()
    {
        frmMain* frame = openFrame(false);
        QWidget* history = openChild(frame, "mnuRepairHistory", "frmRepairHistory");
        WindowDriver::type(history, "txtVehicleNumber", m_facts.busyVehicle);
        measure(
            QStringLiteral("show_history_%1_jobs").arg(m_facts.busyVehicleJobs), [&] { WindowDriver::click(history, "cmdClear"); },
            [&] {
                WindowDriver::type(history, "txtVehicleNumber", m_facts.busyVehicle);
                WindowDriver::click(history, "cmdShowHistory");
            },
            [&] {
                m_bare->runAll({{"select * from Vehicle where VNumber = ? order by rowid", {m_facts.busyVehicle}},
                               {"select * from Servicing where VNumber = ? order by rowid", {m_facts.busyVehicle}}});
            },
            Target{1.5, 0});
        auto* dates = qobject_cast<QAbstractItemView*>(WindowDriver::find(history, "lstRepairDates"));
        int entry = 0;
        QString dateText;
        measure(
            QStringLiteral("select_date"),
            [&] {
                entry = (entry + 997) % dates->model()->rowCount();
                dateText = dates->model()->index(entry, 0).data().toString();
            },
            [&] { dates->setCurrentIndex(dates->model()->index(entry, 0)); },
            [&] {
                m_bare->run("select * from Servicing where \"Date\" = ? and VNumber = ? order by rowid", {dateText, m_facts.busyVehicle});
            },
            kInteractive);
        frame->close();
    }

    void measureRecords()
    {
        frmMain* frame = openFrame(true);
        QWidget* vehicle = openChild(frame, "mnuAddVehicle", "frmAddVehicle");
        int serial = 0;
        const char* boxes[] = {"txtVehicleNumber", "txtContractNumber", "txtLicensePlate", "txtMake",
                               "txtModel",         "txtColor",          "txtYear",         "txtDatePurchased"};
        measure(
            QStringLiteral("add_vehicle"),
            [&] {
                ++serial;
                for (const char* box : boxes)
                    WindowDriver::type(vehicle, box, QStringLiteral("B%1").arg(serial));
            },
            [&] { WindowDriver::click(vehicle, "cmdSubmit"); },
            [&] {
                m_bare->run("insert into Vehicle values (?, ?, ?, ?, ?, ?, ?, ?, ?)",
                           QStringList(8, QStringLiteral("bare%1").arg(serial)) << bareIdentity());
            },
            kInteractive);

        QWidget* user = openChild(frame, "mnuAddUser", "frmAddUser");
        const char* userBoxes[] = {"txtIDNumber", "txtLName", "txtFName", "txtAddress", "txtTelephone", "txtPassword"};
        measure(
            QStringLiteral("add_user"),
            [&] {
                ++serial;
                for (const char* box : userBoxes)
                    WindowDriver::type(user, box, QStringLiteral("U%1").arg(serial));
            },
            [&] { WindowDriver::click(user, "cmdSumbit"); },
            [&] {
                m_bare->run("insert into Person values (?, ?, ?, ?, ?, ?, 0, ?)",
                           QStringList(6, QStringLiteral("bare%1").arg(serial)) << bareIdentity());
            },
            Target{});
        m_rows.back().note = QStringLiteral("whole, with the deliberate hash of the new password");
        measureHash(QStringLiteral("add_user_hash_alone"), [&] { vantorel::data::hashPassword(m_facts.password); });
        frame->close();
    }

    void measureReport(frmMain* frame, QWidget* generator, const QString& name, const QStringList& choices,
                       const QStringList& values, const char* bareSql, const QStringList& bareValues, Target target)
    {
        measureReport(frame, generator, name, choices, values, [&] { m_bare->run(bareSql, bareValues); }, target);
    }

    void measureReport(frmMain* frame, QWidget* generator, const QString& name, const QStringList& choices,
                       const QStringList& values, const std::function<void()>& bare, Target target)
    {
        const char* combos[] = {"cboCriteria1", "cboCriteria2", "cboCriteria3", "cboCriteria4"};
        const char* texts[] = {"txtCriteria1", "txtCriteria2", "txtCriteria3", "txtCriteria4"};
        const char* ticks[] = {nullptr, "chkCriteria2", "chkCriteria3", "chkCriteria4"};
        measure(
            name,
            [&] {
                if (QWidget* open = frame->findChild<QWidget*>(QStringLiteral("frmReportResults")))
                    open->parentWidget()->close();
                WindowDriver::settle();
                WindowDriver::click(generator, "cmdReset");
                for (int row = 0; row < choices.size(); ++row) {
                    if (ticks[row])
                        WindowDriver::tick(generator, ticks[row], true);
                    WindowDriver::choose(generator, combos[row], choices[row]);
                    WindowDriver::type(generator, texts[row], values[row]);
                }
            },
            [&] { WindowDriver::click(generator, "cmdGenerate"); }, bare, target);
    }

    void measureReports()
    {
        frmMain* frame = openFrame(true);
        QWidget* generator = openChild(frame, "mnuCreateReport", "frmReportGen");
        measureReport(frame, generator, QStringLiteral("report_all_vehicles"), {QStringLiteral("All Vehicles")},
                      {QString()}, "select * from Vehicle order by rowid", {}, Target{1.5, 0});
        measureReport(frame, generator, QStringLiteral("report_one_criterion"), {QStringLiteral("Vehicle Number")},
                      {m_facts.plainVehicle}, "select * from Vehicle where VNumber = ? order by rowid", {m_facts.plainVehicle},
                      kInteractive);
        // What any report costs beyond its query: the results window built and shown empty.
        const QString nowhere = QStringLiteral("no such vehicle");
        measureReport(frame, generator, QStringLiteral("report_window_no_rows"), {QStringLiteral("Vehicle Number")},
                      {nowhere}, "select * from Vehicle where VNumber = ? order by rowid", {nowhere}, Target{0, 1.0});
        m_rows.back().note = QStringLiteral("fixed cost of a report: the eight columns built and shown");
        const QStringList four(m_facts.fourCriteria, m_facts.fourCriteria + 4);
        measureReport(frame, generator, QStringLiteral("report_four_criteria"),
                      {QStringLiteral("Make"), QStringLiteral("Model"), QStringLiteral("Year"),
                       QStringLiteral("Date Purchased")},
                      four, "select * from Vehicle where Make = ? and Model = ? and Year = ? and DatePurchased = ? order by rowid", four,
                      kInteractive);
        frame->close();
    }

    // The printing of a 10,000-row vehicle report (all eight columns) into a PDF file.
    void measurePrint()
    {
        constexpr qsizetype kRows = 10'000;
        vantorel::PrintedReport report{QStringLiteral("Vehicles"), QStringLiteral("All Vehicles"),
                                       {QStringLiteral("Vehicle Number"), QStringLiteral("Contract Number"),
                                        QStringLiteral("License"), QStringLiteral("Make"), QStringLiteral("Model"),
                                        QStringLiteral("Color"), QStringLiteral("Year"),
                                        QStringLiteral("Date Purchased")},
                                       {}};
        {
            vantorel::data::Database db;
            for (const vantorel::data::TextColumn& column :
                 vantorel::data::reportColumns(db, vantorel::data::ReportTable::Vehicle, {}))
                report.columns.append(column.toStringList().mid(0, kRows));
        }
        const QString pdf = QDir::current().filePath(QStringLiteral("report.pdf"));
        measure(
            QStringLiteral("print_10000_rows_pdf"), [] {},
            [&] {
                QPrinter printer(QPrinter::HighResolution);
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(pdf);
                if (!vantorel::ReportPrinter(report).print(printer))
                    throw std::runtime_error("the report could not be printed");
            },
            // Half of the 486 ms the first printer took.
            [&] { m_bare->run("select * from Vehicle limit 10000"); }, Target{0, 243.0});
        m_rows.back().note = QStringLiteral("%1 pages; bare: reading the rows").arg(QPdfPageCount(pdf));
        measureHistoryPrint();
    }

    // The printing of the busiest vehicle's whole history into a PDF file, its jobs read as the
    // window reads them, beside the same lines drawn page by page by a bare QPdfWriter loop.
    void measureHistoryPrint()
    {
        const QString pdf = QDir::current().filePath(QStringLiteral("history.pdf"));
        const auto read = [&] {
            vantorel::data::Database db;
            return vantorel::PrintedHistory{m_facts.busyVehicle, {}, db.historyOf(m_facts.busyVehicle)};
        };
        long peakKb = 0;
        measure(
            QStringLiteral("print_history_%1_jobs").arg(m_facts.busyVehicleJobs), [] { resetPeakMemory(); },
            [&] {
                const vantorel::PrintedHistory history = read();
                QPrinter printer(QPrinter::HighResolution);
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(pdf);
                if (!vantorel::HistoryPrinter(history).print(printer))
                    throw std::runtime_error("the history could not be printed");
                peakKb = std::max(peakKb, peakMemoryKb());
            },
            [&] { drawHistoryBare(read(), QDir::current().filePath(QStringLiteral("bare.pdf"))); }, Target{});
        m_rows.back().note = QStringLiteral("%1 pages; bare: the same lines by a QPdfWriter loop").arg(QPdfPageCount(pdf));
        m_rows.push_back(Row{QStringLiteral("print_history_peak_memory"), double(peakKb) / 1024.0, std::nullopt,
                             Target{0, 150.0, QStringLiteral("MB")}, QStringLiteral("peak resident size while printing")});
    }

    // Each job's lines, drawn one under another onto pages of the same size and font.
    static void drawHistoryBare(const vantorel::PrintedHistory& history, const QString& path)
    {
        QPdfWriter writer(path);
        writer.setResolution(1200);
        QPainter painter(&writer);
        painter.setFont(vantorel::printing::bodyFont());
        const qreal line = QFontMetricsF(painter.font(), &writer).height() * 1.35;
        const qreal bottom = writer.height() - 3 * line;
        qreal top = 0;
        const auto draw = [&](const QString& text) {
            if (top > bottom) {
                writer.newPage();
                top = 0;
            }
            painter.drawText(QPointF(0, top + line), text);
            top += line;
        };
        for (const vantorel::data::HistoryJob& entry : history.jobs) {
            draw(entry.job.date + QStringLiteral("    ") + entry.job.startTime + QStringLiteral(" to ") + entry.job.stopTime);
            draw(QStringLiteral("Mechanic: ") + entry.job.mechanicId + QStringLiteral("    Location: ") + entry.job.location);
            draw(QStringLiteral("Comments: ") + entry.job.comments);
            top += line;
        }
    }

    // A vehicle whose every field holds 10 MB, with one job whose comments hold 10 MB, through
    // each window that shows them. The counterpart here is the program's own store call, reading
    // the values into memory, so the difference is what the window adds to show them.
    void measureBigValues()
    {
        const QString big(10 * 1024 * 1024, QLatin1Char('w'));
        const QString number = QStringLiteral("big-") + QString::number(QDateTime::currentMSecsSinceEpoch());
        {
            vantorel::data::Database db;
            db.append(vantorel::data::Vehicle{number, big, big, big, big, big, big, big});
            db.append(vantorel::data::Job{number, m_facts.mechanicId, big, QStringLiteral("1/2/26"),
                                          QStringLiteral("08:00:00"), QStringLiteral("09:00:00"), big});
        }
        const auto note = [this] { m_rows.back().note = QStringLiteral("beside: the program's own store call"); };
        frmMain* frame = openFrame(false);
        QWidget* servicing = openChild(frame, "mnuServiceVehicle", "frmServicing");
        WindowDriver::type(servicing, "txtVehicleNumber", number);
        measure(QStringLiteral("retrieve_10mb_vehicle"), [] {}, [&] { WindowDriver::click(servicing, "cmdViewHistory"); },
                [&] { vantorel::data::Database().firstVehicle(number); }, kBigValue);
        note();

        QWidget* history = openChild(frame, "mnuRepairHistory", "frmRepairHistory");
        auto* dates = qobject_cast<QAbstractItemView*>(WindowDriver::find(history, "lstRepairDates"));
        QList<vantorel::data::JobKey> jobs;
        measure(
            QStringLiteral("select_10mb_comment"),
            [&] {
                WindowDriver::click(history, "cmdClear");
                WindowDriver::type(history, "txtVehicleNumber", number);
                WindowDriver::click(history, "cmdShowHistory");
                jobs = vantorel::data::Database().jobsOf(number);
            },
            [&] { dates->setCurrentIndex(dates->model()->index(0, 0)); },
            [&] { vantorel::data::Database().firstJob(jobs.value(0)); }, kBigValue);
        note();

        QWidget* generator = openChild(frame, "mnuCreateReport", "frmReportGen");
        const vantorel::data::ReportCondition byNumber{vantorel::data::ReportField::VNumber, number, false};
        measureReport(frame, generator, QStringLiteral("report_10mb_vehicle"), {QStringLiteral("Vehicle Number")},
                      {number}, [&] {
                          vantorel::data::Database db;
                          vantorel::data::reportColumns(db, vantorel::data::ReportTable::Vehicle, {byNumber});
                      },
                      kBigValue);
        note();
        measureReport(frame, generator, QStringLiteral("manager_refusal_10mb"), {QStringLiteral("Manager?")}, {big},
                      [] {}, kBigValue);
        m_rows.back().note = QStringLiteral("no store work: the refusal alone");
        frame->close();
        // Gone again, so the later rows (the report's memory) measure the synthetic fleet alone.
        m_bare->run("delete from Vehicle where VNumber = ?", {number});
        m_bare->run("delete from Servicing where VNumber = ?", {number});
    }

    std::unique_ptr<BareStore> m_bare;
    FleetFacts m_facts;
    int m_runs;
    WindowDriver m_driver;
    QStringList m_lastMessages;
    std::vector<Row> m_rows;
};

// The child process of the cold-start measurement: what the program does up to its first window.
int coldStartChild(int argc, char* argv[])
{
    QApplication app(argc, argv);
    vantorel::frmLogin login;
    login.show();
    return QTest::qWaitForWindowExposed(&login) ? 0 : 1;
}

Row measureColdStart(int runs)
{
    std::vector<double> ours;
    std::vector<double> theirs;
    for (int run = 0; run < runs; ++run) {
        QProcess child;
        ours.push_back(timeBare([&] {
            child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--cold-start-child")});
            child.waitForFinished(30000);
        }));
        theirs.push_back(timeBare([&] {
            child.start(QStringLiteral("/bin/true"), {});
            child.waitForFinished(30000);
        }));
    }
    return Row{QStringLiteral("cold_start"), median(ours), median(theirs), Target{0, 300.0},
               QStringLiteral("process start to the log-in window shown; bare: starting /bin/true")};
}


// The child process of the memory measurement: one "All Vehicles" report in a fresh process.
// The program as a user runs it: the log-in window, a log-in, the frame, the report on show.
int reportMemoryChild(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    auto* login = new vantorel::frmLogin;
    login->show();
    WindowDriver::type(login, "txtEmpID", arguments.value(2));
    WindowDriver::type(login, "txtPassword", arguments.value(3));
    WindowDriver::click(login, "cmdSubmit");
    WindowDriver::settle();
    frmMain* frame = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* shown = qobject_cast<frmMain*>(top))
            frame = shown;
    }
    if (!frame)
        return 1;
    // The peak from here on: the log-in's password hash borrows 64 MB for a moment on purpose.
    if (!resetPeakMemory())
        return 1;
    frame->findChild<QAction*>(QStringLiteral("mnuCreateReport"))->trigger();
    WindowDriver::settle();
    QWidget* generator = WindowDriver::find(frame, "frmReportGen");
    WindowDriver::choose(generator, "cboCriteria1", QStringLiteral("All Vehicles"));
    WindowDriver::click(generator, "cmdGenerate");
    WindowDriver::settle();
    WindowDriver::find(frame, "frmReportResults");
    QTextStream(stdout) << peakMemoryKb() << '\n';
    return 0;
}

Row measureReportMemory(const QString& folder, const FleetFacts& facts)
{
    QProcess child;
    child.setWorkingDirectory(folder);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--report-memory-child"), facts.managerId, facts.password});
    child.waitForFinished(120000);
    const double megabytes = child.readAllStandardOutput().trimmed().toDouble() / 1024.0;
    return Row{QStringLiteral("report_peak_memory"), megabytes, std::nullopt, Target{0, 150.0, QStringLiteral("MB")},
               QStringLiteral("peak resident size from log-in on, with the all-vehicles report on show")};
}

void print(const std::vector<Row>& rows)
{
    QTextStream out(stdout);
    out << QStringLiteral("%1 %2 %3 %4  %5\n").arg(QStringLiteral("action"), -26).arg(QStringLiteral("vantorel"), 10)
               .arg(QStringLiteral("bare"), 10).arg(QStringLiteral("ratio"), 7).arg(QStringLiteral("target"));
    for (const Row& row : rows) {
        const QString verdict = !row.hasTarget()
            ? QStringLiteral("-")
            : (row.meetsTarget() ? QStringLiteral("met") : QStringLiteral("MISSED"));
        out << QStringLiteral("%1 %2 %3 %4  %5  %6\n")
                   .arg(row.action, -26)
                   .arg(QStringLiteral("%1 %2").arg(row.vantorel, 0, 'f', 2).arg(row.target.unit), 10)
                   .arg(row.bare ? QString::number(*row.bare, 'f', 2) : QStringLiteral("-"), 10)
                   .arg(row.ratio() ? QString::number(*row.ratio(), 'f', 2) : QStringLiteral("-"), 7)
                   .arg(verdict, row.note);
    }
    out << '\n';
    for (const Row& row : rows) {
        out << "action=" << row.action << (row.target.unit == QLatin1String("MB") ? " vantorel_mb=" : " vantorel_ms=")
            << QString::number(row.vantorel, 'f', 3)
            << " bare_ms=" << (row.bare ? QString::number(*row.bare, 'f', 3) : QStringLiteral("na"))
            << " ratio=" << (row.ratio() ? QString::number(*row.ratio(), 'f', 3) : QStringLiteral("na"))
            << " target=" << (!row.hasTarget() ? "none" : row.meetsTarget() ? "met" : "missed")
            << '\n';
    }
}

// The moves of records in bulk, from the Jet file `jet`, as rows of the table.
std::vector<Row> importRows(const QString& jet, const QByteArray& serverUri, int runs)
{
    std::vector<Row> rows;
    const QString setup = QCoreApplication::applicationDirPath() + QStringLiteral("/../vantorel-setup");
    for (const bench::ImportTiming& timing : bench::timeImports(setup, jet, serverUri, runs))
        rows.push_back(Row{timing.action, timing.vantorel, timing.bare,
                           Target{timing.maxRatio, timing.maxAbsolute, timing.unit}, timing.note});
    return rows;
}

} // namespace

// The offscreen platform warns about every window it cannot size like a desktop would.
void quietOffscreenWarnings(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (!message.contains(QLatin1String("propagateSizeHints")))
        QTextStream(stderr) << (type == QtWarningMsg ? "warning: " : "") << message << '\n';
}

int main(int argc, char* argv[])
{
    qInstallMessageHandler(quietOffscreenWarnings);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const QStringList arguments(argv + 1, argv + argc);
    if (arguments.contains(QStringLiteral("--cold-start-child")))
        return coldStartChild(argc, argv);
    if (arguments.contains(QStringLiteral("--report-memory-child")))
        return reportMemoryChild(argc, argv);

    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Times Vantorel's user actions against bare SQLite or libpq."));
    parser.addHelpOption();
    const QCommandLineOption runs(QStringLiteral("runs"), QStringLiteral("Runs per action (median)."),
                                  QStringLiteral("n"), QStringLiteral("7"));
    const QCommandLineOption small(QStringLiteral("small"), QStringLiteral("A fleet a hundred times smaller."));
    const QCommandLineOption folder(QStringLiteral("folder"), QStringLiteral("Where to make Vantorel.mdb."),
                                    QStringLiteral("dir"));
    const QCommandLineOption scale(QStringLiteral("scale"),
                                   QStringLiteral("A fleet this many times larger; one vehicle then holds all its "
                                                  "busy jobs (--scale 10: 1,000,000 vehicles, 10,000,000 jobs, "
                                                  "one vehicle with 100,000)."),
                                   QStringLiteral("n"), QStringLiteral("1"));
    const QCommandLineOption only(QStringLiteral("only"),
                                  QStringLiteral("Time only these groups of actions, separated by commas: log-in, "
                                                 "servicing, repair history, records, reports, printing, big values, "
                                                 "cold start, memory; or imports alone, which needs --jet."),
                                  QStringLiteral("group"));
    const QCommandLineOption server(QStringLiteral("server"),
                                    QStringLiteral("Move the fleet to this empty PostgreSQL database (a connection "
                                                   "URI) and time the actions there, beside bare libpq."),
                                    QStringLiteral("uri"));
    const QCommandLineOption jet(QStringLiteral("jet"),
                                 QStringLiteral("The Jet file the imports group converts (and, as CSV, appends)."),
                                 QStringLiteral("file"));
    parser.addOptions({runs, small, scale, folder, only, server, jet});
    parser.process(app);
    if (parser.value(only) == QLatin1String("imports")) {
        if (!parser.isSet(jet))
            parser.showHelp(1);
        print(importRows(parser.value(jet), parser.value(server).toUtf8(), parser.value(runs).toInt()));
        return 0;
    }

    QTemporaryDir scratch;
    const QString where = parser.isSet(folder) ? parser.value(folder) : scratch.path();
    QDir().mkpath(where);
    QDir::setCurrent(where);
    const QString path = QDir(where).filePath(QStringLiteral("Vantorel.mdb"));

    bench::FleetSize size;
    if (const int times = parser.value(scale).toInt(); times > 1) {
        size = bench::FleetSize{size.users * times, size.vehicles * times, size.jobs * times, 1,
                                size.jobsPerBusyVehicle * times};
    }
    if (parser.isSet(small))
        size = bench::FleetSize{100, 1000, 10000, 2, 1000};
    QTextStream out(stdout);
    QElapsedTimer clock;
    clock.start();
    const bench::FleetFacts facts = bench::makeSyntheticFleet(path, size);
    out << QStringLiteral("synthetic fleet: %1 users, %2 vehicles, %3 jobs in %4 s (%5 MB)\n\n")
               .arg(size.users).arg(size.vehicles).arg(size.jobs)
               .arg(double(clock.elapsed()) / 1000.0, 0, 'f', 1)
               .arg(double(QFileInfo(path).size()) / 1048576.0, 0, 'f', 0);
    out.flush();
    if (parser.isSet(server)) {
        clock.restart();
        const QByteArray uri = parser.value(server).toUtf8();
        vantorel::transfer::Progress quiet;
        vantorel::transfer::copyToServer(path, {uri}, quiet);
        out << QStringLiteral("moved to the server in %1 s\n\n").arg(double(clock.elapsed()) / 1000.0, 0, 'f', 1);
        out.flush();
    }

    try {
        const QString group = parser.value(only);
        std::vector<Row> rows = Bench(path, facts, parser.value(runs).toInt()).runAll(group);
        if (wanted(group, QStringLiteral("cold start")))
            rows.push_back(measureColdStart(parser.value(runs).toInt()));
        if (wanted(group, QStringLiteral("memory")))
            rows.push_back(measureReportMemory(where, facts));
        print(rows);
    } catch (const std::exception& error) {
        QTextStream(stderr) << "vantorel-bench: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
