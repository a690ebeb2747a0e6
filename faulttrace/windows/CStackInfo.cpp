#include "faulttrace/windows/CStackInfo.h"

#include "faulttrace/windows/CModuleList.h"
#include "faulttrace/windows/CrashContext.h"
#include "faulttrace/windows/WideText.h"

#include <dbghelp.h>

namespace FTR {

namespace {

// "[地址][偏移] 进程 函数" and CR LF in the GBK code page, written as these bytes.
const unsigned char StackHeader[] = {0x5B, 0xB5, 0xD8, 0xD6, 0xB7, 0x5D, 0x5B, 0xC6, 0xAB, 0xD2, 0xC6, 0x5D,
                                     0x20, 0xBD, 0xF8, 0xB3, 0xCC, 0x20, 0xBA, 0xAF, 0xCA, 0xFD, 0x0D, 0x0A};

#if defined(_M_X64) || defined(__x86_64__)
constexpr DWORD OwnMachine = IMAGE_FILE_MACHINE_AMD64;
#else
constexpr DWORD OwnMachine = IMAGE_FILE_MACHINE_I386;
#endif

// The machine field of user32.dll's file header, read from the file mapped
// as data: on 64-bit Windows a 32-bit process gets the 32-bit one.
DWORD machineType()
{
    HMODULE user32 = LoadLibraryExW(L"user32.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE | DONT_RESOLVE_DLL_REFERENCES);
    if (!user32)
        return OwnMachine;
    // A module mapped as data is known by its address with the low bits set.
    const auto* image = reinterpret_cast<const unsigned char*>(reinterpret_cast<ULONG_PTR>(user32) & ~ULONG_PTR(3));
    DWORD machine = OwnMachine;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
    if (dos->e_magic == IMAGE_DOS_SIGNATURE) {
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(image + dos->e_lfanew);
        if (nt->Signature == IMAGE_NT_SIGNATURE)
            machine = nt->FileHeader.Machine;
    }
    FreeLibrary(user32);
    return machine;
}

void frameRecord(const CONTEXT& context, STACKFRAME64& frame)
{
    frame = {};
#if defined(_M_X64) || defined(__x86_64__)
    frame.AddrPC.Offset = context.Rip;
    frame.AddrStack.Offset = context.Rsp;
    frame.AddrFrame.Offset = context.Rbp;
#else
    frame.AddrPC.Offset = context.Eip;
    frame.AddrStack.Offset = context.Esp;
    frame.AddrFrame.Offset = context.Ebp;
#endif
    frame.AddrPC.Mode = AddrModeFlat;
    frame.AddrStack.Mode = AddrModeFlat;
    frame.AddrFrame.Mode = AddrModeFlat;
}

// Whether the walk has reached its end. On x86 the frame pointer chain ends
// at zero; x86-64 code keeps no frame pointer, and there the program counter
// is what becomes zero.
bool frameEnds(const STACKFRAME64& frame)
{
#if defined(_M_X64) || defined(__x86_64__)
    return frame.AddrPC.Offset == 0;
#else
    return frame.AddrFrame.Offset == 0;
#endif
}

} // namespace

CStackInfo::CStackInfo(const CrashContext& crash)
    : CBaseInfo("[Stack Info]", crash)
{
}

bool CStackInfo::writeBody(HANDLE file)
{
    HANDLE process = GetCurrentProcess();
    // The walk changes the context it is given.
    CONTEXT context = *crash.pointers->ContextRecord;
    STACKFRAME64 frame;
    frameRecord(context, frame);
    // A program that runs the symbol handler itself keeps its session.
    const bool ownSymbols = SymInitialize(process, nullptr, TRUE) != FALSE;
    writeBytes(file, StackHeader, sizeof StackHeader);

    // The handling runs on a thread of its own: the walk is of the thread that crashed.
    HANDLE thread = OpenThread(THREAD_GET_CONTEXT | THREAD_QUERY_INFORMATION, FALSE, crash.threadId);
    const DWORD machine = machineType();
    alignas(SYMBOL_INFO) char symbolBuffer[sizeof(SYMBOL_INFO) + 512];
    wchar_t name[513];
    wchar_t line[1024];
    // Without a function-table and a module-base routine dbghelp cannot
    // unwind x86-64 code, which has no frame-pointer chain to follow.
    for (int i = 0; i < MaxFrames; ++i) {
        if (!StackWalk64(machine, process, thread ? thread : GetCurrentThread(), &frame, &context, nullptr,
                         SymFunctionTableAccess64, SymGetModuleBase64, nullptr)
            || frameEnds(frame))
            break;
        const DWORD64 pc = frame.AddrPC.Offset;
        auto* symbol = reinterpret_cast<SYMBOL_INFO*>(symbolBuffer);
        *symbol = {};
        symbol->SizeOfStruct = sizeof(SYMBOL_INFO);
        symbol->MaxNameLen = 512;
        DWORD64 displacement = 0;
        name[0] = L'\0';
        if (SymFromAddr(process, pc, &displacement, symbol))
            wideFromBytes(name, sizeof name / sizeof name[0], symbol->Name, CP_ACP);

        if (const MODULEENTRY32W* module = crash.modules->moduleAt(pc)) {
            const auto base = reinterpret_cast<uint64_t>(module->modBaseAddr);
            wideFormat(line, sizeof line / sizeof line[0], L"[%ls][%ls]  %ls  %ls\r\n", HexText(base).text,
                       HexText(pc - base).text, module->szModule, name);
        } else {
            wideFormat(line, sizeof line / sizeof line[0], L"[%ls]  UnkownModule  %ls\r\n", HexText(pc).text, name);
        }
        writeText(file, line);
    }
    if (thread)
        CloseHandle(thread);
    if (ownSymbols)
        SymCleanup(process);
    return writeText(file, lineBreak);
}

} // namespace FTR
