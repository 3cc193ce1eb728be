#include "settings/startup_settings.h"

#include <cctype>
#include <cstdio>

namespace torvane {

void ReadSettingsValues(const IniFile& ini, SettingsValues& v) {
    const auto sec = SettingsSection;
    v.Left = ini.readInteger(sec, "Left", v.Left);
    v.Top = ini.readInteger(sec, "Top", v.Top);
    v.Height = ini.readInteger(sec, "Height", v.Height);
    v.Width = ini.readInteger(sec, "Width", v.Width);
    v.ComPortIndex = static_cast<std::uint8_t>(ini.readInteger(sec, "ComPort", v.ComPortIndex) - 1);
    v.LanguageIndex = static_cast<std::uint8_t>(ini.readInteger(sec, "Language", v.LanguageIndex));
    v.File = ini.readString(sec, "File", "");
    v.IniDir = ini.readString(sec, "IniDir", "");
    v.ActivePageIndex = ini.readInteger(sec, "PageControl1->ActivePageIndex", v.ActivePageIndex);
    v.ZobrMs = ini.readInteger(sec, "CheckBoxZobrMs_Uni->Checked", v.ZobrMs ? 1 : 0) != 0;
    v.ExtMonitor = ini.readInteger(sec, "CheckBoxExtMonitor->Checked", v.ExtMonitor ? 1 : 0) != 0;
    v.AllPolohaA = ini.readInteger(sec, "CheckBoxAll_PolohaA->Checked", v.AllPolohaA ? 1 : 0) != 0;
    v.AllPolohaB = ini.readInteger(sec, "CheckBoxAll_PolohaB->Checked", v.AllPolohaB ? 1 : 0) != 0;
}

void WriteSettingsValues(IniFile& ini, const SettingsValues& v) {
    const auto sec = SettingsSection;
    ini.writeInteger(sec, "Left", v.Left);
    ini.writeInteger(sec, "Top", v.Top);
    ini.writeInteger(sec, "Height", v.Height);
    ini.writeInteger(sec, "Width", v.Width);
    ini.writeInteger(sec, "ComPort", v.ComPortIndex + 1);
    ini.writeInteger(sec, "Language", v.LanguageIndex);
    ini.writeString(sec, "File", v.File);
    ini.writeString(sec, "IniDir", v.IniDir);
    ini.writeInteger(sec, "PageControl1->ActivePageIndex", v.ActivePageIndex);
    ini.writeInteger(sec, "CheckBoxZobrMs_Uni->Checked", v.ZobrMs ? 1 : 0);
    ini.writeInteger(sec, "CheckBoxExtMonitor->Checked", v.ExtMonitor ? 1 : 0);
    ini.writeInteger(sec, "CheckBoxAll_PolohaA->Checked", v.AllPolohaA ? 1 : 0);
    ini.writeInteger(sec, "CheckBoxAll_PolohaB->Checked", v.AllPolohaB ? 1 : 0);
}

namespace {

void appendNumber(std::string& out, unsigned value) {
    char buf[16];
    const int n = std::snprintf(buf, sizeof buf, "%5u ", value);
    out.append(buf, static_cast<std::size_t>(n));
}

// Next unsigned decimal number, kept modulo 65536; false at the end of the text or at anything else.
bool nextNumber(std::string_view& text, unsigned& value) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    if (i == text.size() || !std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    unsigned v = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        v = (v * 10 + static_cast<unsigned>(text[i] - '0')) & 0xFFFFu;
        ++i;
    }
    text.remove_prefix(i);
    value = v;
    return true;
}

}  // namespace

std::string ImageBackupText(const DeviceImage& image, std::span<const std::uint8_t> allStates) {
    std::string out;
    out.reserve(3000 * 6 + 400 + 30 * 6);
    for (std::size_t i = 0; i < 3000; ++i) {
        appendNumber(out, image.byteAt(BlockSize + i));
        if (i % 10 == 9) out += '\n';
        if (i % 100 == 99) out += '\n';
    }
    for (std::uint8_t state : allStates) appendNumber(out, state);
    for (std::uint16_t word : image.IapAxis) appendNumber(out, word);
    return out;
}

BackupReadCounts ReadImageBackup(std::string_view text, DeviceImage& image,
                                 std::span<std::uint8_t> allStates) {
    BackupReadCounts counts;
    unsigned value = 0;
    while (counts.imageBytes < 3000 && nextNumber(text, value)) {
        image.setByte(BlockSize + counts.imageBytes, static_cast<std::uint8_t>(value & 0xFF));
        ++counts.imageBytes;
    }
    if (counts.imageBytes < 3000) return counts;
    while (counts.allStates < allStates.size() && nextNumber(text, value)) {
        allStates[counts.allStates++] = static_cast<std::uint8_t>(value & 0xFF);
    }
    if (counts.allStates < allStates.size()) return counts;
    while (counts.iapWords < image.IapAxis.size() && nextNumber(text, value)) {
        image.IapAxis[counts.iapWords++] = static_cast<std::uint16_t>(value);
    }
    return counts;
}

bool DiagnosticsMarkerEnables(std::string_view text) {
    constexpr std::size_t MaxWord = 255;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
        const std::size_t start = i;
        while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i]))) ++i;
        const std::size_t length = i - start;
        if (length > 0 && length <= MaxWord && text.substr(start, length) == "PROBE_LEVEL") return true;
    }
    return false;
}

}  // namespace torvane
