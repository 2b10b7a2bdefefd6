#include "ModalHost.h"

#include "QtModalHost.h"

namespace {
ModalHost *installedHost = nullptr;
}

ModalHost &modalHost()
{
    if (installedHost)
        return *installedHost;
    static QtModalHost realHost;
    return realHost;
}

void setModalHost(ModalHost *host)
{
    installedHost = host;
}
