// A small library the crash tests load and then truncate on disk.

extern "C" __attribute__((visibility("default"))) int truncatedLibraryFunction(int value)
{
    return value * 3 + 1;
}
