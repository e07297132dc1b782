#include "file_choice.h"

#include "settings.h"

CString DirectoryOfPath(const char* path, LeadBytePredicate isLeadByte) {
    if (!path) return CString();
    const unsigned char* p = reinterpret_cast<const unsigned char*>(path);
    int lastSeparator = -1;
    for (int i = 0; p[i]; ++i) {
        if (isLeadByte(p[i])) {
            if (!p[i + 1]) break;  // a lone lead byte ends the text
            ++i;                   // its trail byte may equal '\\' without being a separator
        } else if (p[i] == '\\') {
            lastSeparator = i;
        }
    }
    return lastSeparator < 0 ? CString() : CString(path, static_cast<size_t>(lastSeparator));
}

CString DialogDirectory(const CString& directory) {
    if (directory.GetLength() == 2 && directory.c_str()[1] == ':') return directory + "\\";
    return directory;
}

CString ChosenFileSetting(const char* directory, const char* file, LeadBytePredicate isLeadByte) {
    CString field;
    field.Format("%s\\%s", directory ? directory : "", file ? file : "");
    UpperCaseAnsi(field.GetBuffer(field.GetLength()), isLeadByte);
    field.ReleaseBuffer();
    return field;
}

bool FitsSettingText(const CString& text) { return text.GetLength() <= SettingTextLimit; }

void AdoptProbeText(CString& field, const char* probeText) {
    if (field.IsEmpty()) field = probeText ? probeText : "";
}
