#pragma once
// One picture a list page names: its address and the title it is saved under.

#include <QString>

namespace pictrove {

struct PagePicture {
    QString address;
    QString title;
};

}  // namespace pictrove
