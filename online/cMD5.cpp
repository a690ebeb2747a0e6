#include "online/cMD5.h"

#include <openssl/evp.h>

#include <cstring>

namespace business_v2 {

cMD5::cMD5(const QByteArray& text)
{
    const size_t length = strnlen(text.constData(), static_cast<size_t>(text.size()));
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int digestLength = 0;
    if (EVP_Digest(text.constData(), length, digest, &digestLength, EVP_md5(), nullptr) != 1)
        return;
    hex = QByteArray(reinterpret_cast<const char*>(digest), static_cast<int>(digestLength)).toHex();
}

} // namespace business_v2
