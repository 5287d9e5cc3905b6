#pragma once
// The Sina blog: photo categories or an article list as albums, and their pictures.

#include <QString>

class MainWindowState;

// List fetchers (album-list thread): publish albums with AddAlbum, stop when
// state.listState becomes 2.
void SinaBlogCategories(MainWindowState &state, const QString &address);
void SinaBlogArticles(MainWindowState &state, const QString &address);

// Picture fetchers (download driver thread): hand pictures to AddPicture, stop when
// state.downState becomes 2 or 3.
void SinaBlogCategoryPictures(MainWindowState &state, int albumIndex);
void SinaBlogArticlePicture(MainWindowState &state, int albumIndex);
