#pragma once
// Runs a shell command for a test oracle and returns what it printed.
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace orvix::oracle {

// nullopt when the command cannot start or exits with a non-zero status.
inline std::optional<std::string> runCommand(const std::string& command) {
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return std::nullopt;
    std::string text;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
    if (::pclose(pipe) != 0) return std::nullopt;
    return text;
}

// The system's own Python, which is where Debian's python3-pil lands.
inline std::string systemPython() {
    if (std::FILE* f = std::fopen("/usr/bin/python3", "r")) {
        std::fclose(f);
        return "/usr/bin/python3";
    }
    return "python3";
}

}  // namespace orvix::oracle
