#include "encoding/pdf/pdf_syntax.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <span>
#include <system_error>

#include "errors.h"

namespace orvix::pdf {

namespace {

struct Writer {
    ByteSink& out;

    void operator()(bool v) const { writeText(out, v ? "true" : "false"); }
    void operator()(double v) const { writeText(out, formatNumber(v)); }
    void operator()(const Name& v) const { writeText(out, formatName(v.text)); }
    void operator()(const String& v) const { writeText(out, formatString(v.bytes)); }
    void operator()(const Ref& v) const {
        writeText(out, std::to_string(v.number) + " " + std::to_string(v.generation) + " R");
    }
    void operator()(const Array& v) const {
        writeText(out, "[");
        for (const Object& item : v.items) {
            writeObject(item, out);
            writeText(out, " ");
        }
        writeText(out, "]");
    }
    void operator()(const Dictionary& v) const { dictionary(v, nullptr); }
    void operator()(const Stream& v) const {
        const Object length(static_cast<double>(v.data.size()));
        dictionary(v.dict, &length);
        writeText(out, "\nstream\n");
        out.write(v.data);
        writeText(out, "\nendstream");
    }

    // `length`, when given, stands in for the Length entry's value.
    void dictionary(const Dictionary& d, const Object* length) const {
        writeText(out, "<< ");
        for (const auto& [key, value] : d.entries()) {
            // Keys are ours and plain, so they go out unescaped.
            writeText(out, "/");
            writeText(out, key);
            writeText(out, " ");
            writeObject(length && key == "Length" ? *length : value, out);
            writeText(out, "\n");
        }
        writeText(out, ">>");
    }
};

}  // namespace

std::string formatNumber(double value) {
    if (!std::isfinite(value)) throw Error("PDF number is not finite");
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    std::string text(buffer, end);
    // PDF has no exponent form; the rare huge or tiny value goes out fixed.
    if (text.find('e') != std::string::npos) {
        auto [fixedEnd, fixedEc] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
        if (fixedEc != std::errc()) throw Error("PDF number out of range");
        text.assign(buffer, fixedEnd);
    }
    return text == "-0" ? "0" : text;
}

std::string formatName(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string s = "/";
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < '!' || b > '~') {
            s += '#';
            s += kHex[b >> 4];
            s += kHex[b & 15];
        } else {
            s += c;
        }
    }
    return s;
}

std::string formatString(std::string_view bytes) {
    std::string s = "(";
    for (char c : bytes) {
        switch (c) {
            case '\b': s += "\\b"; break;
            case '\t': s += "\\t"; break;
            case '\n': s += "\\n"; break;
            case '\f': s += "\\f"; break;
            case '\r': s += "\\r"; break;
            case '(': s += "\\("; break;
            case ')': s += "\\)"; break;
            case '\\': s += "\\\\"; break;
            default: s += c;
        }
    }
    s += ')';
    return s;
}

void writeText(ByteSink& out, std::string_view text) {
    out.write(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

void writeObject(const Object& object, ByteSink& out) { std::visit(Writer{out}, object.value()); }

}  // namespace orvix::pdf
