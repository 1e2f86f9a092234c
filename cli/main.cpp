#include "cli/Vkxx.h"

#include <iostream>

int main(int argc, char** argv) {
    return keyloom::cli::RunVkxx(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
