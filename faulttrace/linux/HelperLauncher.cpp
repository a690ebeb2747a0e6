#include "faulttrace/linux/HelperLauncher.h"

#include "faulttrace/linux/ChildProcess.h"
#include "faulttrace/linux/CrashState.h"
#include "faulttrace/linux/SafeIo.h"
#include "faulttrace/linux/SafeText.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace FTR {

namespace {

// Request block: "key\0value\0" pairs; crash context builds it in place.
char request[16 * 1024];

void addField(SafeText& text, const char* key, const char* value)
{
    text.add(key).addChar('\0');
    text.add(value).addChar('\0');
}

} // namespace

HelperLauncher::HelperLauncher(const CrashState& crashState)
    : state(crashState)
{
}

// Crash context.
bool HelperLauncher::lookupPublicAddress(char* out, size_t size)
{
    out[0] = '\0';
    if (!state.addressHost[0] || !state.helperPath[0])
        return false;
    char port[16];
    SafeText portText(port, sizeof port);
    portText.addDecimal(state.addressPort);
    char* argv[] = {const_cast<char*>(state.helperPath), const_cast<char*>("lookup"),
                    const_cast<char*>(state.addressHost), port, nullptr};
    int answer[2];
    if (pipe2(answer, O_CLOEXEC) < 0)
        return false;
    ChildProcess child;
    if (!child.start(state.helperPath, argv, -1, answer[1])) {
        safeClose(answer[0]);
        safeClose(answer[1]);
        return false;
    }
    safeClose(answer[1]);

    char received[300];
    size_t length = 0;
    const int64_t deadline = safeNowMs() + state.lookupWaitMs;
    for (;;) {
        const int64_t left = deadline - safeNowMs();
        if (left <= 0)
            break;
        pollfd p{answer[0], POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left)) <= 0)
            break;
        const ssize_t n = read(answer[0], received + length, sizeof received - 1 - length);
        if (n <= 0)
            break;
        length += static_cast<size_t>(n);
        if (length == sizeof received - 1)
            break;
    }
    safeClose(answer[0]);
    int exitCode = -1;
    const int64_t left = deadline - safeNowMs();
    if (!child.wait(left > 0 ? static_cast<int>(left) : 0, &exitCode) || exitCode != 0)
        return false;
    while (length && (received[length - 1] == '\n' || received[length - 1] == '\r'))
        --length;
    received[length] = '\0';
    safeCopy(out, size, received);
    return true;
}

// Crash context.
void HelperLauncher::packageAndNotify(const char* archiveName)
{
    SafeText text(request, sizeof request);
    char port[16];
    SafeText portText(port, sizeof port);
    portText.addDecimal(state.serverPort);
    addField(text, "dumpDir", state.dumpDir);
    addField(text, "archiveName", archiveName);
    addField(text, "serverAddress", state.serverAddress);
    addField(text, "serverPort", port);
    addField(text, "serverPath", state.serverPath);
    addField(text, "ftpUser", state.ftpUser);
    addField(text, "ftpPassword", state.ftpPassword);
    addField(text, "postmortem", state.postmortemPath);

    int input[2];
    if (!state.helperPath[0] || pipe2(input, O_CLOEXEC) < 0) {
        startPostmortemDirectly();
        return;
    }
    char* argv[] = {const_cast<char*>(state.helperPath), const_cast<char*>("package"), nullptr};
    ChildProcess child;
    if (!child.start(state.helperPath, argv, input[0], -1)) {
        safeClose(input[0]);
        safeClose(input[1]);
        startPostmortemDirectly();
        return;
    }
    safeClose(input[0]);
    // Far below a pipe's capacity, so this cannot block.
    safeWriteAll(input[1], text.data(), text.size());
    safeClose(input[1]);
    int exitCode = 0;
    child.wait(state.packageWaitMs, &exitCode);
}

// Crash context: without the helper, still hand the files to the post-mortem
// program, or remove them when it cannot be started either.
void HelperLauncher::startPostmortemDirectly()
{
    char* argv[] = {const_cast<char*>(state.postmortemPath), const_cast<char*>("-dump"), nullptr};
    ChildProcess child;
    if (!child.start(state.postmortemPath, argv, -1, -1)) {
        unlink("FaultTrace.txt");
        unlink("FaultTrace.DMP");
    }
}

} // namespace FTR
