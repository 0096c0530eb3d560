#include "common/StoreAction.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <future>
#include <thread>

namespace vantorel {

namespace {

// How long an action may take before the windows are kept alive around it, and before the wait
// cursor shows.
constexpr std::chrono::milliseconds kShortAction{100};
constexpr int kWaitCursorAfterMs = 500;

// Drops every input a user gives while an action runs, and keeps every window open.
class InputHold : public QObject {
public:
    InputHold() { qApp->installEventFilter(this); }
    ~InputHold() override { qApp->removeEventFilter(this); }
    InputHold(const InputHold&) = delete;
    InputHold& operator=(const InputHold&) = delete;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::Close:
            return true;
        default:
            return false;
        }
    }
};

// Shows the wait cursor from half a second on, for as long as it lives.
class WaitCursor {
public:
    WaitCursor()
    {
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            m_shown = true;
        });
        m_timer.start(kWaitCursorAfterMs - int(kShortAction.count()));
    }
    ~WaitCursor()
    {
        if (m_shown)
            QApplication::restoreOverrideCursor();
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    QTimer m_timer;
    bool m_shown = false;
};

void keepWindowsAliveUntil(const std::future<void>& done)
{
    const InputHold hold;
    const WaitCursor cursor;
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (done.wait_for(std::chrono::seconds(0)) == std::future_status::ready)
            loop.quit();
    });
    check.start(10);
    loop.exec();
}

} // namespace

void runKeepingWindowsAlive(const std::function<void()>& action)
{
    std::packaged_task<void()> task(action);
    std::future<void> done = task.get_future();
    std::thread worker(std::move(task));
    if (done.wait_for(kShortAction) != std::future_status::ready && qApp)
        keepWindowsAliveUntil(done);
    worker.join();
    done.get(); // throws what the action threw
}

} // namespace vantorel
