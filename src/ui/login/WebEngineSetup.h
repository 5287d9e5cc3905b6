#pragma once

namespace pictrove {

// What the embedded browser needs before the QApplication exists. Call first thing
// in main() of every program that shows a LoginWebView.

// Shares OpenGL contexts between the browser and the widgets, and switches off
// Chromium's sandbox when running as root, where it refuses to start at all.
void prepareWebEngine();

}  // namespace pictrove
