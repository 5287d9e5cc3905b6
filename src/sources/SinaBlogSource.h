#pragma once
// The Sina blog: photo categories or an article list as albums, and their pictures.

#include <QString>

class MainWindowState;

// List fetchers (album-list thread): publish albums with addAlbum, stop when
// state.listState becomes 2.
void sinaBlogCategories(MainWindowState &state, const QString &address);
void sinaBlogArticles(MainWindowState &state, const QString &address);

// Picture fetchers (download driver thread): hand pictures to addPicture, stop when
// state.downState becomes 2 or 3.
void sinaBlogCategoryPictures(MainWindowState &state, int albumIndex);
void sinaBlogArticlePicture(MainWindowState &state, int albumIndex);
