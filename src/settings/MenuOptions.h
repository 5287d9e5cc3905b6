#pragma once
// The check-mark options of the settings menu (<设置>), each named by the bit of
// NameRules::options it stands for: which options exclude each other, and for which
// source types an option is offered at all. The window's menu (its command ids are
// the desktop program's own) asks these whenever a pop-up opens.

#include "settings/SettingsBlock.h"
#include "settings/SourceType.h"

namespace pictrove {

// Whether `option` is one of the menu's option bits.
bool isMenuOption(uint16_t option);

// Whether the option's entry carries a check mark for these rules.
bool optionChecked(const NameRules &rules, uint16_t option);

// Flips the option's bit. The two shop options exclude each other: ticking one clears
// the other. False (nothing changes) for a bit that is no menu option.
bool toggleOption(NameRules &rules, uint16_t option);

// Whether the entry is offered for this source type: the Yupoo option only for Yupoo,
// the shop options only for the shops and JD; every other option always.
bool optionEnabled(uint16_t option, SourceType type);

}  // namespace pictrove
