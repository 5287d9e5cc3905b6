#include "support/TemporaryHome.h"

namespace pictrove {

namespace {

const char *const kVariables[] = {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"};

}  // namespace

TemporaryHome::TemporaryHome()
{
    for (int i = 0; i < 3; ++i)
        m_saved[i] = {kVariables[i], qEnvironmentVariableIsSet(kVariables[i]), qgetenv(kVariables[i])};
    qputenv("HOME", m_home.path().toUtf8());
    qunsetenv("XDG_DATA_HOME");
    qunsetenv("XDG_CONFIG_HOME");
}

TemporaryHome::~TemporaryHome()
{
    for (const Saved &saved : m_saved) {
        if (saved.set)
            qputenv(saved.name, saved.value);
        else
            qunsetenv(saved.name);
    }
}

QProcessEnvironment TemporaryHome::environment(QProcessEnvironment base) const
{
    base.insert(QStringLiteral("HOME"), path());
    base.remove(QStringLiteral("XDG_DATA_HOME"));
    base.remove(QStringLiteral("XDG_CONFIG_HOME"));
    return base;
}

}  // namespace pictrove
