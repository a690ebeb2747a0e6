#pragma once

#include <QByteArray>

#include <map>

namespace business_v2 {

// The parameters of one request to the web service and their encoding into
// the form body "data=…&sign=…": compact JSON in key order, Base64, AES,
// Base64, signed with an HMAC keyed by the MD5 of the encrypted text.
class BusinessParam
{
public:
    using Map = std::map<QByteArray, QByteArray>; // byte-wise key order

    BusinessParam();

    // Inserts or replaces a parameter.
    BusinessParam& set(const QByteArray& key, const QByteArray& value);
    // Product, channel, version, system and executable: common to every request.
    BusinessParam& addCommonParams();
    // Stamps "timestamp" and returns the form body; always a body, with empty
    // values where a step failed.
    QByteArray encode();

    const Map& params() const { return parameters; }
    // "data" and "sign" after encode.
    const Map& output() const { return encoded; }

    // The compact JSON text of the parameters, members in key order.
    QByteArray toJson() const;

private:
    Map parameters;
    Map encoded;
};

} // namespace business_v2
