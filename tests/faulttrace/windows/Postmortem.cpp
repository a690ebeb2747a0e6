// Stands in for the post-mortem program: records, in "postmortem.log"
// beside itself, the folder it was started in, its arguments and which of
// the crash files it found there.

#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t* argv[])
{
    wchar_t log[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, log, MAX_PATH);
    wchar_t* slash = n > 0 ? wcsrchr(log, L'\\') : nullptr;
    if (!slash || (slash - log) + 16 >= MAX_PATH)
        return 1;
    wcscpy(slash + 1, L"postmortem.log");
    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);

    FILE* out = _wfopen(log, L"w");
    if (!out)
        return 1;
    std::fprintf(out, "%ls\n%d\n", folder, argc - 1);
    for (int i = 1; i < argc; ++i)
        std::fprintf(out, "%ls\n", argv[i]);
    if (GetFileAttributesW(L"FaultTrace.txt") != INVALID_FILE_ATTRIBUTES)
        std::fprintf(out, "txt\n");
    if (GetFileAttributesW(L"FaultTrace.DMP") != INVALID_FILE_ATTRIBUTES)
        std::fprintf(out, "dmp\n");
    std::fclose(out);
    return 0;
}
