#pragma once
// Sina Weibo photo albums and their photos.

#include <QString>

class MainWindowState;

// List fetcher (album-list thread).
void weiboAlbums(MainWindowState &state, const QString &address);
// Picture fetcher (download driver thread).
void weiboAlbumPhotos(MainWindowState &state, int albumIndex);
