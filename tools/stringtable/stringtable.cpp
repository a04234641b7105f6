// Turns the readable UTF-8 string-table sources into the forms the programs
// use: raw UTF-16LE tables (NUL after every string) for RCDATA resources, and
// a C++ source holding the same code units for builds without resources.
//
//   stringtable --count N [--bin-dir DIR] [--cpp FILE] LANGID=SOURCE...
//
// SOURCE: one text per line, `<number> "<text>"`, numbers from 0 without
// gaps; blank lines and lines starting with '#' are ignored; escapes \n, \"
// and \\. Writes DIR/LANGID.bin per language. Runs on the build machine (also
// in the cross build), so it uses nothing but the standard library.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Table {
    int languageId = 0;
    std::string source;
    std::vector<std::u16string> texts;
};

[[noreturn]] void fail(const std::string& where, const std::string& what) {
    std::cerr << where << ": error: " << what << "\n";
    std::exit(1);
}

// Strict UTF-8 to UTF-16: malformed input is an error, not a replacement.
bool appendUtf8(std::u16string& out, const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        auto lead = static_cast<unsigned char>(text[i++]);
        uint32_t cp = lead;
        int extra = 0;
        uint32_t minimum = 0;
        if (lead >= 0x80) {
            if ((lead & 0xE0) == 0xC0) {
                extra = 1, cp = lead & 0x1F, minimum = 0x80;
            } else if ((lead & 0xF0) == 0xE0) {
                extra = 2, cp = lead & 0x0F, minimum = 0x800;
            } else if ((lead & 0xF8) == 0xF0) {
                extra = 3, cp = lead & 0x07, minimum = 0x10000;
            } else {
                return false;
            }
        }
        for (int k = 0; k < extra; ++k) {
            if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (static_cast<unsigned char>(text[i++]) & 0x3F);
        }
        if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return true;
}

// The text between the quotes of one line, escapes resolved.
std::u16string parseText(const std::string& where, const std::string& line, size_t open) {
    std::string text;
    size_t i = open + 1;
    for (;; ++i) {
        if (i >= line.size())
            fail(where, "missing closing quote");
        char c = line[i];
        if (c == '"')
            break;
        if (c != '\\') {
            text.push_back(c);
            continue;
        }
        if (++i >= line.size())
            fail(where, "backslash at the end of the line");
        switch (line[i]) {
        case 'n':
            text.push_back('\n');
            break;
        case '"':
            text.push_back('"');
            break;
        case '\\':
            text.push_back('\\');
            break;
        default:
            fail(where, std::string("unknown escape \\") + line[i]);
        }
    }
    if (line.find_first_not_of(" \t", i + 1) != std::string::npos)
        fail(where, "text after the closing quote");
    std::u16string wide;
    if (!appendUtf8(wide, text))
        fail(where, "not valid UTF-8");
    for (char16_t unit : wide) {
        if (unit == 0)
            fail(where, "NUL inside a text");
    }
    return wide;
}

void readTable(Table& table) {
    std::ifstream in(table.source, std::ios::binary);
    if (!in)
        fail(table.source, "cannot be read");
    std::string line;
    for (int lineNumber = 1; std::getline(in, line); ++lineNumber) {
        std::string where = table.source + ":" + std::to_string(lineNumber);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#')
            continue;
        size_t digitsEnd = line.find_first_not_of("0123456789", first);
        if (digitsEnd == first || digitsEnd == std::string::npos)
            fail(where, "expected a text number");
        long number = std::strtol(line.c_str() + first, nullptr, 10);
        if (number != static_cast<long>(table.texts.size()))
            fail(where, "text number " + std::to_string(number) + ", expected " +
                            std::to_string(table.texts.size()));
        size_t open = line.find_first_not_of(" \t", digitsEnd);
        if (open == digitsEnd || open == std::string::npos || line[open] != '"')
            fail(where, "expected a blank and a quoted text after the number");
        table.texts.push_back(parseText(where, line, open));
    }
}

void writeBinary(const Table& table, const std::string& path) {
    std::string bytes;
    for (const std::u16string& text : table.texts) {
        for (char16_t unit : text) {
            bytes.push_back(static_cast<char>(unit & 0xFF));
            bytes.push_back(static_cast<char>(unit >> 8));
        }
        bytes.append(2, '\0');
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        fail(path, "cannot be written");
}

void writeSource(const std::vector<Table>& tables, const std::string& path) {
    std::ostringstream out;
    out << "// Generated by tools/stringtable from the string-table sources; do not edit.\n"
        << "#include \"support/ui_table_data.h\"\n\nnamespace tonvale {\nnamespace {\n\n";
    for (const Table& table : tables) {
        out << "// " << table.source.substr(table.source.find_last_of("/\\") + 1)
            << "\nconst wchar_t kTable" << table.languageId << "[] = {";
        size_t count = 0;
        for (const std::u16string& text : table.texts) {
            for (size_t i = 0; i <= text.size(); ++i) {
                out << (count++ % 12 == 0 ? "\n   " : "") << " 0x" << std::hex
                    << static_cast<unsigned>(i < text.size() ? text[i] : 0) << std::dec << ",";
            }
        }
        out << "\n};\n\n";
    }
    out << "} // namespace\n\nbool compiledUiTable(int languageId, const wchar_t*& data, size_t& "
           "length) {\n"
        << "    switch (languageId) {\n";
    for (const Table& table : tables) {
        out << "    case " << table.languageId << ":\n        data = kTable" << table.languageId
            << ";\n        length = sizeof kTable" << table.languageId << " / sizeof kTable"
            << table.languageId << "[0];\n        return true;\n";
    }
    out << "    default:\n        return false;\n    }\n}\n\n} // namespace tonvale\n";
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << out.str();
    if (!file)
        fail(path, "cannot be written");
}

} // namespace

int main(int argc, char** argv) {
    size_t count = 0;
    std::string binDir;
    std::string cppPath;
    std::vector<Table> tables;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--count" && i + 1 < argc) {
            count = static_cast<size_t>(std::strtoul(argv[++i], nullptr, 10));
        } else if (arg == "--bin-dir" && i + 1 < argc) {
            binDir = argv[++i];
        } else if (arg == "--cpp" && i + 1 < argc) {
            cppPath = argv[++i];
        } else if (arg.find('=') != std::string::npos && arg[0] != '-') {
            Table table;
            table.languageId = std::atoi(arg.substr(0, arg.find('=')).c_str());
            table.source = arg.substr(arg.find('=') + 1);
            tables.push_back(table);
        } else {
            fail("stringtable",
                 "usage: stringtable --count N [--bin-dir DIR] [--cpp FILE] LANGID=SOURCE...");
        }
    }
    if (tables.empty() || count == 0)
        fail("stringtable", "nothing to do: give --count and at least one LANGID=SOURCE");
    for (Table& table : tables) {
        readTable(table);
        if (table.texts.size() != count)
            fail(table.source, "holds " + std::to_string(table.texts.size()) + " texts, expected " +
                                   std::to_string(count));
        if (!binDir.empty())
            writeBinary(table, binDir + "/" + std::to_string(table.languageId) + ".bin");
    }
    if (!cppPath.empty())
        writeSource(tables, cppPath);
    return 0;
}
