#include "tempenv.h"

#include <QDir>

namespace {
const char *const kVars[4] = {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"};
}

TempEnv::TempEnv()
{
    for (int i = 0; i < 4; ++i) {
        m_had[i] = qEnvironmentVariableIsSet(kVars[i]);
        m_saved[i] = qgetenv(kVars[i]);
    }
    for (const char *sub : {"data", "config", "cache"})
        QDir(root()).mkpath(QString::fromLatin1(sub));
    qputenv("HOME", root().toUtf8());
    qputenv("XDG_DATA_HOME", dataHome().toUtf8());
    qputenv("XDG_CONFIG_HOME", configHome().toUtf8());
    qputenv("XDG_CACHE_HOME", (root() + QStringLiteral("/cache")).toUtf8());
}

TempEnv::~TempEnv()
{
    for (int i = 0; i < 4; ++i) {
        if (m_had[i])
            qputenv(kVars[i], m_saved[i]);
        else
            qunsetenv(kVars[i]);
    }
}
