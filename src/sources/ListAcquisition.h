#pragma once
// "Get List" (button 1004): from the owner address in box 1001 to a filled album
// list. GetListCommand runs on the interface thread when the button is pressed;
// it starts GetListFunc, the album-list thread, or asks the running one to stop.

#include <QString>

class MainWindowState;

// What the user is told when the owner box holds nothing, or no web address.
inline constexpr char16_t kNoAddressMessage[] = u"请输入相册主人的网址";
inline constexpr char16_t kNotWebAddressMessage[] = u"请输入以http://或https://开头的网址";
inline constexpr char16_t kNoAlbumMessage[] =
    u"没有获取到相册，请在登录菜单里登录新浪(微博)帐号后重试,登录时勾上下次自动登录";

// Ignored until start-up has finished. While a list runs it only requests the stop
// (the fetcher ends after its current album); otherwise it clears the albums and
// starts GetListFunc on a thread of state.startThread.
void GetListCommand(MainWindowState &state);

// The album-list thread's body: reads the owner address, shows the running state,
// runs the Sina fetcher the address calls for, reports the count, cleans the owner
// folder names and remembers an address that yielded albums in the history.
void GetListFunc(MainWindowState &state);

// An owner name made a single folder name ending in "/", or left empty.
QString ownerFolderName(const QString &name);
