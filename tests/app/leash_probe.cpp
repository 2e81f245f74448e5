// Stands in for a main instance that is then killed: it listens for copies, gives one copy of
// the default user its permission, prints the copy's "Token=" and "Main=" parameters, one a line,
// and waits.
#include <QCoreApplication>
#include <cstdio>

#include "app/copy_leash.h"
#include "platform/clock.h"
#include "session/spawn_token.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    tarn::CopyLeash leash;
    const QString name = leash.name();
    if (name.isEmpty())
        return 1;
    const std::string token =
        tarn::issueSpawnToken("Default Group", "Default User", tarn::SystemClock());
    std::printf("Token=%s\nMain=%s\n", token.c_str(), name.toStdString().c_str());
    std::fflush(stdout);
    return QCoreApplication::exec();
}
