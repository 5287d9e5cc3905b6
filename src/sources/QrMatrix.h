#pragma once
// A QR code as a square of modules, for the front ends to draw at whatever scale they
// need (the window paints rectangles, the terminal prints half blocks). Encoded with
// libqrencode; the quiet zone around it is the drawer's to add (kQrQuietZone).

#include <QByteArray>

namespace pictrove {

// The light border a reader needs around the code, in modules.
inline constexpr int kQrQuietZone = 4;

class QrMatrix {
public:
    QrMatrix() = default;
    // The code of `text` (as bytes, error correction level M); an empty matrix when it
    // cannot be encoded (too long for any QR version).
    static QrMatrix encode(const QByteArray &text);

    // Modules per side; 0 for an empty matrix.
    int size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    // Whether the module at column x, row y is dark; outside the square (the quiet
    // zone) every module is light.
    bool dark(int x, int y) const;

private:
    int m_size = 0;
    QByteArray m_modules;  // row by row, 1 dark, 0 light
};

}  // namespace pictrove
