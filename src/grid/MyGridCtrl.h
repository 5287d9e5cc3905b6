#pragma once
// The album grid: a QTableWidget with the operations the album list view needs.
#include <QTableWidget>

class CMyGridCtrl : public QTableWidget {
    Q_OBJECT
public:
    explicit CMyGridCtrl(QWidget *parent = nullptr);
};
