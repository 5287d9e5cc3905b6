#include "ui/mainwindow/CommandIds.h"

#include "settings/SettingsBlock.h"

namespace pictrove {

uint16_t optionBit(int command)
{
    static constexpr struct {
        int command;
        uint16_t bit;
    } kOptions[] = {
        {kCommandThunderListOnly, kOptionThunderListOnly},
        {kCommandTitleFile, kOptionTitleFile},
        {kCommandFixOrder, kOptionFixOrder},
        {kCommandFixFormat, kOptionFixFormat},
        {kCommandSkipPrevious, kOptionSkipPrevious},
        {kCommandOpenFolder, kOptionOpenFolder},
        {kCommandShopMainPictures, kOptionShopMainPictures},
        {kCommandShopDescriptionPictures, kOptionShopDescriptionPictures},
        {kCommandYupooLarge, kOptionYupooLarge},
    };
    for (const auto &entry : kOptions) {
        if (entry.command == command)
            return entry.bit;
    }
    return 0;
}

}  // namespace pictrove
