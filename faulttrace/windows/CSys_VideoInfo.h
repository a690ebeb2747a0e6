#pragma once
// The display adapters, from Direct3D 9: "d3d9.dll" is loaded by name, so a
// system without it only loses the report's "Video" lines.

#include <windows.h>

#include <cstddef>

struct IDirect3D9;

namespace FTR {

class CSys_VideoInfo
{
public:
    CSys_VideoInfo();
    ~CSys_VideoInfo();
    CSys_VideoInfo(const CSys_VideoInfo&) = delete;
    CSys_VideoInfo& operator=(const CSys_VideoInfo&) = delete;

    unsigned adapterCount() const;
    // The adapter's description; false when its identifier cannot be read.
    bool description(unsigned adapter, wchar_t* out, size_t size) const;

private:
    HMODULE library = nullptr;
    IDirect3D9* direct3d = nullptr;
};

} // namespace FTR
