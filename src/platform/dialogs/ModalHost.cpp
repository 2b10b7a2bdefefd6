#include "platform/dialogs/ModalHost.h"

#include "platform/dialogs/QtModalHost.h"

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

void setModalHost(ModalHost *host) { installedHost = host; }
