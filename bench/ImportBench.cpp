#include "ImportBench.h"

#include "data/Schema.h"
#include "data/ServerStore.h"
#include "data/LinkFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace bench {

namespace {

struct ToolRun {
    double ms = 0;
    double hashingMs = 0;
    double peakBeyondHashingMb = 0;
};

// The tables as setup makes them, for the bare side: on the file, and on the server with its
// identity column; their indexes are made after the records, as the import makes them.
const char* const kFileTables = "create table Person (IDNumber text, LName text, FName text, Address text, "
                                "Telephone text, Password text, Manager integer);"
                                "create table Vehicle (VNumber text, ContractNumber text, License text, Make text, "
                                "Model text, Color text, Year text, DatePurchased text);"
                                "create table Servicing (VNumber text, IDNumber text, Location text, \"Date\" text, "
                                "StartTime text, StopTime text, Comments text);";
const char* const kFileIndexes = "create index PersonByID on Person (IDNumber);"
                                 "create index VehicleByNumber on Vehicle (VNumber);"
                                 "create index ServicingByVehicleDate on Servicing (VNumber, \"Date\");";
const char* const kServerIdentity = " StoredOrder bigint generated always as identity primary key";
const char* const kServerIndexes = "create index PersonByID1 on Person using hash (IDNumber);"
                                   "create index VehicleByNumber1 on Vehicle using hash (VNumber);"
                                   "create index ServicingByVehicleDate1 on Servicing using hash (VNumber);"
                                   "create index ServicingByVehicleDate2 on Servicing using hash (\"Date\");";
const char* const kTables[] = {"Person", "Vehicle", "Servicing"};
const char* const kFields[] = {"IDNumber,LName,FName,Address,Telephone,Password,Manager",
                               "VNumber,ContractNumber,License,Make,Model,Color,Year,DatePurchased",
                               "VNumber,IDNumber,Location,\"Date\",StartTime,StopTime,Comments"};

QString serverTables()
{
    QString tables = QString::fromLatin1(kFileTables).replace(QStringLiteral(" integer);"), QStringLiteral(" integer,%1);"))
                         .replace(QStringLiteral(" text);"), QStringLiteral(" text,%1);"));
    return tables.arg(QString::fromLatin1(kServerIdentity));
}

long residentKb(pid_t pid)
{
    QFile statm(QStringLiteral("/proc/%1/statm").arg(pid));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    return statm.readAll().split(' ').value(1).toLong() * (sysconf(_SC_PAGESIZE) / 1024);
}

// Runs the setup tool on a terminal of its own, so that it shows its progress, sampling its
// resident size every few milliseconds outside the steps that hash or verify passwords.
ToolRun runTool(const QString& setup, const QString& folder, const QStringList& arguments)
{
    std::vector<QByteArray> words{QFile::encodeName(setup)};
    for (const QString& argument : arguments)
        words.push_back(argument.toUtf8());
    std::vector<char*> argv;
    for (QByteArray& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const QByteArray where = QFile::encodeName(folder);
    QElapsedTimer clock;
    clock.start();
    int terminal = -1;
    const pid_t pid = forkpty(&terminal, nullptr, nullptr, nullptr);
    if (pid == 0) {
        if (chdir(where.constData()) == 0)
            execv(argv[0], argv.data());
        _exit(127);
    }
    QByteArray shown;
    bool hashing = false;
    long peakKb = 0;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        pollfd ready{terminal, POLLIN, 0};
        if (poll(&ready, 1, 2) > 0) {
            char bytes[4096];
            const ssize_t size = read(terminal, bytes, sizeof bytes);
            if (size > 0) {
                shown.append(bytes, size);
                const QByteArray step = shown.mid(shown.lastIndexOf('\r'));
                hashing = step.contains("passwords");
            }
        }
        if (!hashing)
            peakKb = std::max(peakKb, residentKb(pid));
    }
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    char bytes[4096];
    for (ssize_t size; (size = read(terminal, bytes, sizeof bytes)) > 0;)
        shown.append(bytes, size);
    close(terminal);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        qFatal("vantorel-setup %s failed: %s", qPrintable(arguments.join(u' ')), shown.constData());
    ToolRun run{ms, 0, double(peakKb) / 1024.0};
    static const QRegularExpression hashingTook(QStringLiteral("verifying took ([0-9.]+) s"));
    for (const auto& match : hashingTook.globalMatch(QString::fromUtf8(shown)))
        run.hashingMs += match.captured(1).toDouble() * 1000.0;
    return run;
}

double runShell(const QString& script)
{
    QElapsedTimer clock;
    clock.start();
    QProcess shell;
    shell.start(QStringLiteral("bash"), {QStringLiteral("-c"), QStringLiteral("set -euo pipefail\n") + script});
    if (!shell.waitForFinished(-1) || shell.exitCode() != 0)
        qFatal("bare pipeline failed: %s\n%s", qPrintable(script), shell.readAllStandardError().constData());
    return double(clock.nsecsElapsed()) / 1e6;
}

QString quoted(const QString& text)
{
    return u'\'' + QString(text).replace(u'\'', QStringLiteral("'\\''")) + u'\'';
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Setup's import, less its hashing, beside the bare pipeline, each timed `runs` times in fresh folders.
struct Measured {
    std::vector<double> vantorel, hashing, bare, peakMb;
};

class Imports {
public:
    Imports(QString setup, QString jet, QByteArray uri)
        : m_setup(std::move(setup))
        , m_jet(std::move(jet))
        , m_uri(std::move(uri))
    {
        runShell(QStringLiteral("mdb-export %1 Servicing > %2").arg(quoted(m_jet), quoted(csv())));
    }

    void jetToFile(Measured& m)
    {
        const QString into = fresh();
        const ToolRun run = runTool(m_setup, into, {QStringLiteral("--import"), m_jet});
        record(m, run);
        QFile::remove(converted());
        QFile::copy(into + QStringLiteral("/Vantorel.mdb"), converted());
        const QString bare = fresh() + QStringLiteral("/bare.db");
        QString script = QStringLiteral("sqlite3 %1 %2\n").arg(quoted(bare), quoted(QString::fromLatin1(kFileTables)));
        for (const char* table : kTables)
            script += QStringLiteral("mdb-export %1 %2 | sqlite3 %3 '.import --csv --skip 1 /dev/stdin %2'\n")
                          .arg(quoted(m_jet), QLatin1String(table), quoted(bare));
        m.bare.push_back(runShell(script + QStringLiteral("sqlite3 %1 %2\n").arg(quoted(bare), quoted(QString::fromLatin1(kFileIndexes)))));
    }

    void csvToFile(Measured& m)
    {
        const QString into = fresh();
        vantorel::data::createDatabaseFile(into + QStringLiteral("/Vantorel.mdb"));
        record(m, runTool(m_setup, into, {QStringLiteral("--import-csv"), QStringLiteral("Servicing"), csv()}));
        const QString bare = fresh() + QStringLiteral("/Vantorel.mdb");
        vantorel::data::createDatabaseFile(bare);
        m.bare.push_back(runShell(QStringLiteral("sqlite3 %1 '.import --csv --skip 1 %2 Servicing'").arg(quoted(bare), csv())));
    }

    void jetToServer(Measured& m)
    {
        emptyServer();
        record(m, runTool(m_setup, fresh(), {QStringLiteral("--import"), m_jet, QStringLiteral("--server"), uri()}));
        emptyServer();
        QString script = psql(serverTables());
        for (int i = 0; i < 3; ++i)
            script += QStringLiteral("mdb-export %1 %2 | %3").arg(quoted(m_jet), QLatin1String(kTables[i]), copyIn(i));
        m.bare.push_back(runShell(script + psql(QString::fromLatin1(kServerIndexes))));
    }

    void csvToServer(Measured& m)
    {
        emptyServer();
        const QString into = fresh();
        vantorel::data::createServerStore({m_uri}, {});
        vantorel::data::writeLinkFile(into + QStringLiteral("/Vantorel.mdb"), m_uri);
        record(m, runTool(m_setup, into, {QStringLiteral("--import-csv"), QStringLiteral("Servicing"), csv()}));
        emptyServer();
        vantorel::data::createServerStore({m_uri}, {});
        m.bare.push_back(runShell(QStringLiteral("%1 < %2").arg(copyIn(2).trimmed(), csv())));
    }

    void fileToServer(Measured& m)
    {
        emptyServer();
        const QString into = fresh();
        QFile::copy(converted(), into + QStringLiteral("/Vantorel.mdb"));
        record(m, runTool(m_setup, into, {QStringLiteral("--copy-to"), uri()}));
        emptyServer();
        QString script = psql(serverTables());
        for (int i = 0; i < 3; ++i)
            script += QStringLiteral("sqlite3 -csv -header %1 'select %2 from %3 order by rowid' | %4")
                          .arg(quoted(converted()), QLatin1String(kFields[i]), QLatin1String(kTables[i]), copyIn(i));
        m.bare.push_back(runShell(script + psql(QString::fromLatin1(kServerIndexes))));
    }

private:
    static void record(Measured& m, const ToolRun& run)
    {
        m.vantorel.push_back(run.ms - run.hashingMs);
        m.hashing.push_back(run.hashingMs);
        m.peakMb.push_back(run.peakBeyondHashingMb);
    }

    QString fresh()
    {
        const QString folder = m_scratch.filePath(QString::number(++m_folders));
        QDir().mkpath(folder);
        return folder;
    }
    QString csv() const { return m_scratch.filePath(QStringLiteral("servicing.csv")); }
    QString converted() const { return m_scratch.filePath(QStringLiteral("converted.mdb")); }
    QString uri() const { return QString::fromUtf8(m_uri); }
    QString psql(const QString& sql) const
    {
        return QStringLiteral("psql -q -v ON_ERROR_STOP=1 %1 -c %2 > /dev/null\n").arg(quoted(uri()), quoted(sql));
    }
    QString copyIn(int table) const
    {
        return psql(QStringLiteral("\\copy %1 (%2) from stdin with (format csv, header)")
                        .arg(QLatin1String(kTables[table]), QLatin1String(kFields[table])));
    }
    void emptyServer() const { runShell(psql(QStringLiteral("drop table if exists Person, Vehicle, Servicing"))); }

    QString m_setup;
    QString m_jet;
    QByteArray m_uri;
    QTemporaryDir m_scratch;
    int m_folders = 0;
};

ImportTiming row(const QString& action, const Measured& m, const QString& note)
{
    return ImportTiming{action, median(m.vantorel), median(m.bare), 1.5, 0, QStringLiteral("ms"), note};
}

} // namespace

std::vector<ImportTiming> timeImports(const QString& setup, const QString& jet, const QByteArray& serverUri, int runs)
{
    Imports imports(setup, jet, serverUri);
    Measured jetFile, csvFile, jetServer, csvServer, fileServer;
    for (int run = 0; run < runs; ++run) {
        imports.jetToFile(jetFile);
        imports.csvToFile(csvFile);
        if (!serverUri.isEmpty()) {
            imports.jetToServer(jetServer);
            imports.csvToServer(csvServer);
            imports.fileToServer(fileServer);
        }
    }
    const double total = median(jetFile.vantorel) + median(jetFile.hashing);
    std::vector<ImportTiming> rows = {
        row(QStringLiteral("import_jet_file"), jetFile, QStringLiteral("less hashing; bare: mdb-export | sqlite3 .import")),
        ImportTiming{QStringLiteral("import_jet_file_hashing"), median(jetFile.hashing), std::nullopt, 0, 0,
                     QStringLiteral("ms"), QStringLiteral("argon2id hashing and verifying, every core at once")},
        ImportTiming{QStringLiteral("import_jet_file_total"), total, std::nullopt, 0, 10000, QStringLiteral("ms"),
                     QStringLiteral("the whole conversion; the 10 s target is for a million jobs")},
        ImportTiming{QStringLiteral("import_peak_memory"), *std::max_element(jetFile.peakMb.begin(), jetFile.peakMb.end()),
                     std::nullopt, 0, 100, QStringLiteral("MB"), QStringLiteral("resident, outside the hashing steps")},
        row(QStringLiteral("import_csv_file"), csvFile, QStringLiteral("the jobs as CSV; bare: sqlite3 .import")),
    };
    if (!serverUri.isEmpty()) {
        rows.push_back(row(QStringLiteral("import_jet_server"), jetServer, QStringLiteral("less hashing; bare: mdb-export | psql \\copy")));
        rows.push_back(row(QStringLiteral("import_csv_server"), csvServer, QStringLiteral("bare: psql \\copy")));
        rows.push_back(row(QStringLiteral("copy_to_server"), fileServer, QStringLiteral("bare: sqlite3 -csv | psql \\copy")));
    }
    return rows;
}

} // namespace bench
