#pragma once
// The documents the url-load tests serve, written once per run by Pillow
// (fetch_fixtures.py beside this file). nullptr when Pillow is missing.
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "oracles/run_command.h"
#include "oracles/scratch_dir.h"

namespace orvix::test {

struct FetchFixtures {
    oracle::ScratchDir dir;
    std::vector<std::uint8_t> bytes(const std::string& name) const { return oracle::readFile(dir.file(name)); }
};

inline const FetchFixtures* fetchFixtures() {
    static const std::unique_ptr<FetchFixtures> fixtures = [] {
        auto f = std::make_unique<FetchFixtures>();
        const std::string script = (std::filesystem::path(__FILE__).parent_path() / "fetch_fixtures.py").string();
        if (!oracle::runCommand(oracle::systemPython() + " '" + script + "' '" + f->dir.path().string() + "'"))
            f.reset();
        return f;
    }();
    return fixtures.get();
}

}  // namespace orvix::test
