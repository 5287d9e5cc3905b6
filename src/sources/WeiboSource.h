#pragma once
// Sina Weibo photo albums and their photos.

#include <QString>

class MainWindowState;

// List fetcher (album-list thread).
void WeiboAlbums(MainWindowState &state, const QString &address);
// Picture fetcher (download driver thread).
void WeiboAlbumPhotos(MainWindowState &state, int albumIndex);
