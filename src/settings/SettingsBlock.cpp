#include "settings/SettingsBlock.h"

#include <algorithm>

namespace pictrove {

namespace {

// Block is SettingsBlock or const SettingsBlock; the answer keeps its constness.
template <typename Block>
auto historyOf(Block &block, int kind) -> decltype(&block.ownerHistory)
{
    switch (kind) {
    case kHistoryOwner: return &block.ownerHistory;
    case kHistorySavePath: return &block.savePathHistory;
    default: return nullptr;
    }
}

}  // namespace

bool addHistory(SettingsBlock &block, int kind, const QString &text)
{
    auto *history = historyOf(block, kind);
    // An empty text would push a real entry out for a slot the combo box never shows.
    if (!history || text.isEmpty() || text.size() >= kHistoryLength)
        return false;
    for (const QString &entry : *history) {
        if (entry.compare(text, Qt::CaseInsensitive) == 0)
            return false;
    }
    std::move_backward(history->begin(), history->end() - 1, history->end());
    history->front() = text;
    return true;
}

QStringList historyEntries(const SettingsBlock &block, int kind)
{
    QStringList entries;
    const auto *history = historyOf(block, kind);
    if (!history)
        return entries;
    for (const QString &entry : *history) {
        if (!entry.isEmpty())
            entries.append(entry);
    }
    return entries;
}

}  // namespace pictrove
