#pragma once
// The PDF object model: plain values that nest (arrays, dictionaries) and
// streams. A document refers to its numbered objects by PdfRef; containers
// own their elements by value, so shared objects are shared by number only.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace orvix::pdf {

class Object;

struct Ref {
    std::int32_t number = 0;
    std::int32_t generation = 0;
    friend bool operator==(const Ref&, const Ref&) = default;
};

// Raw bytes; escaping happens when written.
struct Name {
    std::string text;
    friend bool operator==(const Name&, const Name&) = default;
};

struct String {
    std::string bytes;
    friend bool operator==(const String&, const String&) = default;
};

struct Array {
    std::vector<Object> items;
};

// Entries keep their insertion order; the order is part of the output.
class Dictionary {
public:
    using Entry = std::pair<std::string, Object>;

    // Replaces an existing entry where it stands, else appends.
    void set(std::string_view key, Object value);
    // Puts the entry first (an existing one with that key is removed first).
    void prepend(std::string_view key, Object value);
    bool contains(std::string_view key) const;
    // nullptr when absent.
    const Object* find(std::string_view key) const;
    Object* find(std::string_view key);
    // Throws Error when absent.
    Object& at(std::string_view key);

    const std::vector<Entry>& entries() const { return entries_; }
    std::size_t size() const { return entries_.size(); }

private:
    std::vector<Entry> entries_;
};

// The dictionary starts with a Length entry, which is rewritten to the data
// size when the stream is written.
struct Stream {
    Stream();
    explicit Stream(std::vector<std::uint8_t> bytes);
    Dictionary dict;
    std::vector<std::uint8_t> data;
};

class Object {
public:
    using Value = std::variant<bool, double, Name, String, Ref, Array, Dictionary, Stream>;

    Object(bool v) : value_(v) {}
    Object(double v) : value_(v) {}
    // Whole numbers are all the writer needs; they are held as doubles.
    Object(std::int32_t v) : value_(static_cast<double>(v)) {}
    Object(Name v) : value_(std::move(v)) {}
    Object(String v) : value_(std::move(v)) {}
    Object(Ref v) : value_(v) {}
    Object(Array v) : value_(std::move(v)) {}
    Object(Dictionary v) : value_(std::move(v)) {}
    Object(Stream v) : value_(std::move(v)) {}

    const Value& value() const { return value_; }
    Value& value() { return value_; }

    // Throws Error when the object is of another kind.
    Dictionary& dictionary();
    Array& array();
    Stream& stream();

private:
    Value value_;
};

inline Object name(std::string text) { return Name{std::move(text)}; }
inline Object string(std::string bytes) { return String{std::move(bytes)}; }
inline Object ref(std::int32_t number) { return Ref{number, 0}; }

}  // namespace orvix::pdf
