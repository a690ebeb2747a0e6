// Helper threads that only speed work up: the work still gets done, on a
// signal stack of its own, and a system that cannot start another thread
// does not end the program.

#include "platform/HelperThread.h"
#include "platform/ProcessMemory.h"

#include <QtTest>

#include <csignal>
#include <cstring>
#include <fstream>
#include <mutex>
#include <system_error>
#include <thread>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

class HelperThreadTest : public QObject {
    Q_OBJECT

    // The bytes of address space this process holds now.
    static rlim_t addressSpace()
    {
        std::ifstream statm("/proc/self/statm");
        unsigned long pages = 0;
        statm >> pages;
        return static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE));
    }

private slots:
    // With the address space used up, no thread stack can be mapped: the
    // page taker then starts no helper, and the write it was to speed up
    // still works. Run in a child, whose limit leaves this process alone.
    void pagesAreTakenOnTheWriterWhenNoThreadCanStart()
    {
        std::vector<char> buffer(1 << 20, 'x');
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            const rlimit limit = {addressSpace() + (1 << 20), RLIM_INFINITY};
            setrlimit(RLIMIT_AS, &limit);
            // The stacks of the parent's other threads are free for reuse in
            // this child: threads that wait take them up first.
            std::mutex hold;
            hold.lock();
            std::vector<std::thread> waiting;
            for (int i = 0; i < 64; ++i) {
                try {
                    waiting.emplace_back([&hold] { std::lock_guard<std::mutex> wait(hold); });
                } catch (const std::system_error&) {
                    break;
                }
            }
            bool helped = true;
            {
                PageTaker taker(buffer.data(), buffer.size());
                helped = taker.running();
                std::memset(buffer.data(), 7, buffer.size());
            }
            hold.unlock();
            for (std::thread& thread : waiting)
                thread.join();
            _exit(helped ? 3 : buffer.back() == 7 ? 0 : 4);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY2(WIFEXITED(status), "the child was ended by a signal");
        QCOMPARE(WEXITSTATUS(status), 0);
    }

    void helperRunsOnASignalStackOfItsOwn()
    {
        stack_t seen = {};
        bool ran = false;
        {
            HelperThread helper([&] {
                sigaltstack(nullptr, &seen);
                ran = true;
            });
            QVERIFY(helper.running());
        }
        QVERIFY(ran);
        QVERIFY(!(seen.ss_flags & SS_DISABLE));
        QCOMPARE(seen.ss_size, ThreadSignalStack::StackBytes);
    }
};

QTEST_GUILESS_MAIN(HelperThreadTest)
#include "HelperThreadTest.moc"
