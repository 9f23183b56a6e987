// The real program, with every web address on the local test server named by KORO_E2E_BASE.
#include "app/Endpoints.h"
#include "app/Entry.h"

#include <cstdlib>

int main(int argc, char** argv)
{
    const char* base = std::getenv("KORO_E2E_BASE");
    return koro::runKoro(argc, argv,
                         koro::Endpoints::local(QString::fromUtf8(base ? base : "http://127.0.0.1:1")));
}
