// The login browser's suite: a real embedded browser on a display (the test runs
// under xvfb-run). Chromium gets no GPU, no background traffic, and no host name but
// the loopback address resolves, so nothing a page asks for can leave the machine.
#include "ui/login/LoginProfile.h"
#include "ui/login/WebEngineSetup.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <vector>

namespace pictrove {



}  // namespace pictrove

using namespace pictrove;

int main(int argc, char **argv)
{
    prepareWebEngine();
    std::vector<char *> qtArgs(argv, argv + argc);
    char webEngineArgs[] = "--webEngineArgs";
    char noGpu[] = "--disable-gpu";
    char quiet[] = "--disable-background-networking";
    char noUpdates[] = "--disable-component-update";
    char noFirstRun[] = "--no-first-run";
    char loopbackOnly[] = "--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE 127.0.0.1";
    for (char *arg : {webEngineArgs, noGpu, quiet, noUpdates, noFirstRun, loopbackOnly})
        qtArgs.push_back(arg);
    int qtArgc = int(qtArgs.size());
    qtArgs.push_back(nullptr);
    QApplication app(qtArgc, qtArgs.data());

    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    // Pages are gone with the tests; the profile must go before the application.
    releaseLoginProfile();
    return result;
}
