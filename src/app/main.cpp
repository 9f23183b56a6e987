#include "app/Endpoints.h"
#include "app/Entry.h"

int main(int argc, char** argv) {
    return koro::runKoro(argc, argv, koro::Endpoints::production());
}
