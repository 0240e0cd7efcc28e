// Installs the crash handler and crashes when told, so that the crash report
// can be watched from outside. Reads one command a line on standard input:
// "install" (answers "installed"), "overflow" (recurses until the stack
// overflows) and "segv" (the signal of an invalid memory access).

#include "app/crash_handler.h"

#include <QString>

#include <csignal>
#include <iostream>
#include <string>

namespace {

volatile bool keep_recursing = true;

__attribute__((noinline)) int recurse(int depth)
{
    volatile char frame[512];
    frame[0] = static_cast<char>(depth);
    if (!keep_recursing)
        return 0;
    return recurse(depth + 1) + frame[0];  // not a tail call: every level keeps its frame
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 3;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    std::cout << "ready" << std::endl;
    std::string line;
    while (std::getline(std::cin, line)) {
        if (line == "install") {
            qm::app::install_crash_handler(folder);
            std::cout << "installed" << std::endl;
        } else if (line == "overflow") {
            return recurse(0);
        } else if (line == "segv") {
            // Raised rather than caused: a null write would be caught by
            // the undefined-behaviour checks of sanitizer builds first.
            std::raise(SIGSEGV);
        }
    }
    return 0;
}
