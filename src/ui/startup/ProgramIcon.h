#pragma once
// The program's icon, drawn in code: a stack of three photo frames.

#include <QIcon>

namespace pictrove {

QIcon programIcon();

}  // namespace pictrove
