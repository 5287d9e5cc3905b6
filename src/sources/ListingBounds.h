#pragma once
// How far a walk through numbered list pages goes, and when a walk that ended by itself
// still leaves its album incomplete. A service decides what its pages say and how many
// there are: neither its counts nor its "下一页" links may keep a walk going for ever.

#include <QString>

namespace pictrove {

// No walk asks for more pages than this, whatever the service promises; it is more than
// any album or article list of the services fills (5000 Weibo photo pages hold 160,000
// photos).
inline constexpr int kMaxListPages = 5000;

// The pages a count of `pictures`, `perPage` to a page, promises: 0 for an unknown count
// (0 or less), never more than kMaxListPages however large the count.
int promisedPages(int pictures, int perPage);

// Why a walk that ended because its pages brought nothing new leaves its album
// incomplete: the album said it holds `promised` pictures and the walk listed `listed`,
// far fewer than the services' counts are usually off by (they count deleted pictures
// too). Empty when the walk may well be whole, or the count is unknown.
QString shortOfCountReason(int promised, int listed);

// Why a walk still finding pictures stopped at kMaxListPages.
QString pageLimitReason();

}  // namespace pictrove
