#include "faulttrace/helper/CArchiveWriter.h"

#include <cstdio>
#include <ctime>
#include <sys/stat.h>
#include <zip.h>

namespace FTR {

namespace {

bool addFile(zipFile zip, const std::string& path)
{
    struct stat st = {};
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    FILE* in = std::fopen(path.c_str(), "rb");
    if (!in)
        return false;

    zip_fileinfo info = {};
    tm local = {};
    const time_t modified = st.st_mtime;
    if (localtime_r(&modified, &local)) {
        info.tmz_date.tm_sec = static_cast<uInt>(local.tm_sec);
        info.tmz_date.tm_min = static_cast<uInt>(local.tm_min);
        info.tmz_date.tm_hour = static_cast<uInt>(local.tm_hour);
        info.tmz_date.tm_mday = static_cast<uInt>(local.tm_mday);
        info.tmz_date.tm_mon = static_cast<uInt>(local.tm_mon); // 0-based, as minizip expects
        info.tmz_date.tm_year = static_cast<uInt>(local.tm_year + 1900);
    }
    const std::string name = path.substr(path.rfind('/') + 1);
    bool ok = zipOpenNewFileInZip64(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                    Z_DEFAULT_COMPRESSION, st.st_size >= 0xffffffffLL ? 1 : 0) == ZIP_OK;
    char buffer[64 * 1024];
    while (ok) {
        const size_t n = std::fread(buffer, 1, sizeof buffer, in);
        if (n == 0)
            break;
        ok = zipWriteInFileInZip(zip, buffer, static_cast<unsigned>(n)) == ZIP_OK;
    }
    ok = !std::ferror(in) && ok;
    std::fclose(in);
    return zipCloseFileInZip(zip) == ZIP_OK && ok;
}

} // namespace

bool CArchiveWriter::createArchive(const std::string& archivePath, const std::vector<std::string>& files)
{
    zipFile zip = zipOpen64(archivePath.c_str(), APPEND_STATUS_CREATE);
    if (!zip)
        return false;
    for (const std::string& file : files)
        addFile(zip, file);
    return zipClose(zip, nullptr) == ZIP_OK;
}

} // namespace FTR
