// A second process for the fault suite: appends maintenance jobs through the program's own store
// code, one per action, until it is killed or the store refuses. Job n has every field derived
// from n, so a reader can tell a whole record from a torn one. Prints n after each saved job.
//
//   vantorel-fault-appender FIRST [FILE_SIZE_LIMIT [COMMENT_BYTES]]

#include "data/Database.h"
#include "data/StoreError.h"

#include <QCoreApplication>
#include <QTextStream>

#include <csignal>
#include <sys/resource.h>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2)
        return 2;
    long long n = arguments.at(1).toLongLong();
    if (arguments.size() > 2) {
        // Past the limit a write fails as on a full disk; the signal would end the process instead.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlim_t limit = arguments.at(2).toULongLong();
        const rlimit size{limit, limit};
        setrlimit(RLIMIT_FSIZE, &size);
    }
    const int commentBytes = arguments.size() > 3 ? arguments.at(3).toInt() : 16;

    QTextStream out(stdout);
    for (;; ++n) {
        const QString tag = QString::number(n);
        try {
            vantorel::data::Database().append(vantorel::data::Job{
                QStringLiteral("V") + tag, QStringLiteral("M") + tag, QStringLiteral("L") + tag,
                QStringLiteral("D") + tag, QStringLiteral("S") + tag, QStringLiteral("T") + tag,
                QStringLiteral("C") + tag + QString(commentBytes, QLatin1Char('x'))});
        } catch (const vantorel::data::StoreError& error) {
            out << "refused " << tag << ' ' << error.message().simplified() << Qt::endl;
            return 3;
        }
        out << tag << Qt::endl;
    }
}
