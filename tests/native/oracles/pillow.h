#pragma once
// Pillow as an independent JPEG reader: it parses the markers in Python and
// converts CMYK to RGB with its own formula (jpeg_inspect.py beside this file).
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "oracles/run_command.h"
#include "oracles/scratch_dir.h"

namespace orvix::oracle {

struct PillowView {
    // Every printed line, split into words, by its first word.
    std::multimap<std::string, std::vector<std::string>> lines;
    std::vector<std::uint8_t> rgb;

    std::vector<std::string> get(const std::string& key) const {
        const auto it = lines.find(key);
        return it == lines.end() ? std::vector<std::string>{} : it->second;
    }
    std::vector<std::vector<std::string>> all(const std::string& key) const {
        std::vector<std::vector<std::string>> found;
        for (auto [it, end] = lines.equal_range(key); it != end; ++it) found.push_back(it->second);
        return found;
    }
};

inline bool pillowAvailable() {
    static const bool available = runCommand(systemPython() + " -c 'import PIL' 2>/dev/null").has_value();
    return available;
}

// nullopt when Pillow cannot read the stream.
inline std::optional<PillowView> inspectWithPillow(std::span<const std::uint8_t> jpeg) {
    ScratchDir dir;
    const std::string in = dir.file("in.jpg"), out = dir.file("out.rgb");
    writeFile(in, jpeg);
    const std::string script = (std::filesystem::path(__FILE__).parent_path() / "jpeg_inspect.py").string();
    const auto printed = runCommand(systemPython() + " '" + script + "' '" + in + "' '" + out + "'");
    if (!printed) return std::nullopt;
    PillowView view;
    std::istringstream text(*printed);
    for (std::string line; std::getline(text, line);) {
        std::istringstream words(line);
        std::string key;
        words >> key;
        std::vector<std::string> rest;
        for (std::string w; words >> w;) rest.push_back(w);
        view.lines.emplace(key, std::move(rest));
    }
    view.rgb = readFile(out);
    return view;
}

}  // namespace orvix::oracle
