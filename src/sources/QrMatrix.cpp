#include "sources/QrMatrix.h"

#include <qrencode.h>

#include <memory>

namespace pictrove {

QrMatrix QrMatrix::encode(const QByteArray &text)
{
    QrMatrix matrix;
    if (text.isEmpty())
        return matrix;
    // Version 0: the smallest version that holds the text.
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeData(int(text.size()), reinterpret_cast<const unsigned char *>(text.constData()), 0,
                          QR_ECLEVEL_M),
        &QRcode_free);
    if (!code || code->width <= 0)
        return matrix;
    matrix.m_size = code->width;
    matrix.m_modules.resize(qsizetype(code->width) * code->width);
    // libqrencode keeps other flags in the upper bits of each byte; bit 0 is the colour.
    for (qsizetype i = 0; i < matrix.m_modules.size(); ++i)
        matrix.m_modules[i] = char(code->data[i] & 1);
    return matrix;
}

bool QrMatrix::dark(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_size || y >= m_size)
        return false;
    return m_modules.at(qsizetype(y) * m_size + x) != 0;
}

}  // namespace pictrove
