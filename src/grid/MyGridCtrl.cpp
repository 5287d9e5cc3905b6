#include "grid/MyGridCtrl.h"

CMyGridCtrl::CMyGridCtrl(QWidget *parent)
    : QTableWidget(parent)
{
}
