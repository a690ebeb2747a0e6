#pragma once

#include <QByteArray>

namespace business_v2 {

// MD5 (RFC 1321) of a text, as the web service keys its signatures with it.
class cMD5
{
public:
    // The text counts up to its first zero byte, as a C string would.
    explicit cMD5(const QByteArray& text);

    // 32 lower-case hexadecimal digits; empty if the digest could not be made.
    QByteArray hexDigest() const { return hex; }

private:
    QByteArray hex;
};

} // namespace business_v2
