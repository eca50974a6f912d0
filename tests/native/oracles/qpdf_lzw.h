#pragma once
// qpdf as the PDF LZWDecode reference: the stream goes into a minimal PDF as
// one stream object, and qpdf prints it with its filters undone.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "oracles/run_command.h"
#include "oracles/scratch_dir.h"

namespace orvix::oracle {

inline bool qpdfAvailable() {
    static const bool available = runCommand("qpdf --version >/dev/null 2>&1").has_value();
    return available;
}

// nullopt when qpdf rejects the stream. earlyChange is written to
// DecodeParms only when it differs from the PDF default of 1.
inline std::optional<std::vector<std::uint8_t>> decodeLzwWithQpdf(std::span<const std::uint8_t> lzw,
                                                                  int earlyChange = 1) {
    std::string pdf = "%PDF-1.4\n";
    std::vector<std::size_t> offsets;
    auto object = [&](const std::string& body) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(offsets.size()) + " 0 obj\n" + body + "\nendobj\n";
    };
    object("<< /Type /Catalog /Pages 2 0 R >>");
    object("<< /Type /Pages /Kids [] /Count 0 >>");
    const std::string parms =
        earlyChange == 1 ? "" : " /DecodeParms << /EarlyChange " + std::to_string(earlyChange) + " >>";
    object("<< /Length " + std::to_string(lzw.size()) + " /Filter /LZWDecode" + parms + " >>\nstream\n" +
           std::string(lzw.begin(), lzw.end()) + "\nendstream");
    const std::size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(offsets.size() + 1) + "\n0000000000 65535 f \n";
    for (std::size_t off : offsets) {
        const std::string n = std::to_string(off);
        pdf += std::string(10 - n.size(), '0') + n + " 00000 n \n";
    }
    pdf += "trailer\n<< /Size " + std::to_string(offsets.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           std::to_string(xref) + "\n%%EOF\n";

    ScratchDir dir;
    const std::string path = dir.file("lzw.pdf");
    writeFile(path, std::span(reinterpret_cast<const std::uint8_t*>(pdf.data()), pdf.size()));
    const auto out = runCommand("qpdf --show-object=3 --filtered-stream-data '" + path + "' 2>/dev/null");
    if (!out) return std::nullopt;
    return std::vector<std::uint8_t>(out->begin(), out->end());
}

}  // namespace orvix::oracle
