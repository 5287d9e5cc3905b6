#pragma once
// The raw "soft.dat" record: kSettingsBlockSize bytes, little-endian integers and
// NUL-terminated UTF-16LE texts in fixed arrays, byte-compatible with the files the
// Windows program writes. Use these to store or read a SettingsBlock as bytes.

#include "settings/SettingsBlock.h"

#include <QByteArray>

namespace pictrove {

// Record offsets. Everything else in the record is addressed relative to these.
constexpr int kDownloadParamsOffset = 0;       // kSourceTypeRecordCount x kDownloadParamsSize
constexpr int kNameRulesOffset = 192;          // kSourceTypeRecordCount x kNameRulesSize
constexpr int kOwnerHistoryOffset = 11808;     // kHistoryCount x kHistoryLength code units
constexpr int kSavePathHistoryOffset = 15808;  // kHistoryCount x kHistoryLength code units
constexpr int kDownloadParamsSize = 8;
constexpr int kNameRulesSize = 484;

// Exactly kSettingsBlockSize bytes. A text too long for its array keeps its first
// length - 1 code units (never half a surrogate pair) so that the terminator fits.
QByteArray toSettingsImage(const SettingsBlock &block);

// Reads a record; a shorter image reads as if padded with zero bytes, bytes past the
// record are ignored. A text runs to its terminator or to the end of its array.
SettingsBlock fromSettingsImage(const QByteArray &image);

}  // namespace pictrove
