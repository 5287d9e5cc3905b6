// The reversible byte transforms that keep the program's constant texts (service
// addresses, banner texts) out of plain sight in the binary. They are obfuscation,
// not protection.
#include "text/Scramble.h"

#include "text/Charsets.h"

namespace pictrove {

namespace {

const char kUpperHex[] = "0123456789ABCDEF";

// Malformed digits read as 0: scrambled input is ours, and a bad digit must only
// spoil its own byte.
int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return 0;
}

QByteArray toUpperHex(const QByteArray &bytes)
{
    QByteArray out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto b = quint8(c);
        out += kUpperHex[b >> 4];
        out += kUpperHex[b & 0x0F];
    }
    return out;
}

// Pairs of digits to bytes; a dangling last digit is ignored.
QByteArray fromHexPairs(const QByteArray &digits)
{
    QByteArray out;
    out.reserve(digits.size() / 2);
    for (qsizetype i = 0; i + 1 < digits.size(); i += 2)
        out += char(hexDigit(digits.at(i)) * 16 + hexDigit(digits.at(i + 1)));
    return out;
}

}  // namespace

void complementHex(QByteArray &bytes, bool encode)
{
    if (encode) {
        QByteArray flipped = bytes;
        for (char &c : flipped)
            c = char(~quint8(c));
        bytes = toUpperHex(flipped);
        return;
    }
    bytes = fromHexPairs(bytes);
    for (char &c : bytes)
        c = char(~quint8(c));
}

namespace {

// Escape codes that follow a byte equal to its key byte. They keep NUL (P == K),
// CR (P ^ K == 13) and LF (P ^ K == 10) out of the scrambled bytes.
constexpr char kEscSame = 0x31;
constexpr char kEscCr = 0x32;
constexpr char kEscLf = 0x33;

}  // namespace

QString obscureString(const QString &text, bool encode, const QString &key)
{
    const QByteArray k = toGbk(key);
    if (k.isEmpty())
        return QString();

    if (encode) {
        const QByteArray plain = toGbk(text);
        QByteArray out;
        out.reserve(plain.size() * 2);
        for (qsizetype i = 0; i < plain.size(); ++i) {
            const char p = plain.at(i);
            const char kb = k.at(i % k.size());
            const char x = char(p ^ kb);
            if (p == kb)
                out.append(kb).append(kEscSame);
            else if (x == 13)
                out.append(kb).append(kEscCr);
            else if (x == 10)
                out.append(kb).append(kEscLf);
            else
                out.append(x);
        }
        complementHex(out, true);
        return QString::fromLatin1(out);
    }

    QByteArray bytes = text.toLatin1();
    complementHex(bytes, false);
    QByteArray plain;
    plain.reserve(bytes.size());
    qsizetype keyIndex = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char b = bytes.at(i);
        const char kb = k.at(keyIndex++ % k.size());
        if (b != kb) {
            plain.append(char(b ^ kb));
            continue;
        }
        if (i + 1 >= bytes.size())
            break;  // an escape cut off at the end carries no byte
        const char code = bytes.at(++i);
        if (code == kEscSame)
            plain.append(kb);
        else if (code == kEscCr)
            plain.append(char(kb ^ 13));
        else
            plain.append(char(kb ^ 10));
    }
    return fromCodePage(plain, kCodePageGbk);
}

QString shiftBytes(const QString &text, int start, int step)
{
    QByteArray bytes = toGbk(text);
    // Unsigned arithmetic: the sum wraps modulo 256 without signed overflow.
    const auto s = unsigned(start);
    const auto d = unsigned(step);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char(quint8(unsigned(quint8(bytes.at(i))) + s + unsigned(i) * d));
    return fromCodePage(bytes, kCodePageGbk);
}

}  // namespace pictrove
