#pragma once
// The Download command: one run walks the chosen albums, has each album's picture
// fetcher queue its pictures (addPicture), then transfers them or writes a Thunder
// list, and finally leaves the marker and runs the repairs. Used by the front ends'
// Download button; everything else runs on the driver's own thread.

#include <QString>

class MainWindowState;

// The Download button. Idle: starts a run on a new thread. Running: requests the
// abort, which lets the current step finish and ends the run as usual.
void StartDownload(MainWindowState &state);

// The run itself (thread body).
void DownloadDriver(MainWindowState &state);

// Locks the controls a run must not see changed and turns Download into an abort
// button; EndDownloadUi undoes that and shows "下载完毕".
void BeginDownloadUi(MainWindowState &state);
void EndDownloadUi(MainWindowState &state);

// The folder the Open Path command should open: the album being transferred while a
// coordinator runs, otherwise `savePath` (the save-path box's text).
QString OpenPathFolder(MainWindowState &state, const QString &savePath);
