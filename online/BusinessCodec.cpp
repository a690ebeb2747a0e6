#include "online/BusinessCodec.h"

#include "online/BusinessKeys.h"
#include "online/cMD5.h"

#include <openssl/evp.h>

#include <exception>
#include <memory>

namespace business_v2 {

namespace {

constexpr int aesBlock = 16;

struct CipherContextFree
{
    void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
};

bool isBase64Alphabet(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+'
        || c == '/';
}

bool aesRun(bool encrypt, const QByteArray& in, const QByteArray& key, const QByteArray& iv,
            bool padding, QByteArray& out)
{
    out.clear();
    if (key.size() != 32 || iv.size() != aesBlock)
        return false;
    std::unique_ptr<EVP_CIPHER_CTX, CipherContextFree> context(EVP_CIPHER_CTX_new());
    if (!context)
        return false;
    const auto* keyBytes = reinterpret_cast<const unsigned char*>(key.constData());
    const auto* ivBytes = reinterpret_cast<const unsigned char*>(iv.constData());
    if (EVP_CipherInit_ex(context.get(), EVP_aes_256_cbc(), nullptr, keyBytes, ivBytes, encrypt ? 1 : 0) != 1)
        return false;
    if (EVP_CIPHER_CTX_set_padding(context.get(), padding ? 1 : 0) != 1)
        return false;
    // The input plus one block holds any result of either direction.
    QByteArray buffer(in.size() + aesBlock, '\0');
    auto* outBytes = reinterpret_cast<unsigned char*>(buffer.data());
    int written = 0;
    if (EVP_CipherUpdate(context.get(), outBytes, &written,
                         reinterpret_cast<const unsigned char*>(in.constData()), in.size()) != 1)
        return false;
    int finalWritten = 0;
    if (EVP_CipherFinal_ex(context.get(), outBytes + written, &finalWritten) != 1)
        return false;
    buffer.truncate(written + finalWritten);
    out = buffer;
    return true;
}

} // namespace

QByteArray base64Encode(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return {};
    try {
        QByteArray text(4 * ((bytes.size() + 2) / 3) + 1, '\0');
        const int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()),
                                           reinterpret_cast<const unsigned char*>(bytes.constData()),
                                           bytes.size());
        if (length < 0)
            return {};
        text.truncate(length);
        return text;
    } catch (const std::exception&) {
        return {};
    }
}

QByteArray base64Decode(const QByteArray& text)
{
    if (text.isEmpty() || text.size() % 4 != 0)
        return {};
    int padding = 0;
    if (text.endsWith("=="))
        padding = 2;
    else if (text.endsWith('='))
        padding = 1;
    for (int i = 0; i < text.size() - padding; ++i) {
        if (!isBase64Alphabet(text[i]))
            return {};
    }
    try {
        QByteArray bytes(text.size() / 4 * 3 + 1, '\0');
        const int length = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(bytes.data()),
                                           reinterpret_cast<const unsigned char*>(text.constData()),
                                           text.size());
        if (length < padding)
            return {};
        bytes.truncate(length - padding);
        return bytes;
    } catch (const std::exception&) {
        return {};
    }
}

bool aesEncrypt(const QByteArray& plain, const QByteArray& key, const QByteArray& iv, bool padding,
                QByteArray& out)
{
    try {
        return aesRun(true, plain, key, iv, padding, out);
    } catch (const std::exception&) {
        out.clear();
        return false;
    }
}

bool aesDecrypt(const QByteArray& cipher, const QByteArray& key, const QByteArray& iv, bool padding,
                QByteArray& out)
{
    try {
        return aesRun(false, cipher, key, iv, padding, out);
    } catch (const std::exception&) {
        out.clear();
        return false;
    }
}

QByteArray aesEncryptToBase64(const QByteArray& plain, const QByteArray& key, const QByteArray& iv)
{
    if (plain.isEmpty())
        return {};
    QByteArray cipher;
    if (!aesEncrypt(plain, key, iv, true, cipher))
        return {};
    return base64Encode(cipher);
}

QByteArray aesEncryptToBase64(const QByteArray& plain)
{
    return aesEncryptToBase64(plain, QByteArray(dataKey), QByteArray(dataIv));
}

QByteArray aesDecryptFromBase64(const QByteArray& text, const QByteArray& key, const QByteArray& iv)
{
    if (text.isEmpty())
        return {};
    const QByteArray cipher = base64Decode(text);
    // Whole blocks only, and never more than the plaintext limit can come from.
    if (cipher.isEmpty() || cipher.size() % aesBlock != 0 || cipher.size() > maxDecryptedBytes + aesBlock)
        return {};
    QByteArray plain;
    if (!aesDecrypt(cipher, key, iv, true, plain) || plain.size() > maxDecryptedBytes)
        return {};
    return plain;
}

QByteArray aesDecryptFromBase64(const QByteArray& text)
{
    return aesDecryptFromBase64(text, QByteArray(dataKey), QByteArray(dataIv));
}

QByteArray md5Hex(const QByteArray& text)
{
    return cMD5(text).hexDigest();
}

QByteArray hmacSha256(const QByteArray& key, const QByteArray& message)
{
    try {
        unsigned char digest[EVP_MAX_MD_SIZE];
        size_t digestLength = 0;
        // A zero-length key still needs a valid pointer.
        static const unsigned char noKey = 0;
        const auto* keyBytes = key.isEmpty() ? &noKey : reinterpret_cast<const unsigned char*>(key.constData());
        if (!EVP_Q_mac(nullptr, "HMAC", nullptr, "SHA256", nullptr, keyBytes, static_cast<size_t>(key.size()),
                       reinterpret_cast<const unsigned char*>(message.constData()),
                       static_cast<size_t>(message.size()), digest, sizeof digest, &digestLength))
            return {};
        return QByteArray(reinterpret_cast<const char*>(digest), static_cast<int>(digestLength));
    } catch (const std::exception&) {
        return {};
    }
}

QByteArray hmacBase64(const QByteArray& key, const QByteArray& message)
{
    return base64Encode(hmacSha256(key, message));
}

QByteArray urlEncode(const QByteArray& text)
{
    static const char hexDigits[] = "0123456789abcdef";
    QByteArray encoded;
    encoded.reserve(text.size() * 3);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9')
            || byte == '-' || byte == '.' || byte == '_' || byte == '~') {
            encoded.append(c);
        } else {
            encoded.append('%');
            encoded.append(hexDigits[byte >> 4]);
            encoded.append(hexDigits[byte & 0x0f]);
        }
    }
    return encoded;
}

} // namespace business_v2
