#include "settings/MenuOptions.h"

#include "settings/SourceType.h"

namespace pictrove {

namespace {

constexpr uint16_t kMenuOptions[] = {
    OPT_THUNDER_LIST_ONLY, OPT_TITLE_FILE,         OPT_FIX_ORDER,
    OPT_FIX_FORMAT,        OPT_SKIP_PREVIOUS,      OPT_OPEN_FOLDER,
    OPT_SHOP_MAIN_PICTURES, OPT_SHOP_DESCRIPTION_PICTURES, OPT_YUPOO_LARGE,
};

constexpr SourceType kShopSourceTypes[] = {SourceType::Shops, SourceType::Jd};

}  // namespace

bool isMenuOption(uint16_t option)
{
    for (const uint16_t known : kMenuOptions) {
        if (known == option)
            return true;
    }
    return false;
}

bool optionChecked(const NameRules &rules, uint16_t option)
{
    return isMenuOption(option) && (rules.options & option) != 0;
}

bool toggleOption(NameRules &rules, uint16_t option)
{
    if (!isMenuOption(option))
        return false;
    if (rules.options & option) {
        rules.options &= uint16_t(~option);
        return true;
    }
    rules.options |= option;
    if (option == OPT_SHOP_MAIN_PICTURES)
        rules.options &= uint16_t(~OPT_SHOP_DESCRIPTION_PICTURES);
    else if (option == OPT_SHOP_DESCRIPTION_PICTURES)
        rules.options &= uint16_t(~OPT_SHOP_MAIN_PICTURES);
    return true;
}

bool optionEnabled(uint16_t option, SourceType type)
{
    if (option == OPT_YUPOO_LARGE)
        return type == SourceType::Yupoo;
    if (option == OPT_SHOP_MAIN_PICTURES || option == OPT_SHOP_DESCRIPTION_PICTURES) {
        for (const SourceType shop : kShopSourceTypes) {
            if (type == shop)
                return true;
        }
        return false;
    }
    return true;
}

}  // namespace pictrove
