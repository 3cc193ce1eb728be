// libFuzzer target: the settings file as the window reads it at start-up. Any bytes must parse
// without crashing; the parsed file must write out as text that parses back to itself; the start-up
// values read from it must come back unchanged after the window's rewrite of the file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/ini_file.h"
#include "settings/startup_settings.h"

namespace {

using namespace torvane;

[[noreturn]] void Fail() {
    __builtin_trap();
}

// The rewrite turns line breaks inside a value into blanks; a parse trims the value's ends.
std::string AsRewritten(std::string s) {
    for (char& c : s)
        if (c == '\r' || c == '\n') c = ' ';
    return s;
}

bool SameValues(const SettingsValues& a, const SettingsValues& b) {
    return a.Left == b.Left && a.Top == b.Top && a.Height == b.Height && a.Width == b.Width &&
           a.ComPortIndex == b.ComPortIndex && a.LanguageIndex == b.LanguageIndex &&
           AsRewritten(a.File) == b.File && AsRewritten(a.IniDir) == b.IniDir &&
           a.ActivePageIndex == b.ActivePageIndex && a.ZobrMs == b.ZobrMs && a.ExtMonitor == b.ExtMonitor &&
           a.AllPolohaA == b.AllPolohaA && a.AllPolohaB == b.AllPolohaB;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    IniFile ini;
    ini.parse(text);
    const std::string first = ini.text();
    IniFile again;
    again.parse(first);
    if (again.text() != first) Fail();

    // The window's close: read the values, write them back into the same file, read it again.
    SettingsValues read;
    ReadSettingsValues(ini, read);
    WriteSettingsValues(ini, read);
    IniFile rewritten;
    rewritten.parse(ini.text());
    SettingsValues back;
    ReadSettingsValues(rewritten, back);
    if (!SameValues(read, back)) Fail();

    (void)DiagnosticsMarkerEnables(text);
    return 0;
}
