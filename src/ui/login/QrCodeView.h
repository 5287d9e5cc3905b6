#pragma once
// Paints a QR code from its module matrix, each module a whole number of device pixels
// where it fits, so the code stays sharp at any size and on any screen scale; the quiet
// zone is painted white around it.

#include "sources/QrMatrix.h"

#include <QWidget>

namespace pictrove {

class QrCodeView : public QWidget {
    Q_OBJECT
public:
    explicit QrCodeView(QWidget *parent = nullptr);

    void setMatrix(const QrMatrix &matrix);
    const QrMatrix &matrix() const { return m_matrix; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QrMatrix m_matrix;
};

}  // namespace pictrove
