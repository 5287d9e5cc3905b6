#include "ui/HarviaApp.h"

int main(int argc, char *argv[])
{
    CHarviaApp app;
    return app.run(argc, argv);
}
