#pragma once
// Werkzeug's reading of a recorded multipart request (multipart_parse.py beside this file).
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "oracles/run_command.h"
#include "oracles/scratch_dir.h"

namespace orvix::oracle {

struct FormPart {
    bool isFile = false;
    std::string name;
    std::string value;  // a field's value
    std::string fileName, contentType;
    std::vector<std::uint8_t> content;  // a file's bytes
};

inline std::string fromHex(const std::string& hex) {
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return out;
}

// nullopt when Werkzeug rejects the request (bad length, bad form).
inline std::optional<std::vector<FormPart>> parseMultipart(const std::string& request, const ScratchDir& dir) {
    const std::string raw = dir.file("request.raw");
    writeFile(raw, std::span(reinterpret_cast<const std::uint8_t*>(request.data()), request.size()));
    const std::string script = (std::filesystem::path(__FILE__).parent_path() / "multipart_parse.py").string();
    const auto printed = runCommand(systemPython() + " " + script + " " + raw + " " + dir.path().string());
    if (!printed) return std::nullopt;
    std::vector<FormPart> parts;
    std::istringstream lines(*printed);
    std::string line;
    while (std::getline(lines, line)) {
        std::vector<std::string> cols;
        std::istringstream fields(line);
        for (std::string col; std::getline(fields, col, '\t');) cols.push_back(col);
        FormPart part;
        part.isFile = cols.at(0) == "file";
        part.name = cols.at(1);
        if (part.isFile) {
            part.fileName = cols.at(2);
            part.contentType = cols.at(3);
            part.content = readFile(cols.at(5));
        } else {
            part.value = cols.size() > 2 ? fromHex(cols[2]) : "";
        }
        parts.push_back(std::move(part));
    }
    return parts;
}

}  // namespace orvix::oracle
