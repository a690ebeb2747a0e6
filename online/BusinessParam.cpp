#include "online/BusinessParam.h"

#include "online/BusinessCodec.h"
#include "online/BusinessEnvironment.h"

#include <json/value.h>
#include <json/writer.h>

namespace business_v2 {

BusinessParam::BusinessParam()
{
    parameters = {{"softid", ""}, {"platform", "pc"}, {"qid", "gf"},
                  {"softver", ""}, {"exe", ""},       {"systemver", ""}};
}

BusinessParam& BusinessParam::set(const QByteArray& key, const QByteArray& value)
{
    parameters[key] = value;
    return *this;
}

BusinessParam& BusinessParam::addCommonParams()
{
    QByteArray channel = readChannel();
    if (channel.isEmpty())
        channel = defaultChannel;
    return set("platform", platformName)
        .set("qid", channel)
        .set("softver", productVersion)
        .set("systemver", osName())
        .set("exe", exeName())
        .set("softid", productId)
        .set("qt", "1");
}

QByteArray BusinessParam::toJson() const
{
    Json::Value object(Json::objectValue);
    for (const auto& [key, value] : parameters)
        object[std::string(key.constData(), static_cast<size_t>(key.size()))] =
            Json::Value(value.constData(), value.constData() + value.size());
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    return QByteArray::fromStdString(Json::writeString(builder, object));
}

QByteArray BusinessParam::encode()
{
    set("timestamp", QByteArray::number(currentMillis()));
    const QByteArray data = aesEncryptToBase64(base64Encode(toJson()));
    const QByteArray sign = hmacBase64(md5Hex(data), data);
    encoded = {{"data", data}, {"sign", sign}};
    QByteArray body;
    for (const auto& [key, value] : encoded) {
        if (!body.isEmpty())
            body.append('&');
        body.append(key).append('=').append(urlEncode(value));
    }
    return body;
}

} // namespace business_v2
