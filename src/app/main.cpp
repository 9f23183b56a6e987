#include "app/Entry.h"
#include "config/Endpoints.h"

int main(int argc, char** argv) {
    return koro::runKoro(argc, argv, koro::Endpoints::production());
}
