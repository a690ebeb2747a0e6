#include "faulttrace/helper/CStackWalker.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cxxabi.h>
#include <elfutils/libdwfl.h>
#include <fstream>
#include <gelf.h>
#include <map>
#include <memory>
#include <sstream>
#include <sys/uio.h>

namespace FTR {

namespace {

struct WalkedProcess
{
    pid_t pid = 0;
    pid_t tid = 0;
    const CStackWalker::Registers* registers = nullptr;
    bool handedOut = false;
};

// Memory of the other process, read without stopping it: the crashed thread
// sits in its handler, and the frames above the interrupted stack pointer
// stay as they were.
bool readWord(Dwfl*, Dwarf_Addr address, Dwarf_Word* result, void* arg)
{
    const auto* process = static_cast<const WalkedProcess*>(arg);
    iovec local{result, sizeof *result};
    iovec remote{reinterpret_cast<void*>(address), sizeof *result};
    return process_vm_readv(process->pid, &local, 1, &remote, 1, 0) == static_cast<ssize_t>(sizeof *result);
}

pid_t nextThread(Dwfl*, void* arg, void** threadArg)
{
    auto* process = static_cast<WalkedProcess*>(arg);
    if (process->handedOut)
        return 0;
    process->handedOut = true;
    *threadArg = process;
    return process->tid;
}

bool getThread(Dwfl*, pid_t tid, void* arg, void** threadArg)
{
    auto* process = static_cast<WalkedProcess*>(arg);
    if (tid != process->tid)
        return false;
    *threadArg = process;
    return true;
}

bool initialRegisters(Dwfl_Thread* thread, void* threadArg)
{
    const auto* process = static_cast<const WalkedProcess*>(threadArg);
    const CStackWalker::Registers& r = *process->registers;
    Dwarf_Word words[17];
    for (size_t i = 0; i < r.size(); ++i)
        words[i] = r[i];
    if (!dwfl_thread_state_registers(thread, 0, 17, words))
        return false;
    dwfl_thread_state_register_pc(thread, words[16]);
    return true;
}

const Dwfl_Thread_Callbacks threadCallbacks = {nextThread, getThread, readWord, initialRegisters, nullptr, nullptr};

struct RawFrame
{
    uint64_t pc = 0;
    bool exact = false;
};

struct Walk
{
    std::vector<RawFrame> frames;
    // Executable mappings of the process, as [start, end).
    std::vector<std::pair<uint64_t, uint64_t>> code;
    uint64_t lastStack = 0;
};

std::vector<std::pair<uint64_t, uint64_t>> codeMappings(pid_t pid)
{
    std::vector<std::pair<uint64_t, uint64_t>> code;
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    std::string line;
    while (std::getline(maps, line)) {
        unsigned long long start = 0, end = 0;
        char perms[8] = {};
        if (std::sscanf(line.c_str(), "%llx-%llx %7s", &start, &end, perms) == 3 && perms[2] == 'x')
            code.emplace_back(start, end);
    }
    return code;
}

// A walk that has lost its way shows it: a return address outside all code,
// or a frame that is not above the one it returns to. It ends there.
int collectFrame(Dwfl_Frame* state, void* arg)
{
    auto* walk = static_cast<Walk*>(arg);
    Dwarf_Addr pc = 0;
    bool activation = false;
    if (!dwfl_frame_pc(state, &pc, &activation) || pc == 0)
        return DWARF_CB_ABORT;
    Dwarf_Word stack = 0;
    const bool haveStack = dwfl_frame_reg(state, 7, &stack) == 0;
    if (!walk->frames.empty()) {
        const uint64_t lookup = activation ? pc : pc - 1;
        const bool inCode = std::any_of(walk->code.begin(), walk->code.end(), [lookup](const auto& range) {
            return lookup >= range.first && lookup < range.second;
        });
        if (!inCode || (haveStack && stack <= walk->lastStack))
            return DWARF_CB_ABORT;
    }
    if (haveStack)
        walk->lastStack = stack;
    walk->frames.push_back({pc, activation});
    return walk->frames.size() < CStackWalker::MaxFrames ? DWARF_CB_OK : DWARF_CB_ABORT;
}

std::vector<CStackWalker::Symbol> symbolsOf(Dwfl_Module* module)
{
    std::vector<CStackWalker::Symbol> symbols;
    const int count = dwfl_module_getsymtab(module);
    for (int i = 1; i < count; ++i) {
        GElf_Sym sym;
        GElf_Addr address = 0;
        GElf_Word section = 0;
        const char* name = dwfl_module_getsym_info(module, i, &sym, &address, &section, nullptr, nullptr);
        const int type = GELF_ST_TYPE(sym.st_info);
        if (!name || !*name || sym.st_shndx == SHN_UNDEF
            || (type != STT_FUNC && type != STT_GNU_IFUNC && type != STT_NOTYPE))
            continue;
        symbols.push_back({address, sym.st_size, GELF_ST_BIND(sym.st_info), name});
    }
    std::sort(symbols.begin(), symbols.end(),
              [](const CStackWalker::Symbol& a, const CStackWalker::Symbol& b) { return a.address < b.address; });
    return symbols;
}

std::string baseName(const char* path)
{
    const std::string text = path ? path : "";
    const size_t slash = text.rfind('/');
    return slash == std::string::npos ? text : text.substr(slash + 1);
}

} // namespace

std::string CStackWalker::readableName(const std::string& versioned)
{
    // "__libc_start_main@@GLIBC_2.34": the version of a symbol is no part of its name.
    const std::string symbol = versioned.substr(0, versioned.find('@'));
    if (symbol.compare(0, 2, "_Z") != 0)
        return symbol;
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> readable(
        abi::__cxa_demangle(symbol.c_str(), nullptr, nullptr, &status), &std::free);
    return status == 0 && readable ? std::string(readable.get()) : symbol;
}

std::string CStackWalker::nameFor(uint64_t lookup, uint64_t pc, const std::vector<Symbol>& symbols)
{
    // Symbols at or before the address, the latest first.
    auto after = std::upper_bound(symbols.begin(), symbols.end(), lookup,
                                  [](uint64_t a, const Symbol& s) { return a < s.address; });
    const Symbol* holding = nullptr;
    auto rank = [](int binding) { return binding == STB_GLOBAL ? 2 : binding == STB_WEAK ? 1 : 0; };
    for (auto it = after; it != symbols.begin();) {
        --it;
        if (it->size && lookup < it->address + it->size && (!holding || rank(it->binding) > rank(holding->binding)))
            holding = &*it;
        // Functions do not nest; a long way back nothing can hold it any more.
        if (lookup - it->address > (1u << 24))
            break;
    }
    if (holding)
        return readableName(holding->name);
    if (after == symbols.begin())
        return std::string();
    const Symbol& nearest = *(after - 1);
    char distance[32];
    std::snprintf(distance, sizeof distance, "+0x%" PRIx64, pc - nearest.address);
    return readableName(nearest.name) + distance;
}

bool CStackWalker::parseRegisters(const std::string& text, Registers& out)
{
    std::istringstream in(text);
    for (uint64_t& value : out) {
        std::string word;
        if (!(in >> word))
            return false;
        char* end = nullptr;
        value = std::strtoull(word.c_str(), &end, 16);
        if (!end || *end)
            return false;
    }
    std::string extra;
    return !(in >> extra);
}

std::vector<StackFrame> CStackWalker::walk(pid_t pid, pid_t tid, const Registers& registers)
{
    std::vector<StackFrame> frames;
    // Separate debug information is looked for on this machine only: a
    // crash report must not wait on a download.
    unsetenv("DEBUGINFOD_URLS");
    char* debuginfoPath = nullptr;
    const Dwfl_Callbacks callbacks = {dwfl_linux_proc_find_elf, dwfl_standard_find_debuginfo, nullptr, &debuginfoPath};
    std::unique_ptr<Dwfl, decltype(&dwfl_end)> dwfl(dwfl_begin(&callbacks), &dwfl_end);
    if (!dwfl)
        return frames;
    if (dwfl_linux_proc_report(dwfl.get(), pid) != 0 || dwfl_report_end(dwfl.get(), nullptr, nullptr) != 0)
        return frames;
    WalkedProcess process;
    process.pid = pid;
    process.tid = tid;
    process.registers = &registers;
    if (!dwfl_attach_state(dwfl.get(), nullptr, pid, &threadCallbacks, &process))
        return frames;
    Walk walk;
    walk.code = codeMappings(pid);
    dwfl_getthread_frames(dwfl.get(), tid, collectFrame, &walk);
    const std::vector<RawFrame>& raw = walk.frames;

    std::map<Dwfl_Module*, std::vector<Symbol>> symbolCache;
    for (const RawFrame& r : raw) {
        StackFrame frame;
        frame.pc = r.pc;
        // A return address points behind the call; the call itself may be
        // the last instruction of its function.
        const uint64_t lookup = r.exact ? r.pc : r.pc - 1;
        Dwfl_Module* module = dwfl_addrmodule(dwfl.get(), lookup);
        Dwarf_Addr bias = 0;
        // A module whose file cannot be read (cut off on disk, say) is no
        // module the report can name.
        if (module && dwfl_module_getelf(module, &bias)) {
            Dwarf_Addr low = 0;
            const char* path = dwfl_module_info(module, nullptr, &low, nullptr, nullptr, nullptr, nullptr, nullptr);
            frame.inModule = true;
            frame.moduleBase = low;
            frame.moduleName = baseName(path);
            auto cached = symbolCache.find(module);
            if (cached == symbolCache.end())
                cached = symbolCache.emplace(module, symbolsOf(module)).first;
            frame.function = nameFor(lookup, r.pc, cached->second);
        }
        frames.push_back(frame);
    }
    return frames;
}

} // namespace FTR
