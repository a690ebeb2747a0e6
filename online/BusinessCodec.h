#pragma once

#include <QByteArray>

// The encodings, cipher and signature of requests to the web service. Every
// function turns failure into an empty result; none throws.
namespace business_v2 {

// Standard Base64 (RFC 4648 alphabet, "=" padding, no line breaks).
QByteArray base64Encode(const QByteArray& bytes);
// Strict: only the alphabet, length a multiple of four, padding only at the
// end. Anything else gives an empty result.
QByteArray base64Decode(const QByteArray& text);

// AES-256 in CBC mode. key: 32 bytes, iv: 16 bytes. With padding the block
// padding is PKCS #7; without it the input must be whole blocks. False on any
// failure (bad sizes, bad padding), leaving out empty.
bool aesEncrypt(const QByteArray& plain, const QByteArray& key, const QByteArray& iv, bool padding,
                QByteArray& out);
bool aesDecrypt(const QByteArray& cipher, const QByteArray& key, const QByteArray& iv, bool padding,
                QByteArray& out);

// Longest plaintext aesDecryptFromBase64 gives back.
inline constexpr int maxDecryptedBytes = 3072;

// AES-256-CBC with PKCS #7 padding, then Base64. Empty input gives empty output.
QByteArray aesEncryptToBase64(const QByteArray& plain, const QByteArray& key, const QByteArray& iv);
QByteArray aesEncryptToBase64(const QByteArray& plain); // the data key and IV
// The reverse; empty on bad Base64, a length that is not whole blocks, bad
// padding or a plaintext over maxDecryptedBytes.
QByteArray aesDecryptFromBase64(const QByteArray& text, const QByteArray& key, const QByteArray& iv);
QByteArray aesDecryptFromBase64(const QByteArray& text); // the data key and IV

// MD5 of the text up to its first zero byte, 32 lower-case hex digits.
QByteArray md5Hex(const QByteArray& text);

// HMAC-SHA-256 (RFC 2104); raw digest, and Base64 of it.
QByteArray hmacSha256(const QByteArray& key, const QByteArray& message);
QByteArray hmacBase64(const QByteArray& key, const QByteArray& message);

// Letters, digits and "-._~" stay; every other byte becomes "%" and two
// lower-case hex digits.
QByteArray urlEncode(const QByteArray& text);

} // namespace business_v2
