#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace bench {

// One measured import: the setup tool's time (less its password hashing, which is reported on a
// row of its own) beside the bare pipeline of Debian's own tools on the same file.
struct ImportTiming {
    QString action;
    double vantorel = 0;
    std::optional<double> bare;
    double maxRatio = 0;    // 0: no ratio target
    double maxAbsolute = 0; // 0: no absolute target
    QString unit;
    QString note;
};

// Times, medians of `runs`, the moves of records through vantorel-setup (`setup`) from the Jet
// file `jet`: the Jet file into a new file store (beside mdb-export | sqlite3 .import), its jobs as
// a CSV file appended to a store (beside sqlite3 .import), and with a server (`serverUri`, an
// empty database, emptied again between runs) the same into the server (beside psql \copy) and
// the file store copied there with --copy-to; and the import's peak memory beyond the hashing's.
std::vector<ImportTiming> timeImports(const QString& setup, const QString& jet, const QByteArray& serverUri, int runs);

} // namespace bench
