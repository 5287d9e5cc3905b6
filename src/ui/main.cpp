#include "ui/startup/DesktopApp.h"
#include "ui/login/WebEngineSetup.h"

using namespace pictrove;

int main(int argc, char *argv[])
{
    prepareWebEngine();
    DesktopApp app;
    return app.run(argc, argv);
}
