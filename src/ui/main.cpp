#include "ui/HarviaApp.h"
#include "ui/WebEngineSetup.h"

int main(int argc, char *argv[])
{
    PrepareWebEngine();
    CHarviaApp app;
    return app.run(argc, argv);
}
