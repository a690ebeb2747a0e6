// A library whose version is only in its soname, not in its file name.

extern "C" __attribute__((visibility("default"))) int versionedLibraryFunction()
{
    return 31;
}
