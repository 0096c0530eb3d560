#include "transfer/Passwords.h"

#include "data/Credentials.h"
#include "transfer/Progress.h"

#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace vantorel::transfer {

namespace {

// Runs `work(i)` for every i below `count` on every core; the progress is shown, and a stop asked
// for, on this thread only. The first failure of any thread is thrown here.
void onEveryCore(qsizetype count, const std::function<void(qsizetype)>& work, Progress& progress)
{
    std::atomic<qsizetype> next{0};
    std::atomic<qsizetype> done{0};
    std::atomic<bool> stopping{false};
    std::exception_ptr failure;
    std::mutex failureLock;
    const auto worker = [&] {
        for (qsizetype i; !stopping && (i = next++) < count; ++done) {
            try {
                work(i);
            } catch (...) {
                const std::lock_guard lock(failureLock);
                failure = failure ? failure : std::current_exception();
                stopping = true;
            }
        }
    };
    std::vector<std::thread> threads;
    for (unsigned i = 0; i < std::max(1u, std::thread::hardware_concurrency()); ++i)
        threads.emplace_back(worker);
    try {
        while (done < count && !stopping) {
            progress.advance(done);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    } catch (...) {
        stopping = true;
        failure = std::current_exception();
    }
    for (std::thread& thread : threads)
        thread.join();
    if (failure)
        std::rethrow_exception(failure);
    progress.advance(count);
}

} // namespace

void hashAll(QList<QString>& passwords, Progress& progress)
{
    onEveryCore(passwords.size(), [&](qsizetype i) { passwords[i] = data::hashPassword(passwords.at(i)); }, progress);
}

bool allVerify(const QList<std::pair<QString, QString>>& typedAndStored, Progress& progress)
{
    std::atomic<bool> all{true};
    onEveryCore(
        typedAndStored.size(),
        [&](qsizetype i) {
            const auto& [typed, stored] = typedAndStored.at(i);
            if (!data::passwordMatches(stored, typed))
                all = false;
        },
        progress);
    return all;
}

} // namespace vantorel::transfer
