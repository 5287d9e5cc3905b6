#pragma once
// Small helpers the fuzz targets share: the input as bytes, and a cursor that takes
// a few bytes off the front to choose options, leaving the rest as the payload.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace pictrove::fuzz {

class FuzzInput {
public:
    FuzzInput(const uint8_t *data, size_t size)
        : m_bytes(reinterpret_cast<const char *>(data), qsizetype(size))
    {
    }

    // The next byte, 0 once the input is used up.
    uint8_t takeByte()
    {
        if (m_at >= m_bytes.size())
            return 0;
        return uint8_t(m_bytes.at(m_at++));
    }

    // Bytes up to the next `separator` (or the end), which is consumed.
    QByteArray takeUntil(char separator)
    {
        const qsizetype end = m_bytes.indexOf(separator, m_at);
        const qsizetype stop = end < 0 ? m_bytes.size() : end;
        const QByteArray part = m_bytes.mid(m_at, stop - m_at);
        m_at = end < 0 ? m_bytes.size() : end + 1;
        return part;
    }

    QByteArray rest()
    {
        const QByteArray part = m_bytes.mid(m_at);
        m_at = m_bytes.size();
        return part;
    }

private:
    QByteArray m_bytes;
    qsizetype m_at = 0;
};

// Aborts with a message: libFuzzer keeps the input that broke the property.
[[noreturn]] void propertyBroken(const char *what, const QString &value);

}  // namespace pictrove::fuzz
