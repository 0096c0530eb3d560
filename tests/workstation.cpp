// Another workstation for the fault and several-workstation suites: works on the folder's store
// through the program's own store code, one action at a time, as a second program would.
//
//   vantorel-workstation ROLE FIRST COUNT
//
// ROLE jobs, vehicles or users appends records FIRST, FIRST+1... (COUNT of them, or until killed
// or refused when COUNT is 0), every field of record n derived from n, so a reader can tell a
// whole record from a torn one; it prints n after each saved record, and "refused n ..." and
// exits 3 when the store refuses. ROLE reader, COUNT times, lists the jobs of the next vehicle
// from FIRST on, finds each again, and lists both reports; it exits 4 at the first record that is
// not whole.

#include "data/Database.h"
#include "data/ReportQuery.h"
#include "data/StoreError.h"

#include <QCoreApplication>
#include <QTextStream>


using namespace vantorel::data;

namespace {

struct Options {
    QString role;
    qint64 first = 1;
    qint64 count = 0;
};

void append(Database& db, const Options& options, const QString& n)
{
    if (options.role == QLatin1String("vehicles"))
        db.append(Vehicle{QStringLiteral("V") + n, QStringLiteral("C") + n, QStringLiteral("L") + n, QStringLiteral("M") + n,
                          QStringLiteral("O") + n, QStringLiteral("K") + n, QStringLiteral("Y") + n, QStringLiteral("D") + n});
    else if (options.role == QLatin1String("users"))
        db.append(Person{QStringLiteral("U") + n, QStringLiteral("L") + n, QStringLiteral("F") + n, QStringLiteral("A") + n,
                         QStringLiteral("T") + n, QStringLiteral("P") + n, n.toLongLong() % 2 == 0});
    else
        db.append(Job{QStringLiteral("V") + n, QStringLiteral("M") + n, QStringLiteral("L") + n, QStringLiteral("D") + n,
                      QStringLiteral("S") + n, QStringLiteral("T") + n,
                      QStringLiteral("C") + n});
}

int appendRecords(const Options& options)
{
    QTextStream out(stdout);
    for (qint64 n = options.first; options.count == 0 || n < options.first + options.count; ++n) {
        const QString tag = QString::number(n);
        try {
            Database db;
            append(db, options, tag);
        } catch (const StoreError& error) {
            out << "refused " << tag << ' ' << error.message().simplified() << Qt::endl;
            return 3;
        }
        out << tag << Qt::endl;
    }
    return 0;
}

// Whether every entry of a listed row carries the same number after its one-letter prefix.
bool whole(const QList<TextColumn>& columns, qsizetype row)
{
    const QString n = columns.first().text(row).mid(1);
    for (const TextColumn& column : columns) {
        const QString entry = column.text(row);
        if (entry != QLatin1String("Yes") && entry != QLatin1String("No") && entry.mid(1) != n)
            return false;
    }
    return true;
}

int read(const Options& options)
{
    for (qint64 round = 0; round < options.count; ++round) {
        Database db;
        for (const JobKey& key : db.jobsOf(QStringLiteral("V") + QString::number(options.first + round))) {
            const std::optional<Job> job = db.firstJob(key);
            if (!job || job->mechanicId != QStringLiteral("M") + key.vehicleNumber.mid(1))
                return 4;
        }
        for (const ReportTable table : {ReportTable::Vehicle, ReportTable::Person}) {
            const QList<TextColumn> columns = reportColumns(db, table, {});
            for (qsizetype row = 0; row < columns.first().size(); ++row) {
                if (!whole(columns, row))
                    return 4;
            }
        }
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 4)
        return 2;
    const Options options{arguments.at(1), arguments.at(2).toLongLong(), arguments.at(3).toLongLong()};
    try {
        return options.role == QLatin1String("reader") ? read(options) : appendRecords(options);
    } catch (const StoreError& error) {
        QTextStream(stderr) << error.message() << '\n';
        return 5;
    }
}
