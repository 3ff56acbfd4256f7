#include <iostream>

#include "kromby/cli/cli.h"

int main(int argc, char** argv) {
    return KrombyCli(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
