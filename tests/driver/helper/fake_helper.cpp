// A stand-in for the import helper, for the tests of how its parent judges
// the ways a helper can end. What it does is written in the file it is asked
// to read: "crash", "hang", "exit N", or "print TEXT" (TEXT as given).

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "driver/helper/fake_crash.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::string order(std::istreambuf_iterator<char>(in), {});
    if (order == "crash") {
        tarvel::testing::Crash();
    }
    if (order == "hang") {
        std::this_thread::sleep_for(std::chrono::seconds(30));
        return 0;
    }
    if (order.rfind("exit ", 0) == 0) {
        return std::atoi(order.c_str() + 5);
    }
    if (order.rfind("print ", 0) == 0) {
        const std::string text = order.substr(6);
        std::fwrite(text.data(), 1, text.size(), stdout);
        return 0;
    }
    return 0;
}
