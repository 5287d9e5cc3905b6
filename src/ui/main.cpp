#include "ui/DesktopApp.h"
#include "ui/WebEngineSetup.h"

using namespace pictrove;

int main(int argc, char *argv[])
{
    prepareWebEngine();
    DesktopApp app;
    return app.run(argc, argv);
}
