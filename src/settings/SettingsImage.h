#pragma once
// The raw "soft.dat" record: SETTINGS_BLOCK_SIZE bytes, little-endian integers and
// NUL-terminated UTF-16LE texts in fixed arrays, byte-compatible with the files the
// Windows program writes. Use these to store or read a SettingsBlock as bytes.

#include "settings/SettingsBlock.h"

#include <QByteArray>

namespace pictrove {

// Record offsets. Everything else in the record is addressed relative to these.
constexpr int IMAGE_DOWNLOAD_PARAMS = 0;         // SOURCE_TYPE_COUNT x DOWNLOAD_PARAMS_SIZE
constexpr int IMAGE_NAME_RULES = 192;            // SOURCE_TYPE_COUNT x NAME_RULES_SIZE
constexpr int IMAGE_OWNER_HISTORY = 11808;       // HISTORY_COUNT x HISTORY_LENGTH code units
constexpr int IMAGE_SAVE_PATH_HISTORY = 15808;   // HISTORY_COUNT x HISTORY_LENGTH code units
constexpr int DOWNLOAD_PARAMS_SIZE = 8;
constexpr int NAME_RULES_SIZE = 484;

// Exactly SETTINGS_BLOCK_SIZE bytes. A text too long for its array keeps its first
// length - 1 code units (never half a surrogate pair) so that the terminator fits.
QByteArray toSettingsImage(const SettingsBlock &block);

// Reads a record; a shorter image reads as if padded with zero bytes, bytes past the
// record are ignored. A text runs to its terminator or to the end of its array.
SettingsBlock fromSettingsImage(const QByteArray &image);

}  // namespace pictrove
