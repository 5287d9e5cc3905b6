#pragma once
// The Weibo login's commands of pictrove-cli: login (scan a code drawn in the terminal),
// whoami (whose login is saved) and logout (forget it). Each prints to stdout and
// stderr and returns the exit status. The process cookie store is open already; the
// commands save it.

#include <atomic>

namespace pictrove {

int loginCommand(const std::atomic<bool> &interrupted);
int whoamiCommand();
int logoutCommand();

// What the CLI says of a saved login that ran out, with what to do about it.
inline constexpr char16_t kLoginRunOutHint[] = u"微博登录已失效：请重新登录（pictrove-cli login）";

}  // namespace pictrove
