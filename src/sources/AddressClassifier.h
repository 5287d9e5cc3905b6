#pragma once
// Moving the source-type selector (1002) to the service an owner address belongs
// to, and showing the QQ sub-type selector (1035) when QQ Zone is chosen. Runs on the
// interface thread: when the owner box is edited, at start-up, and when the user
// picks another source type.

class MainWindowState;

// Source-type selector indexes the engine itself refers to.
enum SourceTypeIndexes : int { SOURCE_QQ_ZONE = 0, SOURCE_SINA = 4, SOURCE_SHOPS = 11 };
// QQ sub-type selector entries.
enum QqSubTypes : int { QQ_ZONE_ALBUMS = 0, QQ_GROUP_ALBUMS = 1, QQ_WEIBO_ALBUMS = 2 };

// Reads box 1001; a web address whose host fragment names a service selects that
// service in 1002 (an unknown one keeps the selection), then onSourceTypeChanged.
void classifyAddress(MainWindowState &state);

// Every list runs as the Sina source type, so SourceTypeIndex becomes 4 whatever is
// shown; the sub-type selector is shown, filled and reset only for QQ Zone.
void onSourceTypeChanged(MainWindowState &state);
