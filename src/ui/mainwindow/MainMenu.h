#pragma once

class QMenuBar;
class QWidget;

namespace pictrove {

// The main window's menu bar: login, settings, import/export, tools and help. Each
// action is named "cmd<id>" after its command id so the commands can be wired to it.


QMenuBar *createMainMenu(QWidget *parent);

}  // namespace pictrove
