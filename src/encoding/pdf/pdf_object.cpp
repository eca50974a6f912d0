#include "encoding/pdf/pdf_object.h"

#include <algorithm>

#include "errors.h"

namespace orvix::pdf {

namespace {

template <class Entries>
auto findEntry(Entries& entries, std::string_view key) {
    return std::find_if(entries.begin(), entries.end(), [key](const auto& e) { return e.first == key; });
}

template <class T>
T& as(Object::Value& v, const char* kind) {
    if (auto* p = std::get_if<T>(&v)) return *p;
    throw Error(std::string("PDF object is not ") + kind);
}

}  // namespace

void Dictionary::set(std::string_view key, Object value) {
    auto it = findEntry(entries_, key);
    if (it != entries_.end())
        it->second = std::move(value);
    else
        entries_.emplace_back(std::string(key), std::move(value));
}

void Dictionary::prepend(std::string_view key, Object value) {
    auto it = findEntry(entries_, key);
    if (it != entries_.end()) entries_.erase(it);
    entries_.emplace(entries_.begin(), std::string(key), std::move(value));
}

bool Dictionary::contains(std::string_view key) const { return find(key) != nullptr; }

const Object* Dictionary::find(std::string_view key) const {
    auto it = findEntry(entries_, key);
    return it == entries_.end() ? nullptr : &it->second;
}

Object* Dictionary::find(std::string_view key) {
    auto it = findEntry(entries_, key);
    return it == entries_.end() ? nullptr : &it->second;
}

Object& Dictionary::at(std::string_view key) {
    if (Object* o = find(key)) return *o;
    throw Error("PDF dictionary has no /" + std::string(key));
}

Stream::Stream() { dict.set("Length", Object(0)); }

Stream::Stream(std::vector<std::uint8_t> bytes) : Stream() { data = std::move(bytes); }

Dictionary& Object::dictionary() { return as<Dictionary>(value_, "a dictionary"); }
Array& Object::array() { return as<Array>(value_, "an array"); }
Stream& Object::stream() { return as<Stream>(value_, "a stream"); }

}  // namespace orvix::pdf
