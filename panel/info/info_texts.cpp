#include "info_texts.h"

// Constructed empty before the pages exist; kept between activations.
CString InfoTexts[InfoTextCount];

InfoFile InfoFiles[InfoFileCount] = {
    {"KESTRO.EXE", CString()},
    {"VTESSAN.VXD", CString()},
    {"TESSAN.DRV", CString()},
    {"VKELDA.VXD", CString()},
    {"KELDA.DRV", CString()},
};

// A name is the maker's, the model and "Mainboard" ("메인보드" in Korean), spaced; composed when
// asked for, as thirteen whole names in two languages would take more room than the code.
// Korean names in code page 949; the comment beside each gives the Hangul.
const char* const ChipsetMakerNames[][2] = {
    {"Intel", "\xC0\xCE\xC5\xDA"},   // 인텔
    {"OPTI ", "\xBF\xC9\xC6\xBC"},   // 옵티; the English name has two spaces before the model
    {"VIA", "\xBA\xF1\xBE\xC6"},     // 비아
    {"PCISet", "\xBD\xC3\xBD\xBA"},  // 시스
};
const ChipsetName ChipsetTable[] = {
    {0x71908086, ChipsetMaker::Intel, "82443BX"},
    {0xC5581045, ChipsetMaker::Opti, "82C558M"},
    {0x71808086, ChipsetMaker::Intel, "82443LX"},
    {0x12508086, ChipsetMaker::Intel, "82439HX"},
    {0x70308086, ChipsetMaker::Intel, "82437VX"},
    {0x71008086, ChipsetMaker::Intel, "82439TX"},
    {0x12378086, ChipsetMaker::Intel, "82441FX"},
    {0x122D8086, ChipsetMaker::Intel, "82437FX"},
    {0x12358086, ChipsetMaker::Intel, "82437MX"},
    {0x05861106, ChipsetMaker::Via, "VT82C586"},
    {0x00081039, ChipsetMaker::PciSet, "SIS55x1"},
    {0x04A38086, ChipsetMaker::Intel, "82434NX"},
    {0x05611106, ChipsetMaker::Via, "VT82C570M"},
};
const size_t ChipsetTableSize = sizeof ChipsetTable / sizeof ChipsetTable[0];
const char UnknownChipsetEnglish[] = "Unknown PCIChipset";
const char UnknownChipsetKorean[] = "\xBE\xCB\xBC\xF6\xBE\xF8\xB4\xC2 \xB8\xDE\xC0\xCE\xBA\xB8\xB5\xE5";  // 알수없는 메인보드

namespace {

const unsigned BuildNumberMask = 0xFFF;
const unsigned PciDevicesPerBus = 32;
const size_t VersionTextLength = 6;
// The fixed file information's words the version text takes end at byte 32 of the block.
const size_t VersionBlockMinimum = 32;
const char DosToolFormat[] = "%s\\%s";
const char DriverFormat[] = "%s%s%s";
const char DriverDirectory[] = "\\SYSTEM\\";
const char DateFormat[] = "%d/%m/%y";
const char NotAvailable[] = "N/A";
const char MainboardEnglish[] = "Mainboard";
const char MainboardKorean[] = "\xB8\xDE\xC0\xCE\xBA\xB8\xB5\xE5";  // 메인보드

unsigned Word(const unsigned char* bytes, size_t offset) {
    return bytes[offset] | (bytes[offset + 1] << 8);
}

}  // namespace

CString WindowsVersionText(unsigned long major, unsigned long minor, unsigned long build) {
    CString text;
    text.Format("%d.%d.%d %s", static_cast<int>(major), static_cast<int>(minor),
                static_cast<int>(build & BuildNumberMask), minor != 0 ? "Windows 98" : "Windows 95");
    return text;
}

CString ChipsetNameOnBus0(PciConfigReader read, bool korean) {
    CString name = korean ? UnknownChipsetKorean : UnknownChipsetEnglish;
    for (unsigned device = 0; device < PciDevicesPerBus; ++device) {
        const uint32_t id = read(0, device, 0, 0x00);
        for (size_t row = 0; row < ChipsetTableSize; ++row) {
            const ChipsetName& chipset = ChipsetTable[row];
            if (chipset.key != id) continue;
            name.Format("%s %s %s", ChipsetMakerNames[static_cast<int>(chipset.maker)][korean],
                        chipset.model, korean ? MainboardKorean : MainboardEnglish);
            return name;
        }
    }
    return name;
}

CString VersionTextFromBlock(const unsigned char* block, size_t size) {
    if (!block || size < VersionBlockMinimum || Word(block, 0) < VersionBlockMinimum) return CString();
    CString text;
    text.Format("%d.%d.%d%d", Word(block, 30), Word(block, 28), Word(block, 26), Word(block, 24));
    return text.Left(VersionTextLength);
}

CString DateText(const CTime& localTime) { return localTime.Format(DateFormat); }

void BuildInfoPaths(const char* windowsDir) {
    InfoFiles[0].path.Format(DosToolFormat, windowsDir, InfoFiles[0].name);
    for (int k = 1; k < InfoFileCount; ++k)
        InfoFiles[k].path.Format(DriverFormat, windowsDir, DriverDirectory, InfoFiles[k].name);
}

void FillInfoTexts(InfoPlatform& platform, PciConfigReader read, bool korean) {
    unsigned long major = 0, minor = 0, build = 0;
    platform.GetWindowsVersion(&major, &minor, &build);
    InfoTexts[InfoSlotWindowsVersion] = WindowsVersionText(major, minor, build);

    InfoTexts[InfoSlotChipset] = ChipsetNameOnBus0(read, korean);

    BuildInfoPaths(platform.WindowsDirectory());
    // The DOS tool carries no version information.
    InfoTexts[InfoSlotFirstVersion] = NotAvailable;
    for (int k = 1; k < InfoFileCount; ++k) {
        CString& slot = InfoTexts[InfoSlotFirstVersion + k];
        slot.Empty();
        unsigned char head[VersionBlockMinimum] = {};
        size_t blockSize = 0;
        if (platform.ReadVersionBlock(InfoFiles[k].path, head, sizeof head, &blockSize))
            slot = VersionTextFromBlock(head, blockSize < sizeof head ? blockSize : sizeof head);
    }

    // A file that has gone keeps showing the date it was last seen with.
    for (int k = 0; k < InfoFileCount; ++k) {
        CTime modified;
        if (platform.GetModificationTime(InfoFiles[k].path, &modified))
            InfoTexts[InfoSlotFirstDate + k] = DateText(modified);
    }
}
