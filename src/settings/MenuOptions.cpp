#include "settings/MenuOptions.h"

#include "settings/SourceType.h"

namespace pictrove {

namespace {

constexpr uint16_t kMenuOptions[] = {
    kOptionThunderListOnly,  kOptionTitleFile,               kOptionFixOrder,
    kOptionFixFormat,        kOptionSkipPrevious,            kOptionOpenFolder,
    kOptionShopMainPictures, kOptionShopDescriptionPictures, kOptionYupooLarge,
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
    if (option == kOptionShopMainPictures)
        rules.options &= uint16_t(~kOptionShopDescriptionPictures);
    else if (option == kOptionShopDescriptionPictures)
        rules.options &= uint16_t(~kOptionShopMainPictures);
    return true;
}

bool optionEnabled(uint16_t option, SourceType type)
{
    if (option == kOptionYupooLarge)
        return type == SourceType::Yupoo;
    if (option == kOptionShopMainPictures || option == kOptionShopDescriptionPictures) {
        for (const SourceType shop : kShopSourceTypes) {
            if (type == shop)
                return true;
        }
        return false;
    }
    return true;
}

}  // namespace pictrove
