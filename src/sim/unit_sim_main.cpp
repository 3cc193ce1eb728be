// torvane-unit-sim: the simulated unit on a pseudo-terminal, for end-to-end runs of the real
// serial adapter.

#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "sim/pty_server.h"
#include "sim/sim_options.h"
#include "sim/unit_model.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void OnStopSignal(int) {
    stopRequested = 1;
}

bool LoadImage(const std::string& path, torvane::DeviceImage& image, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open \"" + path + "\"";
        return false;
    }
    std::vector<char> bytes;
    bytes.reserve(torvane::ImageSize + 1);
    char c;
    while (bytes.size() <= torvane::ImageSize && in.get(c)) bytes.push_back(c);
    if (bytes.size() != torvane::ImageSize) {
        error = "\"" + path + "\" is not a " + std::to_string(torvane::ImageSize) + "-byte image";
        return false;
    }
    for (std::size_t i = 0; i < torvane::ImageSize; ++i) {
        image.setByte(i, static_cast<std::uint8_t>(bytes[i]));
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::string error;
    const auto options = torvane::ParseSimOptions(args, error);
    if (!options) {
        std::cerr << "torvane-unit-sim: " << error << "\n\n" << torvane::SimUsage();
        return 2;
    }
    if (options->help) {
        std::cout << torvane::SimUsage();
        return 0;
    }

    torvane::UnitModel unit(options->identity, options->seed);
    unit.faults() = options->faults;
    if (options->motion == torvane::EngineMotion::Hold) unit.engine().hold(options->holdPoint);
    if (options->motion == torvane::EngineMotion::Sweep) unit.engine().sweep();
    if (!options->imageFile.empty()) {
        torvane::DeviceImage image;
        if (!LoadImage(options->imageFile, image, error)) {
            std::cerr << "torvane-unit-sim: " << error << "\n";
            return 2;
        }
        unit.setStoredImage(image);
    }

    torvane::PtyServer server(unit);
    if (!server.start()) {
        std::cerr << "torvane-unit-sim: " << server.error() << "\n";
        return 1;
    }
    if (!options->quiet) server.setLog([](const std::string& line) { std::cerr << line << '\n'; });

    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    std::cout << server.slavePath() << std::endl;
    server.serve([] { return stopRequested == 0; });
    return 0;
}
