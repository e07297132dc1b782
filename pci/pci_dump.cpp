#include "pci_dump.h"

#include "pci_config.h"

namespace {

// Dump lines are short (a hex line is 52 bytes); a longer line keeps its first bytes only.
const size_t LineSize = 256;
// Stops a scan of something that is no dump at all (a device, a huge file) from running on.
const unsigned long MaxDumpBytes = 4ul << 20;
const int BytesPerLine = 16;

int NextTextByte(void* source) {
    const char** text = static_cast<const char**>(source);
    if (**text == '\0') return PciDumpEnd;
    return static_cast<unsigned char>(*(*text)++);
}

// Reads one line without its line end into `line`. A line longer than the buffer keeps its start
// and sets *cut. False at the end of the input.
bool ReadLine(PciDumpNextByte next, void* source, unsigned long* budget, char* line, bool* cut) {
    size_t length = 0;
    bool any = false;
    *cut = false;
    for (;;) {
        int c = PciDumpEnd;
        if (*budget > 0) {
            c = next(source);
            --*budget;
        }
        if (c == PciDumpEnd) break;
        any = true;
        if (c == '\n') break;
        if (length + 1 >= LineSize) {
            *cut = true;
            continue;
        }
        // A NUL byte must not end the line's text early: keep it as junk that matches nothing.
        line[length++] = c == '\0' ? '\x01' : static_cast<char>(c);
    }
    line[length] = '\0';
    return any;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

bool RestIsBlank(const char* p) {
    while (IsBlank(*p)) ++p;
    return *p == '\0';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Parses a run of hex digits whose length lies in [minDigits, maxDigits] (maxDigits <= 8); returns
// the position after it, or null when the run is shorter or longer.
const char* ParseHex(const char* p, int minDigits, int maxDigits, unsigned long* value) {
    unsigned long result = 0;
    int digits = 0;
    for (; HexDigit(*p) >= 0; ++p) {
        if (++digits > maxDigits) return nullptr;
        result = result << 4 | static_cast<unsigned long>(HexDigit(*p));
    }
    if (digits < minDigits) return nullptr;
    *value = result;
    return p;
}

// "OO:" with one to three hex digits, then a blank or the line end: the shape of a hex line.
const char* HexLineBody(const char* line, unsigned long* offset) {
    const char* p = ParseHex(line, 1, 3, offset);
    if (p == nullptr || *p != ':' || (p[1] != '\0' && !IsBlank(p[1]))) return nullptr;
    return p + 1;
}

// Exactly sixteen " xx" bytes, then nothing but blanks.
bool ParseHexBytes(const char* p, unsigned char bytes[BytesPerLine]) {
    for (int i = 0; i < BytesPerLine; ++i) {
        unsigned long byte;
        if (*p != ' ') return false;
        p = ParseHex(p + 1, 2, 2, &byte);
        if (p == nullptr) return false;
        bytes[i] = static_cast<unsigned char>(byte);
    }
    return RestIsBlank(p);
}

struct Function {
    unsigned long domain, bus, device, function;
};

// "BB:DD.F" or "DDDD:BB:DD.F", then a blank (before the description) or the line end.
bool ParseHeader(const char* line, Function* f) {
    unsigned long first, second;
    const char* p = ParseHex(line, 2, 8, &first);
    if (p == nullptr || *p != ':') return false;
    const char* q = ParseHex(p + 1, 2, 2, &second);
    if (q == nullptr) return false;
    if (*q == ':') {
        if (p - line < 4) return false;
        f->domain = first;
        f->bus = second;
        q = ParseHex(q + 1, 2, 2, &f->device);
        if (q == nullptr) return false;
    } else {
        if (p - line != 2) return false;
        f->domain = 0;
        f->bus = first;
        f->device = second;
    }
    if (q[0] != '.' || q[1] < '0' || q[1] > '7' || (q[2] != '\0' && !IsBlank(q[2]))) return false;
    f->function = static_cast<unsigned long>(q[1] - '0');
    return f->device <= 0x1F;
}

}  // namespace

uint32_t PciDumpFind(PciDumpNextByte next, void* source, uint32_t address) {
    const unsigned long bus = address >> 16 & 0xFF, device = address >> 11 & 0x1F,
                        function = address >> 8 & 0x7;
    // Configuration reads are dword-aligned whatever bits 1-0 of the register say.
    const unsigned long reg = address & 0xFC;

    char line[LineSize];
    bool cut;
    unsigned long budget = MaxDumpBytes;
    bool inWanted = false;  // the last header line names the wanted function
    while (ReadLine(next, source, &budget, line, &cut)) {
        if (line[0] == '\0' || IsBlank(line[0])) continue;
        unsigned long offset;
        if (const char* body = HexLineBody(line, &offset)) {
            unsigned char bytes[BytesPerLine];
            if (inWanted && !cut && offset == (reg & 0xF0) && ParseHexBytes(body, bytes)) {
                const unsigned char* b = bytes + (reg & 0xC);
                return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
                       static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
            }
            continue;
        }
        // Any other line starts a new function; if it is no valid header, the hex lines below it
        // belong to nothing.
        Function f;
        inWanted = ParseHeader(line, &f) && f.domain == 0 && f.bus == bus && f.device == device &&
                   f.function == function;
    }
    return PciNoDevice;
}

uint32_t PciDumpFindInText(const char* text, uint32_t address) {
    return PciDumpFind(NextTextByte, &text, address);
}
