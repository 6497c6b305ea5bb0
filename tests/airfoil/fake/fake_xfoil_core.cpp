// A scripted stand-in for xfoil-core with canned answers, for testing the program's
// side of the conversation. Its behaviour is chosen by the name it is started under
// (tests link it under names such as ".../converging"); everything it reads is
// appended to "<its name>.log".
//
//   converging  thickness 0.123; "T alpha cl cd" with cl = 2 pi alpha, cd = 0.01 + alpha^2,
//               but "F" at 13° and 14°
//   words       answers with the words True, Tconv, False, X, T (with nan), t in turn
//   exit3       answers three requests, then exits
//   silent      answers the thickness, then never answers again
//   slow        like converging, 200 ms per answer
//   not-installed  after the setting lines, explains on standard error that XFOIL is
//               missing and exits
//   noisy       like converging, after 10 000 lines on standard error and a last one
//   garbage     answers "T alpha 0.5abc 0.2"
//   garbage-thickness  answers "thick" instead of the thickness
//   any other name  like converging, with a log of its own

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <numbers>
#include <string>
#include <thread>

int main(int, char** argv) {
    const std::string self = argv[0];
    const std::string mode = self.substr(self.find_last_of('/') + 1);
    std::ofstream log(self + ".log", std::ios::app);
    auto line = [&](std::string& text) {
        if (!std::getline(std::cin, text)) return false;
        log << (text + "\n") << std::flush;  // one write per line: workers share the log
        return true;
    };

    std::string text;
    if (!line(text)) return 0;
    const int n = std::stoi(text);
    for (int i = 0; i < 2 * n + 1; ++i) line(text);  // coordinates and the closing empty line
    if (mode == "noisy") {
        for (int i = 0; i < 10000; ++i) std::fprintf(stderr, "line %d\n", i);
        std::fprintf(stderr, "noisy: the coordinates look odd\n");
    }
    std::printf("%s\n", mode == "words" ? "0.2" : mode == "garbage-thickness" ? "thick" : "0.123");
    std::fflush(stdout);
    for (int i = 0; i < 3; ++i) line(text);  // iterations, passes, Ncrit
    if (mode == "not-installed") {
        std::fprintf(stderr, "not-installed: XFOIL is not installed (no /usr/bin/xfoil)\n");
        return 1;
    }

    const char* words[] = {"True", "Tconv", "False", "X", "T", "t"};
    for (int request = 0;; ++request) {
        std::string alphaText, re, aux, empty;
        if (!line(alphaText) || !line(re) || !line(aux) || !line(empty)) return 0;
        if (mode == "silent") {
            std::this_thread::sleep_for(std::chrono::hours(1));
            return 0;
        }
        if (mode == "exit3" && request == 3) return 0;
        if (mode == "slow") std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const double alpha = std::stod(alphaText);
        const long degrees = std::lround(alpha * 180.0 / std::numbers::pi);
        if (mode == "garbage") {
            std::printf("T %s 0.5abc 0.2\n", alphaText.c_str());
        } else if (mode == "words") {
            const char* word = words[request % 6];
            if (request % 6 == 4) std::printf("%s %s nan 0.01\n", word, alphaText.c_str());
            else std::printf("%s %s %.6f %.6f\n", word, alphaText.c_str(), 0.5, 0.01);
        } else {
            const bool converged = degrees != 13 && degrees != 14;
            std::printf("%s %s %.6f %.6f\n", converged ? "T" : "F", alphaText.c_str(), 2 * std::numbers::pi * alpha,
                        0.01 + alpha * alpha);
        }
        std::fflush(stdout);
    }
}
