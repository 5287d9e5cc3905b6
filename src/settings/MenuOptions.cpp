#include "settings/MenuOptions.h"

#include "settings/SourceType.h"

namespace pictrove {

namespace {

struct OptionEntry {
    int command;
    uint16_t bit;
};

constexpr OptionEntry kOptions[] = {
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

constexpr SourceType kShopSourceTypes[] = {SourceType::Shops, SourceType::Jd};

}  // namespace

uint16_t optionBit(int command)
{
    for (const OptionEntry &entry : kOptions) {
        if (entry.command == command)
            return entry.bit;
    }
    return 0;
}

bool optionChecked(const NameRules &rules, int command)
{
    const uint16_t bit = optionBit(command);
    return bit != 0 && (rules.options & bit) != 0;
}

bool toggleOption(NameRules &rules, int command)
{
    const uint16_t bit = optionBit(command);
    if (bit == 0)
        return false;
    if (rules.options & bit) {
        rules.options &= uint16_t(~bit);
        return true;
    }
    rules.options |= bit;
    if (bit == OPT_SHOP_MAIN_PICTURES)
        rules.options &= uint16_t(~OPT_SHOP_DESCRIPTION_PICTURES);
    else if (bit == OPT_SHOP_DESCRIPTION_PICTURES)
        rules.options &= uint16_t(~OPT_SHOP_MAIN_PICTURES);
    return true;
}

bool optionEnabled(int command, SourceType type)
{
    switch (command) {
    case ID_YUPOO_LARGE:
        return type == SourceType::Yupoo;
    case ID_SHOP_MAIN_PICTURES:
    case ID_SHOP_DESCRIPTION_PICTURES:
        for (const SourceType shop : kShopSourceTypes) {
            if (type == shop)
                return true;
        }
        return false;
    default:
        return true;
    }
}

}  // namespace pictrove
