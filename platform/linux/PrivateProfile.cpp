#include "platform/PrivateProfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringView>
#include <QTextCodec>

#include <cstdint>
#include <vector>

namespace platform {
namespace {

// Settings files are a few hundred bytes; anything beyond this is not one of
// ours, and reading it whole would only cost memory. Such a file reads as
// absent and is never rewritten.
constexpr qint64 kMaxProfileBytes = 64 * 1024 * 1024;

enum class Encoding { Utf8, Utf8Bom, Utf16Le, Utf16Be, Local, Latin1 };

struct ProfileText {
    QString text;
    Encoding encoding = Encoding::Utf8;
};

enum class LoadResult { Loaded, Absent, Unusable };

bool isBlank(QChar c)
{
    const ushort u = c.unicode();
    // 0x1a is the old end-of-file mark some editors still leave behind.
    return u == ' ' || u == '\t' || u == '\n' || u == '\v' || u == '\f' || u == '\r' || u == 0x1a;
}

QStringView trimmed(QStringView s)
{
    int b = 0;
    int e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

// Names and values are C strings to the Windows calls: they end at a NUL.
QStringView cutAtNul(QStringView s)
{
    const int nul = s.indexOf(QChar(0));
    return nul < 0 ? s : s.left(nul);
}

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QTextCodec* codecFor(Encoding e)
{
    switch (e) {
    case Encoding::Utf8:
    case Encoding::Utf8Bom:
        return QTextCodec::codecForName("UTF-8");
    case Encoding::Utf16Le:
        return QTextCodec::codecForName("UTF-16LE");
    case Encoding::Utf16Be:
        return QTextCodec::codecForName("UTF-16BE");
    case Encoding::Local:
        return QTextCodec::codecForLocale();
    case Encoding::Latin1:
        return QTextCodec::codecForName("ISO-8859-1");
    }
    return QTextCodec::codecForName("UTF-8");
}

bool decodesCleanly(QTextCodec* codec, const QByteArray& bytes, QString& out)
{
    if (!codec)
        return false;
    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    out = codec->toUnicode(bytes.constData(), bytes.size(), &state);
    return state.invalidChars == 0 && state.remainingChars == 0;
}

// A byte-order mark decides; otherwise UTF-8 when the bytes are valid UTF-8,
// then the local eight-bit code page (what Windows assumes for such files),
// and Latin-1 as the last resort, which decodes anything and writes it back
// byte for byte.
ProfileText decode(const QByteArray& bytes)
{
    ProfileText p;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        p.encoding = Encoding::Utf8Bom;
        p.text = QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
        return p;
    }
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        p.encoding = bytes.startsWith("\xFF\xFE") ? Encoding::Utf16Le : Encoding::Utf16Be;
        const QByteArray body = bytes.mid(2, (bytes.size() - 2) & ~1);
        p.text = codecFor(p.encoding)->toUnicode(body.constData(), body.size());
        return p;
    }
    if (decodesCleanly(codecFor(Encoding::Utf8), bytes, p.text)) {
        p.encoding = Encoding::Utf8;
        return p;
    }
    QTextCodec* local = codecFor(Encoding::Local);
    if (local && local->mibEnum() != 106 && decodesCleanly(local, bytes, p.text)) {
        p.encoding = Encoding::Local;
        return p;
    }
    p.encoding = Encoding::Latin1;
    p.text = QString::fromLatin1(bytes.constData(), bytes.size());
    return p;
}

QByteArray encode(const ProfileText& p)
{
    QByteArray out;
    switch (p.encoding) {
    case Encoding::Utf8Bom:
        out = "\xEF\xBB\xBF";
        break;
    case Encoding::Utf16Le:
        out = "\xFF\xFE";
        break;
    case Encoding::Utf16Be:
        out = "\xFE\xFF";
        break;
    default:
        break;
    }
    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    QTextCodec* codec = codecFor(p.encoding);
    return out + codec->fromUnicode(p.text.constData(), p.text.size(), &state);
}

LoadResult load(const QString& file, ProfileText& out)
{
    const QFileInfo info(file);
    if (!info.exists())
        return LoadResult::Absent;
    if (!info.isFile() || info.size() > kMaxProfileBytes)
        return LoadResult::Unusable;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return LoadResult::Unusable;
    // The size can change between the check and the read: bound the read too.
    const QByteArray bytes = f.read(kMaxProfileBytes + 1);
    if (bytes.size() > kMaxProfileBytes || f.error() != QFileDevice::NoError)
        return LoadResult::Unusable;
    out = decode(bytes);
    return LoadResult::Loaded;
}

// One physical line: [start, end) is its text, [end, next) its line break.
struct RawLine {
    int start = 0;
    int end = 0;
    int next = 0;
};

// Lines end at "\n"; a file with no "\n" left ends them at "\r", as the
// Windows reader does, so old Mac-style files still read line by line.
std::vector<RawLine> splitLines(const QString& text)
{
    std::vector<RawLine> lines;
    const int n = text.size();
    bool lfLeft = true;
    int pos = 0;
    while (pos < n) {
        int brk = lfLeft ? text.indexOf(QLatin1Char('\n'), pos) : -1;
        if (brk < 0) {
            lfLeft = false;
            brk = text.indexOf(QLatin1Char('\r'), pos);
        }
        RawLine line;
        line.start = pos;
        if (brk < 0) {
            line.end = line.next = n;
        } else {
            line.end = brk;
            line.next = brk + 1;
            if (text[brk] == QLatin1Char('\n') && brk > pos && text[brk - 1] == QLatin1Char('\r'))
                line.end = brk - 1;
        }
        lines.push_back(line);
        pos = line.next;
    }
    return lines;
}

struct ParsedLine {
    enum Kind { Blank, Section, Key } kind = Blank;
    QStringView name;
    QStringView value;
    bool hasValue = false;
    int equalsAt = -1;  // index of "=" within the line's text, or -1
};

ParsedLine parseLine(QStringView line)
{
    ParsedLine p;
    const QStringView body = trimmed(line);
    if (body.isEmpty())
        return p;
    if (body.front() == QLatin1Char('[')) {
        const int close = body.lastIndexOf(QLatin1Char(']'));
        if (close > 0) {
            p.kind = ParsedLine::Section;
            p.name = cutAtNul(trimmed(body.mid(1, close - 1)));
            return p;
        }
    }
    p.kind = ParsedLine::Key;
    const int eq = body.indexOf(QLatin1Char('='));
    if (eq < 0) {
        p.name = cutAtNul(body);
        return p;
    }
    p.name = cutAtNul(trimmed(body.left(eq)));
    p.value = cutAtNul(trimmed(body.mid(eq + 1)));
    p.hasValue = true;
    p.equalsAt = int(body.data() - line.data()) + eq;
    return p;
}

struct Lookup {
    int sectionLine = -1;     // header of the first matching section
    int lastSectionLine = -1; // last non-blank line belonging to it
    int keyLine = -1;         // first matching key inside it
    ParsedLine key;
};

// Only the first section of a name counts, and in it only the first key of a
// name, which is what the Windows calls read.
Lookup find(const QString& text, const std::vector<RawLine>& lines, QStringView section, QStringView key)
{
    Lookup found;
    bool inTarget = false;
    for (int i = 0; i < int(lines.size()); ++i) {
        const QStringView line = QStringView(text).mid(lines[i].start, lines[i].end - lines[i].start);
        const ParsedLine p = parseLine(line);
        if (p.kind == ParsedLine::Section) {
            if (inTarget)
                break;
            if (found.sectionLine < 0 && sameName(p.name, section)) {
                inTarget = true;
                found.sectionLine = found.lastSectionLine = i;
            }
            continue;
        }
        if (!inTarget || p.kind == ParsedLine::Blank)
            continue;
        found.lastSectionLine = i;
        if (sameName(p.name, key)) {
            found.keyLine = i;
            found.key = p;
            break;
        }
    }
    return found;
}

QString stripQuotes(QStringView value)
{
    if (value.size() >= 2) {
        const QChar q = value.front();
        if ((q == QLatin1Char('"') || q == QLatin1Char('\'')) && value.back() == q)
            return value.mid(1, value.size() - 2).toString();
    }
    return value.toString();
}

QString fitBuffer(QString s, int bufferChars)
{
    if (bufferChars < 1)
        return QString();
    if (s.size() > bufferChars - 1) {
        s.truncate(bufferChars - 1);
        // Never hand back half of a surrogate pair.
        if (!s.isEmpty() && s.at(s.size() - 1).isHighSurrogate())
            s.chop(1);
    }
    return s;
}

bool hasLineBreakOrNul(const QString& s)
{
    return s.contains(QLatin1Char('\n')) || s.contains(QLatin1Char('\r')) || s.contains(QChar(0));
}

QString lineBreakOf(const QString& text, const std::vector<RawLine>& lines)
{
    for (const RawLine& l : lines) {
        if (l.next > l.end)
            return text.mid(l.end, l.next - l.end);
    }
    return QStringLiteral("\n");
}

}  // namespace

QString readProfileString(const QString& file, const QString& section, const QString& key,
                          const QString& defaultValue, int bufferChars)
{
    if (bufferChars < 1)
        return QString();
    ProfileText p;
    if (load(file, p) != LoadResult::Loaded)
        return fitBuffer(defaultValue, bufferChars);
    const std::vector<RawLine> lines = splitLines(p.text);
    const Lookup found = find(p.text, lines, trimmed(section), trimmed(key));
    if (found.keyLine < 0 || !found.key.hasValue)
        return fitBuffer(defaultValue, bufferChars);
    return fitBuffer(stripQuotes(found.key.value), bufferChars);
}

int readProfileInt(const QString& file, const QString& section, const QString& key, int defaultValue)
{
    // The Windows call reads the value through a 30-character buffer.
    const QString text = readProfileString(file, section, key, QString(), 30);
    if (text.isEmpty())
        return defaultValue;
    int i = 0;
    while (i < text.size() && text[i].unicode() <= ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    // Overflow wraps around in 32 bits, as the Windows conversion does.
    std::uint32_t value = 0;
    for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i)
        value = value * 10u + std::uint32_t(text[i].unicode() - '0');
    if (negative)
        value = 0u - value;
    return static_cast<int>(value);
}

bool writeProfileString(const QString& file, const QString& section, const QString& key, const QString& value)
{
    const QString sectionName = trimmed(section).toString();
    const QString keyName = trimmed(key).toString();
    if (sectionName.isEmpty() || keyName.isEmpty() || hasLineBreakOrNul(sectionName) || hasLineBreakOrNul(keyName)
        || hasLineBreakOrNul(value) || sectionName.contains(QLatin1Char(']')) || keyName.contains(QLatin1Char('='))
        || keyName.startsWith(QLatin1Char('[')))
        return false;

    ProfileText p;
    switch (load(file, p)) {
    case LoadResult::Unusable:
        return false;
    case LoadResult::Absent:
        p = ProfileText();
        break;
    case LoadResult::Loaded:
        break;
    }

    const std::vector<RawLine> lines = splitLines(p.text);
    const QString eol = lineBreakOf(p.text, lines);
    const Lookup found = find(p.text, lines, sectionName, keyName);
    QString& text = p.text;

    if (found.keyLine >= 0) {
        const RawLine& l = lines[found.keyLine];
        QString replacement;
        if (found.key.hasValue) {
            int keep = l.start + found.key.equalsAt + 1;
            while (keep < l.end && (text[keep] == QLatin1Char(' ') || text[keep] == QLatin1Char('\t')))
                ++keep;
            replacement = text.mid(l.start, keep - l.start) + value;
        } else {
            const QStringView line = QStringView(text).mid(l.start, l.end - l.start);
            const QStringView body = trimmed(line);
            replacement = line.left(int(body.data() - line.data()) + body.size()).toString()
                          + QLatin1Char('=') + value;
        }
        text.replace(l.start, l.end - l.start, replacement);
    } else if (found.sectionLine >= 0) {
        const RawLine& last = lines[found.lastSectionLine];
        QString insert = keyName + QLatin1Char('=') + value + eol;
        if (last.next == last.end)  // the section's last line ends the file without a line break
            insert.prepend(eol);
        text.insert(last.next, insert);
    } else {
        if (!text.isEmpty()) {
            if (!text.endsWith(QLatin1Char('\n')) && !text.endsWith(QLatin1Char('\r')))
                text += eol;
            text += eol;
        }
        text += QLatin1Char('[') + sectionName + QLatin1Char(']') + eol + keyName + QLatin1Char('=') + value + eol;
    }

    // A file in an eight-bit code page that cannot hold the new text moves to
    // UTF-8: every character stays what it was.
    if (p.encoding == Encoding::Local || p.encoding == Encoding::Latin1) {
        QTextCodec* codec = codecFor(p.encoding);
        if (!codec || !codec->canEncode(text))
            p.encoding = Encoding::Utf8;
    }

    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = encode(p);
    if (out.write(bytes) != bytes.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

}  // namespace platform
