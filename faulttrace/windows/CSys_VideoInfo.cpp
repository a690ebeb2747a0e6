#include "faulttrace/windows/CSys_VideoInfo.h"

#include "faulttrace/windows/WideText.h"

#include <d3d9.h>

namespace FTR {

namespace {
// The SDK version the adapter query is made for.
constexpr UINT SdkVersion = 32;
using CreateFunction = IDirect3D9*(WINAPI*)(UINT);
} // namespace

CSys_VideoInfo::CSys_VideoInfo()
{
    library = LoadLibraryW(L"d3d9.dll");
    if (!library)
        return;
    const auto create = reinterpret_cast<CreateFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "Direct3DCreate9")));
    if (create)
        direct3d = create(SdkVersion);
}

CSys_VideoInfo::~CSys_VideoInfo()
{
    if (direct3d)
        direct3d->Release();
    if (library)
        FreeLibrary(library);
}

unsigned CSys_VideoInfo::adapterCount() const
{
    return direct3d ? direct3d->GetAdapterCount() : 0;
}

bool CSys_VideoInfo::description(unsigned adapter, wchar_t* out, size_t size) const
{
    D3DADAPTER_IDENTIFIER9 identifier = {};
    if (!direct3d || FAILED(direct3d->GetAdapterIdentifier(adapter, 0, &identifier)))
        return false;
    identifier.Description[sizeof identifier.Description - 1] = '\0';
    wideFromBytes(out, size, identifier.Description, CP_ACP);
    return true;
}

} // namespace FTR
