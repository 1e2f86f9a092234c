#include "platform/desktop/DesktopPlatform.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>

#include <unistd.h>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc < 2)
        return 2;
    keyloom::DesktopPlatform platform;
    if (!platform.acquireSingleInstance(argv[1]))
        return 1;
    if (argc > 2 && std::strcmp(argv[2], "hold") == 0) {
        std::puts("held");
        std::fflush(stdout);
        for (;;)
            ::pause();
    }
    return 0;
}
