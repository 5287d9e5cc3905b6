#include "ui/mainwindow/CommandIds.h"

#include "settings/SettingsBlock.h"

namespace pictrove {

uint16_t optionBit(int command)
{
    static constexpr struct {
        int command;
        uint16_t bit;
    } kOptions[] = {
        {ID_THUNDER_LIST_ONLY, OPT_THUNDER_LIST_ONLY},
        {ID_TITLE_FILE, OPT_TITLE_FILE},
        {ID_FIX_ORDER, OPT_FIX_ORDER},
        {ID_FIX_FORMAT, OPT_FIX_FORMAT},
        {ID_SKIP_PREVIOUS, OPT_SKIP_PREVIOUS},
        {ID_OPEN_FOLDER, OPT_OPEN_FOLDER},
        {ID_SHOP_MAIN_PICTURES, OPT_SHOP_MAIN_PICTURES},
        {ID_SHOP_DESCRIPTION_PICTURES, OPT_SHOP_DESCRIPTION_PICTURES},
        {ID_YUPOO_LARGE, OPT_YUPOO_LARGE},
    };
    for (const auto &entry : kOptions) {
        if (entry.command == command)
            return entry.bit;
    }
    return 0;
}

}  // namespace pictrove
