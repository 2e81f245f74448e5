#include <iostream>

#include "tarnreg/cli.h"

int main(int argc, char** argv) {
    return tarn::reg::runTarnreg({argv + 1, argv + argc}, std::cout, std::cerr);
}
