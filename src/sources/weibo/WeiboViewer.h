#pragma once
// Who the saved Weibo login belongs to, asked of the web API the way the weibo.com
// pages ask: the configuration names the viewer's id, the profile of that id its
// name. Also whether a login is saved at all, and forgetting it.

#include <QString>

#include <functional>

namespace pictrove {

struct WeiboViewer {
    enum class State {
        LoggedIn,     // `uid` and `name` say who
        NotLoggedIn,  // the web API answered as to a visitor (the login ran out, or there is none)
        Unknown,      // no usable answer: `detail` says what came back
    };
    State state = State::Unknown;
    QString uid;
    QString name;
    QString detail;
};

// Asks the web API with the cookies of the process store. Blocking; `stopRequested`
// (may be empty) ends the asking.
WeiboViewer askWeiboViewer(const std::function<bool()> &stopRequested = {});

// Whether the process store holds a Weibo login cookie (SUB for weibo.com).
bool hasSavedWeiboLogin();

// Forgets the Weibo login: every cookie of weibo.com and weibo.cn, and the Sina
// passport's login cookies, leave the process store. The caller saves the store.
// Returns how many cookies went.
int forgetWeiboLogin();

}  // namespace pictrove
