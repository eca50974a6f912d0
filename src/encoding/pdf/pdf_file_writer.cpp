#include "encoding/pdf/pdf_file_writer.h"

#include <array>
#include <cstdio>
#include <string>

#include "encoding/pdf/pdf_syntax.h"
#include "errors.h"

namespace orvix::pdf {

namespace {

// No '%' in front of the binary bytes: this is the line readers of our files
// have always been given.
constexpr std::array<std::uint8_t, 14> kHeader = {'%', 'P', 'D', 'F', '-', '1', '.', '4', '\n',
                                                  0xC8, 0xD2, 0xF0, 0xFE, '\n'};

std::string xrefEntry(std::uint64_t offset) {
    if (offset > 9999999999ULL) throw Error("PDF file too large for its cross-reference table");
    char line[32];
    std::snprintf(line, sizeof line, "%010llu 00000 n \n", static_cast<unsigned long long>(offset));
    return line;
}

}  // namespace

std::int32_t ObjectTable::add(Object object) {
    objects_.push_back(std::move(object));
    return count();
}

Object& ObjectTable::at(std::int32_t number) {
    if (number < 1 || number > count()) throw Error("No PDF object " + std::to_string(number));
    return objects_[static_cast<std::size_t>(number - 1)];
}

const Object& ObjectTable::at(std::int32_t number) const {
    return const_cast<ObjectTable&>(*this).at(number);
}

FileWriter::FileWriter(ByteSink& out) : out_(out) { out_.write(kHeader); }

std::int32_t FileWriter::write(const Object& object) {
    offsets_.push_back(out_.position());
    const std::int32_t number = count();
    writeText(out_, std::to_string(number) + " 0 obj\n");
    writeObject(object, out_);
    writeText(out_, "\nendobj\n");
    return number;
}

void FileWriter::finish(std::int32_t root, std::int32_t info) {
    const std::uint64_t xref = out_.position();
    const std::string size = std::to_string(count() + 1);
    writeText(out_, "xref\n0 " + size + "\n0000000000 65535 f \n");
    for (std::uint64_t offset : offsets_) writeText(out_, xrefEntry(offset));

    writeText(out_, "trailer\n<< /Size " + size + "\n/Root " + std::to_string(root) + " 0 R\n/Info " +
                        std::to_string(info) + " 0 R\n>>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n");
}

void writeFile(const ObjectTable& table, std::int32_t root, std::int32_t info, ByteSink& out) {
    FileWriter writer(out);
    for (const Object& object : table.objects()) writer.write(object);
    writer.finish(root, info);
}

}  // namespace orvix::pdf
