#pragma once

#include <QElapsedTimer>
#include <QString>

#include <cstdio>

namespace vantorel::transfer {

// What long work shows while it runs: on a terminal one line, rewritten in place, naming the
// step, the records done of the total and the rate; elsewhere nothing. Each step also asks whether
// the user stopped the work (Ctrl+C, or a kill that can be caught): then it throws a StoreError
// and the work undoes itself as on any failure.
// A count as the summaries and the progress line show it: 200,000.
QString groupedNumber(qint64 number);

class Progress {
public:
    // Shown on `terminal` (standard error) when it is one.
    explicit Progress(std::FILE* terminal = stderr);
    // Takes its line away, also when the work ends in a failure, whose message then stands alone.
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    void begin(const QString& step, qint64 total);
    void advance(qint64 done);
    void end();

    // From now on Ctrl+C and a termination signal ask the work to stop instead of ending the
    // process where it stands.
    static void stopOnSignals();

private:
    void show(qint64 done);

    std::FILE* m_terminal;
    bool m_shown;
    bool m_lineOnShow = false;
    QString m_step;
    qint64 m_total = 0;
    QElapsedTimer m_stepClock;
    qint64 m_lastShownMs = -1;
};

} // namespace vantorel::transfer
