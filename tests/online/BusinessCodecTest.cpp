#include "online/BusinessCodec.h"
#include "online/BusinessKeys.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace business_v2;

namespace {

QByteArray hex(const char* digits)
{
    return QByteArray::fromHex(digits);
}

QByteArray repeated(char byte, int count)
{
    return QByteArray(count, byte);
}

} // namespace

class BusinessCodecTest : public QObject
{
    Q_OBJECT

private slots:
    void base64MatchesRfc4648_data();
    void base64MatchesRfc4648();
    void base64DecodeRejectsMalformedText_data();
    void base64DecodeRejectsMalformedText();
    void md5MatchesRfc1321_data();
    void md5MatchesRfc1321();
    void md5StopsAtTheFirstZeroByte();
    void hmacSha256MatchesRfc4231_data();
    void hmacSha256MatchesRfc4231();
    void aes256CbcMatchesSp80038a();
    void aesRoundTripsWithPadding();
    void aesDecryptRejectsWrongInput();
    void aesPlaintextIsLimitedTo3072Bytes();
    void randomInputNeverBreaksTheDecoder();
    void urlEncodeKeepsUnreservedBytesOnly();
};

void BusinessCodecTest::base64MatchesRfc4648_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("f") << QByteArray("f") << QByteArray("Zg==");
    QTest::newRow("fo") << QByteArray("fo") << QByteArray("Zm8=");
    QTest::newRow("foo") << QByteArray("foo") << QByteArray("Zm9v");
    QTest::newRow("foob") << QByteArray("foob") << QByteArray("Zm9vYg==");
    QTest::newRow("fooba") << QByteArray("fooba") << QByteArray("Zm9vYmE=");
    QTest::newRow("foobar") << QByteArray("foobar") << QByteArray("Zm9vYmFy");
    QTest::newRow("binary, no line breaks")
        << repeated('\xff', 100) << QByteArray(repeated('\xff', 100).toBase64());
}

void BusinessCodecTest::base64MatchesRfc4648()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, text);
    QCOMPARE(base64Encode(bytes), text);
    QCOMPARE(base64Decode(text), bytes);
}

void BusinessCodecTest::base64DecodeRejectsMalformedText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("length not a multiple of four") << QByteArray("Zm9vY");
    QTest::newRow("character outside the alphabet") << QByteArray("Zm9*");
    QTest::newRow("url-safe alphabet") << QByteArray("Zm-_");
    QTest::newRow("padding in the middle") << QByteArray("Zg==Zm9v");
    QTest::newRow("three padding characters") << QByteArray("Z===");
    QTest::newRow("line break") << QByteArray("Zm9v\nYmFy");
    QTest::newRow("zero byte") << QByteArray("Zm9\0", 4);
    QTest::newRow("only padding") << QByteArray("====");
}

void BusinessCodecTest::base64DecodeRejectsMalformedText()
{
    QFETCH(QByteArray, text);
    QVERIFY(base64Decode(text).isEmpty());
}

void BusinessCodecTest::md5MatchesRfc1321_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("digest");
    QTest::newRow("empty") << QByteArray("") << QByteArray("d41d8cd98f00b204e9800998ecf8427e");
    QTest::newRow("a") << QByteArray("a") << QByteArray("0cc175b9c0f1b6a831c399e269772661");
    QTest::newRow("abc") << QByteArray("abc") << QByteArray("900150983cd24fb0d6963f7d28e17f72");
    QTest::newRow("message digest") << QByteArray("message digest")
                                    << QByteArray("f96b697d7cb7938d525a2f31aaf161d0");
    QTest::newRow("alphabet") << QByteArray("abcdefghijklmnopqrstuvwxyz")
                              << QByteArray("c3fcd3d76192e4007dfb496cca67e13b");
    QTest::newRow("alphanumerics")
        << QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789")
        << QByteArray("d174ab98d277d9f5a5611c2c9f419d9f");
    QTest::newRow("digits")
        << QByteArray("12345678901234567890123456789012345678901234567890123456789012345678901234567890")
        << QByteArray("57edf4a22be3c955ac49da2e2107b67a");
}

void BusinessCodecTest::md5MatchesRfc1321()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, digest);
    QCOMPARE(md5Hex(text), digest);
}

void BusinessCodecTest::md5StopsAtTheFirstZeroByte()
{
    QCOMPARE(md5Hex(QByteArray("abc\0def", 7)), QByteArray("900150983cd24fb0d6963f7d28e17f72"));
}

void BusinessCodecTest::hmacSha256MatchesRfc4231_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QByteArray>("mac");
    QTest::newRow("case 1") << repeated('\x0b', 20) << QByteArray("Hi There")
                            << hex("b0344c61d8db38535ca8afceaf0bf12b881dc200c9833da726e9376c2e32cff7");
    QTest::newRow("case 2") << QByteArray("Jefe") << QByteArray("what do ya want for nothing?")
                            << hex("5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843");
    QTest::newRow("case 3") << repeated('\xaa', 20) << repeated('\xdd', 50)
                            << hex("773ea91e36800e46854db8ebd09181a72959098b3ef8c122d9635514ced565fe");
    QTest::newRow("case 4") << hex("0102030405060708090a0b0c0d0e0f10111213141516171819") << repeated('\xcd', 50)
                            << hex("82558a389a443c0ea4cc819899f2083a85f0faa3e578f8077a2e3ff46729665b");
    QTest::newRow("case 5 (first 128 bits)") << repeated('\x0c', 20) << QByteArray("Test With Truncation")
                                             << hex("a3b6167473100ee06e0c796c2955552b");
    QTest::newRow("case 6") << repeated('\xaa', 131)
                            << QByteArray("Test Using Larger Than Block-Size Key - Hash Key First")
                            << hex("60e431591ee0b67f0d8a26aacbf5b77f8e0bc6213728c5140546040f0ee37f54");
    QTest::newRow("case 7") << repeated('\xaa', 131)
                            << QByteArray("This is a test using a larger than block-size key and a larger than "
                                          "block-size data. The key needs to be hashed before being used by the "
                                          "HMAC algorithm.")
                            << hex("9b09ffa71b942fcb27635fbcd5b0e944bfdc63644f0713938a7f51535c3a35e2");
}

void BusinessCodecTest::hmacSha256MatchesRfc4231()
{
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, message);
    QFETCH(QByteArray, mac);
    const QByteArray digest = hmacSha256(key, message);
    QCOMPARE(digest.size(), 32);
    QCOMPARE(digest.left(mac.size()), mac);
    QCOMPARE(hmacBase64(key, message), base64Encode(digest));
}

void BusinessCodecTest::aes256CbcMatchesSp80038a()
{
    // F.2.5 / F.2.6, CBC-AES256.
    const QByteArray key = hex("603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4");
    const QByteArray iv = hex("000102030405060708090a0b0c0d0e0f");
    const QByteArray plain = hex("6bc1bee22e409f96e93d7e117393172a" "ae2d8a571e03ac9c9eb76fac45af8e51"
                                 "30c81c46a35ce411e5fbc1191a0a52ef" "f69f2445df4f9b17ad2b417be66c3710");
    const QByteArray cipher = hex("f58c4c04d6e5f1ba779eabfb5f7bfbd6" "9cfc4e967edb808d679f777bc6702c7d"
                                  "39f23369a9d9bacfa530e26304231461" "b2eb05e2c39be9fcda6c19078c6a9d1b");
    QByteArray out;
    QVERIFY(aesEncrypt(plain, key, iv, false, out));
    QCOMPARE(out, cipher);
    QVERIFY(aesDecrypt(cipher, key, iv, false, out));
    QCOMPARE(out, plain);

    // With padding the same blocks come first, then one block of padding.
    QVERIFY(aesEncrypt(plain, key, iv, true, out));
    QCOMPARE(out.size(), 80);
    QCOMPARE(out.left(64), cipher);
    const QByteArray viaBase64 = aesEncryptToBase64(plain, key, iv);
    QCOMPARE(base64Decode(viaBase64), out);
    QCOMPARE(aesDecryptFromBase64(viaBase64, key, iv), plain);
}

void BusinessCodecTest::aesRoundTripsWithPadding()
{
    for (int length : {1, 15, 16, 17, 100, 3072}) {
        QByteArray plain(length, '\0');
        for (int i = 0; i < length; ++i)
            plain[i] = char(i * 31 + 7);
        const QByteArray text = aesEncryptToBase64(plain);
        QCOMPARE(base64Decode(text).size(), (length / 16 + 1) * 16);
        QCOMPARE(aesDecryptFromBase64(text), plain);
    }
    QVERIFY(aesEncryptToBase64(QByteArray()).isEmpty());
    QVERIFY(aesDecryptFromBase64(QByteArray()).isEmpty());
}

void BusinessCodecTest::aesDecryptRejectsWrongInput()
{
    const QByteArray good = aesEncryptToBase64("channel-one");
    QCOMPARE(aesDecryptFromBase64(good), QByteArray("channel-one"));
    // The other key pair cannot read it (padding check fails).
    QVERIFY(aesDecryptFromBase64(good, channelKey, channelIv).isEmpty() ||
            aesDecryptFromBase64(good, channelKey, channelIv) != "channel-one");
    QVERIFY(aesDecryptFromBase64("not base64!").isEmpty());
    QVERIFY(aesDecryptFromBase64(base64Encode("fifteen bytes!!")).isEmpty());   // not whole blocks
    QVERIFY(aesDecryptFromBase64(base64Encode(QByteArray(16, '\x5a'))).size() <= 15);
    QByteArray tampered = base64Decode(good);
    tampered[tampered.size() - 1] = char(tampered[tampered.size() - 1] ^ 0x55);
    QVERIFY(aesDecryptFromBase64(base64Encode(tampered)).isEmpty() ||
            aesDecryptFromBase64(base64Encode(tampered)) != "channel-one");
    // Wrong key or IV sizes are refused, not truncated or padded.
    QByteArray out;
    QVERIFY(!aesEncrypt("x", QByteArray(31, 'k'), QByteArray(16, 'i'), true, out));
    QVERIFY(!aesEncrypt("x", QByteArray(32, 'k'), QByteArray(15, 'i'), true, out));
    QVERIFY(out.isEmpty());
}

void BusinessCodecTest::aesPlaintextIsLimitedTo3072Bytes()
{
    const QByteArray atLimit(maxDecryptedBytes, 'a');
    QCOMPARE(aesDecryptFromBase64(aesEncryptToBase64(atLimit)), atLimit);
    const QByteArray overLimit(maxDecryptedBytes + 1, 'a');
    QVERIFY(aesDecryptFromBase64(aesEncryptToBase64(overLimit)).isEmpty());
    QVERIFY(aesDecryptFromBase64(aesEncryptToBase64(QByteArray(10000, 'b'))).isEmpty());
}

void BusinessCodecTest::randomInputNeverBreaksTheDecoder()
{
    const quint32 seed = QRandomGenerator::global()->generate();
    qInfo("seed %u", seed);
    QRandomGenerator random(seed);
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/=";
    int accepted = 0;
    for (int round = 0; round < 6000; ++round) {
        QByteArray input;
        const int kind = round % 4;
        const int length = int(random.bounded(kind == 3 ? 6000 : 200));
        if (kind == 0) { // arbitrary bytes
            for (int i = 0; i < length; ++i)
                input.append(char(random.bounded(256)));
        } else if (kind == 1) { // Base64-looking text, padding anywhere
            for (int i = 0; i < length; ++i)
                input.append(alphabet[random.bounded(int(sizeof alphabet - 1))]);
        } else { // valid Base64 of random bytes: any length, sometimes whole blocks, long ones too
            QByteArray bytes;
            const int byteCount = (round % 8 == 2) ? length / 16 * 16 : length;
            for (int i = 0; i < byteCount; ++i)
                bytes.append(char(random.bounded(256)));
            input = base64Encode(bytes);
            if (bytes.size() % 16 != 0 || bytes.size() > maxDecryptedBytes + 16)
                QVERIFY(aesDecryptFromBase64(input).isEmpty());
        }
        const QByteArray plain = aesDecryptFromBase64(input);
        QVERIFY(plain.size() <= maxDecryptedBytes);
        if (!plain.isEmpty()) {
            ++accepted;
            QVERIFY(base64Decode(input).size() % 16 == 0);
        }
        QVERIFY(aesDecryptFromBase64(input, channelKey, channelIv).size() <= maxDecryptedBytes);
    }
    // Random ciphertexts only rarely end in valid padding.
    QVERIFY(accepted < 300);
}

void BusinessCodecTest::urlEncodeKeepsUnreservedBytesOnly()
{
    QCOMPARE(urlEncode("AZaz09-._~"), QByteArray("AZaz09-._~"));
    QCOMPARE(urlEncode("a b+c=d/e&f"), QByteArray("a%20b%2bc%3dd%2fe%26f"));
    QCOMPARE(urlEncode(QByteArray("\xe4\xb8\xad\x00\xff", 5)), QByteArray("%e4%b8%ad%00%ff"));
    QCOMPARE(urlEncode(QByteArray()), QByteArray());
}

QTEST_GUILESS_MAIN(BusinessCodecTest)
#include "BusinessCodecTest.moc"
