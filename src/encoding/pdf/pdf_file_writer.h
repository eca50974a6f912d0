#pragma once
// Numbered objects and the file around them: header, each object at top
// level, the cross-reference table and the trailer.
#include <cstdint>
#include <vector>

#include "encoding/byte_sink.h"
#include "encoding/pdf/pdf_object.h"

namespace orvix::pdf {

// Object n is objects[n - 1]; all are generation 0.
class ObjectTable {
public:
    // Returns the new object's number.
    std::int32_t add(Object object);
    Object& at(std::int32_t number);
    const Object& at(std::int32_t number) const;
    std::int32_t count() const { return static_cast<std::int32_t>(objects_.size()); }
    const std::vector<Object>& objects() const { return objects_; }

private:
    std::vector<Object> objects_;
};

// The same file written object by object, so objects need not be kept.
// Offsets are sink positions, so the file must start at the sink's position 0.
class FileWriter {
public:
    // Writes the header.
    explicit FileWriter(ByteSink& out);
    // Writes the next object; returns its number.
    std::int32_t write(const Object& object);
    std::int32_t count() const { return static_cast<std::int32_t>(offsets_.size()); }
    // Cross-reference table and trailer.
    void finish(std::int32_t root, std::int32_t info);
    ByteSink& sink() const { return out_; }

private:
    ByteSink& out_;
    std::vector<std::uint64_t> offsets_;
};

// Offsets are sink positions, so the file must start at the sink's
// position 0.
void writeFile(const ObjectTable& table, std::int32_t root, std::int32_t info, ByteSink& out);

}  // namespace orvix::pdf
