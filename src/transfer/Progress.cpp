#include "transfer/Progress.h"

#include "data/StoreError.h"

#include <QLocale>

#include <csignal>
#include <unistd.h>

namespace vantorel::transfer {

namespace {

// The one thing a signal handler may touch is a flag of this kind, so it lives here, set by the
// handler and read by the work between records.
volatile std::sig_atomic_t stopRequested = 0;

extern "C" void requestStop(int)
{
    stopRequested = 1;
}

} // namespace

QString groupedNumber(qint64 number)
{
    return QLocale(QLocale::English).toString(number);
}

Progress::Progress(std::FILE* terminal)
    : m_terminal(terminal)
    , m_shown(isatty(fileno(terminal)) != 0)
{
}

Progress::~Progress()
{
    end();
}

void Progress::stopOnSignals()
{
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
}

void Progress::begin(const QString& step, qint64 total)
{
    m_step = step;
    m_total = total;
    m_stepClock.start();
    m_lastShownMs = -1;
    advance(0);
}

void Progress::advance(qint64 done)
{
    if (stopRequested)
        throw data::StoreError(QStringLiteral("Stopped before the end; nothing was changed."), QString());
    if (!m_shown)
        return;
    const qint64 now = m_stepClock.elapsed();
    if (m_lastShownMs < 0 || now - m_lastShownMs >= 200 || done == m_total) {
        m_lastShownMs = now;
        show(done);
    }
}

void Progress::end()
{
    if (m_lineOnShow)
        std::fputs("\r\033[K", m_terminal);
    m_lineOnShow = false;
}

void Progress::show(qint64 done)
{
    const double seconds = double(m_stepClock.elapsed()) / 1000.0;
    const QString rate = seconds > 0.05 ? QStringLiteral(", %1 a second").arg(groupedNumber(qint64(double(done) / seconds)))
                                        : QString();
    const QString line = QStringLiteral("\r\033[K%1: %2 of %3%4").arg(m_step, groupedNumber(done), groupedNumber(m_total), rate);
    std::fputs(line.toLocal8Bit().constData(), m_terminal);
    m_lineOnShow = true;
    std::fflush(m_terminal);
}

} // namespace vantorel::transfer
